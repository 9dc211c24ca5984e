#include "card/CWQEPhr.h"

#include <algorithm>

namespace wqe {

namespace {

constexpr PhraseFieldInfo kFields[] = {
#define WQE_X(acc, name, o7, o5, sz, d7, d5, mx7, mx5) {name, o7, o5, sz, d7, d5, mx7, mx5},
    WQE_PHRASE_FIELDS(WQE_X)
#undef WQE_X
};

constexpr const char kBlanks[] = "            ";  // 12 blanks

}  // namespace

std::span<const PhraseFieldInfo> phraseFields() { return kFields; }
const PhraseFieldInfo& phraseFieldInfo(PhraseField f) { return kFields[static_cast<int>(f)]; }

std::size_t phraseNameLength(Model m) {
    return m == Model::WQ7000 ? kPhraseNameLength7000 : kPhraseNameLength5000;
}

bool CWQEPhr::recordFits(int i) const {
    return i >= 0 && fits(recordOffset(i), phraseRecordSize(model()));
}

int CWQEPhr::recordCount() const {
    return static_cast<int>(image().size() / phraseRecordSize(model()));
}

std::span<std::uint8_t> CWQEPhr::record(int i) {
    if (!recordFits(i)) return {};
    return {at(recordOffset(i)), phraseRecordSize(model())};
}

std::span<const std::uint8_t> CWQEPhr::record(int i) const {
    if (!recordFits(i)) return {};
    return {at(recordOffset(i)), phraseRecordSize(model())};
}

std::uint32_t CWQEPhr::get(int i, PhraseField f) const {
    const PhraseFieldInfo& info = phraseFieldInfo(f);
    const std::uint32_t def = info.defaultValue(model());
    if (!info.exists(model()) || !recordFits(i)) return def;
    const std::size_t off = recordOffset(i) + static_cast<std::size_t>(info.offset(model()));
    switch (info.size) {
        case 1:
            return u8(off, 0);
        case 2:
            return u16(off, 0);
        default:
            return u32(off, 0);
    }
}

void CWQEPhr::set(int i, PhraseField f, std::uint32_t value) {
    const PhraseFieldInfo& info = phraseFieldInfo(f);
    if (!info.exists(model()) || !recordFits(i)) return;
    const std::size_t off = recordOffset(i) + static_cast<std::size_t>(info.offset(model()));
    switch (info.size) {
        case 1:
            setU8(off, static_cast<std::uint8_t>(value));
            break;
        case 2:
            setU16(off, static_cast<std::uint16_t>(value));
            break;
        default:
            setU32(off, value);
            break;
    }
}

std::string CWQEPhr::getName(int i) const {
    const std::size_t len = phraseNameLength(model());
    if (!recordFits(i)) return std::string(kBlanks, len);
    const auto* p = reinterpret_cast<const char*>(at(recordOffset(i) + (w7() ? 10 : 22)));
    return std::string(p, std::find(p, p + len, '\0'));
}

void CWQEPhr::setName(int i, std::string_view name) {
    if (!recordFits(i)) return;
    const std::size_t len = phraseNameLength(model());
    const std::size_t n = std::min({name.size(), len, name.find('\0')});
    std::uint8_t* p = at(recordOffset(i) + (w7() ? 10 : 22));
    std::copy_n(name.data(), n, p);
    p[n] = 0;
}

bool CWQEPhr::isUsed(int i) const { return (w7() ? getType(i) : getUsed(i)) != 0; }

std::string_view CWQEPhr::dataFileExtension(int i) const {
    if (w7())
        return dataFileExtension7000(static_cast<int>(getType(i)), static_cast<int>(getMode(i)));
    return dataFileExtension5000(static_cast<int>(getMidiFlag(i)));
}

double playbackDivisor(int grade) {
    static constexpr double kDivisors[] = {
        800.0, 1600.0, 2205.8823529411766, 3200.0, 4411.764705882353, 4800.0};
    return grade >= 0 && grade < 6 ? kDivisors[grade] : 0.0;
}

std::int64_t CWQEPhr::playbackTenths(int i) const {
    const double divisor = playbackDivisor(static_cast<int>(getGrade(i)));
    if (divisor == 0.0) return 0;
    const auto samples = static_cast<std::int64_t>(getLength(i)) * 16;  // no 32-bit overflow
    return static_cast<std::int64_t>(static_cast<double>(samples) / divisor);
}

void CWQEPhr::erase(int i) {
    if (!recordFits(i)) return;
    for (const PhraseFieldInfo& info : phraseFields()) {
        if (info.exists(model())) set(i, static_cast<PhraseField>(&info - kFields), 0);
    }
    const std::size_t base = recordOffset(i);
    if (w7()) {
        std::fill_n(at(base + kErasedBytesOffset7000), kErasedBytesCount7000, std::uint8_t{0});
        setVolume(i, kVolumeNewPhrase);
    } else {
        setU8(base + kErasedByteOffset5000, 0);
        setVolume(i, kVolumeNewPhrase);
        setRepeat(i, kSecondsOff5000);
        setControlOutput(i, kSecondsOff5000);
        setTempo(i, kTempoByteRegistered);
        setTempo2(i, kTempoByteRegistered);
    }
    setName(i, std::string_view(kBlanks, phraseNameLength(model())));
}

std::vector<std::uint8_t> CWQEPhr::erasedImage(Model m, int count) {
    std::vector<std::uint8_t> image(static_cast<std::size_t>(count) * phraseRecordSize(m), 0);
    CWQEPhr phr;
    phr.setModel(m);
    phr.attach(image);
    for (int i = 0; i < count; ++i) phr.erase(i);
    return image;
}

}  // namespace wqe
