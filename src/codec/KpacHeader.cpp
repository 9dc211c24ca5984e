#include "codec/KpacHeader.h"

#include <algorithm>

namespace wqe::kpac {

namespace {

constexpr std::array<std::string_view, kModeCount> kModeNames = {"LINEAR", "MODE1", "MODE2",
                                                                 "MODE3", "H-LINEAR"};
constexpr std::array<std::string_view, kModeCount> kModeListNames = {"LINEAR", "MODE 1", "MODE 2",
                                                                     "MODE 3", "HI-LINEAR"};
constexpr std::array<std::string_view, kGradeCount> kGradeNames = {
    "ANNOUNCE(8kHz)",  "LONG2(16kHz)",  "LONG1(22.05kHz)",
    "STANDARD(32kHz)", "HIGH(44.1kHz)", "S-HIGH(48kHz)"};

std::string hexByte(std::uint8_t b) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[b >> 4] + kDigits[b & 15];
}

}  // namespace

bool isCompressed(Mode m) { return m == Mode::Mode1 || m == Mode::Mode2 || m == Mode::Mode3; }

std::string_view modeName(Mode m) {
    const auto i = static_cast<std::size_t>(m);
    return i < kModeNames.size() ? kModeNames[i] : std::string_view{};
}

std::string_view modeListName(Mode m) {
    const auto i = static_cast<std::size_t>(m);
    return i < kModeListNames.size() ? kModeListNames[i] : std::string_view{};
}

std::string_view gradeName(int grade) {
    return grade >= 0 && grade < kGradeCount ? kGradeNames[static_cast<std::size_t>(grade)]
                                             : std::string_view{};
}

std::optional<int> gradeOfRate(std::uint32_t rate) {
    const auto it = std::find(kGradeRates.begin(), kGradeRates.end(), rate);
    if (it == kGradeRates.end()) return std::nullopt;
    return static_cast<int>(it - kGradeRates.begin());
}

std::string gradeRateList() {
    std::string out;
    for (std::uint32_t r : kGradeRates) {
        if (!out.empty()) out += ", ";
        out += std::to_string(r);
    }
    return out;
}

std::uint32_t readWordSwapped32(const std::uint8_t* b) {
    return std::uint32_t{b[1]} << 24 | std::uint32_t{b[0]} << 16 | std::uint32_t{b[3]} << 8 | b[2];
}

void writeWordSwapped32(std::uint8_t* b, std::uint32_t value) {
    b[0] = static_cast<std::uint8_t>(value >> 16);
    b[1] = static_cast<std::uint8_t>(value >> 24);
    b[2] = static_cast<std::uint8_t>(value);
    b[3] = static_cast<std::uint8_t>(value >> 8);
}

std::optional<RawHeader> readRawHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderSize) return std::nullopt;
    RawHeader raw;
    std::copy_n(bytes.begin(), 4, raw.magic.begin());
    std::copy_n(bytes.begin() + 4, 2, raw.signature.begin());
    raw.grade = bytes[kOffsetGrade];
    raw.mode = bytes[kOffsetMode];
    raw.reserved8 = bytes[kOffsetReserved8];
    raw.channelsMinusOne = bytes[kOffsetChannels];
    raw.blockCount = readWordSwapped32(bytes.data() + kOffsetBlockCount);
    raw.reserved14 = {bytes[kOffsetReserved14], bytes[kOffsetReserved14 + 1]};
    return raw;
}

Expected<Header> validateHeader(const RawHeader& raw) {
    if (!raw.hasMagic()) return unexpected("not a KPAC file (it does not begin with \"QWhP\")");
    if (raw.signature != kSignature)
        return unexpected("not a KPAC file (bytes 4 and 5 are " + hexByte(raw.signature[0]) + " " +
                          hexByte(raw.signature[1]) + ", not \"sr\")");
    if (raw.grade >= kGradeCount)
        return unexpected("grade " + std::to_string(raw.grade) + " (byte 6) is not one of 0..5");
    if (raw.mode >= kModeCount)
        return unexpected("mode " + std::to_string(raw.mode) + " (byte 7) is not one of 0..4");
    if (raw.reserved8 != 0)
        return unexpected("reserved byte 8 is " + hexByte(raw.reserved8) + ", not 0");
    if (raw.channelsMinusOne > 1)
        return unexpected("channel field " + std::to_string(raw.channelsMinusOne) +
                          " (byte 9) is not 0 (mono) or 1 (stereo)");
    if (raw.reserved14[0] != 0 || raw.reserved14[1] != 0)
        return unexpected("reserved bytes 14 and 15 are " + hexByte(raw.reserved14[0]) + " " +
                          hexByte(raw.reserved14[1]) + ", not 0");
    Header h;
    h.grade = raw.grade;
    h.mode = static_cast<Mode>(raw.mode);
    h.channels = raw.channelsMinusOne + 1;
    h.blockCount = raw.blockCount;
    return h;
}

Expected<Header> parseHeader(std::span<const std::uint8_t> bytes) {
    const auto raw = readRawHeader(bytes);
    if (!raw)
        return unexpected("not a KPAC file (" + std::to_string(bytes.size()) +
                          " bytes; the header alone has 16)");
    return validateHeader(*raw);
}

std::array<std::uint8_t, kHeaderSize> writeHeader(const Header& h) {
    std::array<std::uint8_t, kHeaderSize> b{};
    std::copy(kMagic.begin(), kMagic.end(), b.begin());
    std::copy(kSignature.begin(), kSignature.end(), b.begin() + 4);
    b[kOffsetGrade] = static_cast<std::uint8_t>(h.grade);
    b[kOffsetMode] = static_cast<std::uint8_t>(h.mode);
    b[kOffsetChannels] = static_cast<std::uint8_t>(h.channels - 1);
    writeWordSwapped32(b.data() + kOffsetBlockCount, h.blockCount);
    return b;
}

}  // namespace wqe::kpac
