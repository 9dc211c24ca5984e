// File Convert: folder naming, numbering, the deletion of a phrase's other
// data files, partial failures and the end messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "codec/TestSignals.h"
#include "convert/FileConvert.h"
#include "support/TempDir.h"

using namespace wqe;
using namespace wqe::test;
using Names = std::vector<std::string>;

namespace {

Bytes wav32k() { return makeWav(1, 32000, 16, std::vector<std::int32_t>(40, 1234)); }

std::tm at(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    std::tie(t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec) =
        std::tuple(year - 1900, month - 1, day, hour, minute, second);
    return t;
}

Names names(const fs::path& folder) {
    Names out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

// FNV-1a, 64 bits, as 16 hex digits.
std::string fnv64(const Bytes& bytes) {
    std::uint64_t h = 0xcbf29ce484222325u;
    for (std::uint8_t b : bytes) h = (h ^ b) * 0x100000001b3u;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

}  // namespace

// Every mode, 16 and 24 bits, mono and stereo: the encoded files and their
// decodings (at the input's sample width) are pinned by checksums in
// tests/data/kpac/expected.txt, so any change of the format shows.
TEST(FileConvert, EncodedAndDecodedBytesArePinned) {
    const fs::path data = fs::path(WQE_TEST_DATA) / "kpac";
    std::ifstream list(data / "expected.txt");
    ASSERT_TRUE(list) << data / "expected.txt";
    const std::pair<const char*, kpac::Mode> modes[] = {{"linear", kpac::Mode::Linear},
                                                        {"mode1", kpac::Mode::Mode1},
                                                        {"mode2", kpac::Mode::Mode2},
                                                        {"mode3", kpac::Mode::Mode3},
                                                        {"h-linear", kpac::Mode::HLinear}};
    TempDir out;
    int pinned = 0;
    std::string line, actual;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string input, modeName, encoded, decoded;
        fields >> input >> modeName >> encoded >> decoded;
        const auto mode = std::find_if(std::begin(modes), std::end(modes),
                                       [&](const auto& m) { return modeName == m.first; });
        ASSERT_NE(mode, std::end(modes)) << line;
        const int width = input.find("-24-") != std::string::npos ? 3 : 2;
        const auto e = encodeOneFile(data / input, out / "out.phr", mode->second);
        ASSERT_TRUE(e.ok) << line << ": " << e.error;
        const auto d = decodeOneFile(out / "out.phr", out / "back.wav", width);
        ASSERT_TRUE(d.ok) << line << ": " << d.error;
        const std::string got = input + " " + modeName + " " + fnv64(readBytes(out / "out.phr")) +
                                " " + fnv64(readBytes(out / "back.wav"));
        EXPECT_EQ(got, line);
        actual += got + "\n";
        ++pinned;
    }
    EXPECT_EQ(pinned, 20) << actual;
}

TEST(FileConvert, FolderEncodeStopsWhenNoNumberIsFree) {
    TempDir src, card;
    for (const char* n : {"1.wav", "2.wav", "3.wav"}) writeBytes(src / n, wav32k());
    writeBytes(card / "_WQP0005.WAV", {1});
    const ConvertBatch batch = encodeFolder(src.path(), card.path(), kpac::Mode::Mode1, 4, 6);
    EXPECT_EQ(batch.succeeded, 2);
    ASSERT_EQ(batch.items.size(), 2u);
    EXPECT_EQ(batch.items[1].target, card / "_WQP0006.PHR");
    EXPECT_EQ(batch.stopReason, "3.wav: no free phrase number from 6 to 6 in " + card.str() +
                                    "; the files from here on were not converted");
}

TEST(FileConvert, FolderDecodeAddsATimeStampWhenTheNameIsTaken) {
    TempDir src, dst;
    writeBytes(src / "x.wav", wav32k());
    const auto encoded = encodeOneFile(src / "x.wav", src / "NAME.PHR", kpac::Mode::Mode2);
    ASSERT_TRUE(encoded.ok) << encoded.error;
    writeBytes(dst / "NAME.WAV", {9});
    const LocalClock clock = [] { return at(2024, 1, 31, 23, 59, 59); };
    ConvertBatch batch = decodeFolder(src.path(), dst.path(), 2, nullptr, {}, clock);
    ASSERT_EQ(batch.items.size(), 1u);
    EXPECT_TRUE(batch.items[0].ok) << batch.items[0].error;
    EXPECT_EQ(batch.items[0].target, dst / "NAME_20240131_235959.WAV");
    EXPECT_EQ(readBytes(dst / "NAME.WAV"), (Bytes{9}));
    // Both names taken: the run stops there.
    batch = decodeFolder(src.path(), dst.path(), 3, nullptr, {}, clock);
    EXPECT_TRUE(batch.items.empty());
    EXPECT_NE(batch.stopReason.find("NAME.PHR: NAME.WAV and its time-stamped name are taken"),
              std::string::npos);
}

// Only a phrase data file name makes an encode delete the other data files
// of the same name; a user's own recording beside its output survives.
TEST(FileConvert, EncodingDeletesOnlyACardPhrasesOtherDataFiles) {
    const struct {
        const char* source;
        const char* written;
        Names others;  // written beside the source before the encode
        Names after;
    } cases[] = {
        {"announcement.wav",
         "announcement.phr",
         {"announcement.mid"},
         {"announcement.mid", "announcement.phr", "announcement.wav"}},
        {"_WQP0001.WAV",
         "_WQP0001.PHR",
         {"_wqp0001.mid", "_WQP0002.WAV"},
         {"_WQP0001.PHR", "_WQP0002.WAV"}},
        {"in.wav", "_wqp0007.phr", {"_WQP0007.WAV"}, {"_wqp0007.phr", "in.wav"}},
        {"in.wav", "_WQP007.PHR", {"_WQP007.WAV"}, {"_WQP007.PHR", "_WQP007.WAV", "in.wav"}},
        {"in.wav", "_WQPABCD.PHR", {"_WQPABCD.WAV"}, {"_WQPABCD.PHR", "_WQPABCD.WAV", "in.wav"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        TempDir dir;
        writeBytes(dir / c.source, wav32k());
        for (const auto& other : c.others) writeBytes(dir / other, {1});
        const ConvertItem item = encodeOneFile(dir / c.source, dir / c.written, kpac::Mode::Linear);
        ASSERT_TRUE(item.ok) << item.error;
        EXPECT_EQ(item.header->blockCount, 3u);
        EXPECT_EQ(names(dir.path()), c.after);
    }
    // A failed encode deletes nothing.
    TempDir dir;
    writeBytes(dir / "_WQP0001.WAV", makeWav(1, 11025, 16, {1}));
    EXPECT_FALSE(encodeOneFile(dir / "_WQP0001.WAV", dir / "_WQP0001.PHR", kpac::Mode::Mode2).ok);
    EXPECT_TRUE(fs::exists(dir / "_WQP0001.WAV"));
}

TEST(FileConvert, SetupFailuresAndNamingLimits) {
    TempDir empty, dst;
    EXPECT_EQ(decodeFolder(empty.path(), dst.path(), 2).setupError,
              empty.str() + ": no .PHR files");
    EXPECT_FALSE(
        encodeFolder(empty / "missing", dst.path(), kpac::Mode::Mode1, 1, 1000).setupError.empty());
    fs::path deep = dst.path();
    while (deep.string().size() < 245) deep /= std::string(20, 'd');
    fs::create_directories(deep);
    EXPECT_FALSE(decodeTargetPath(deep, "NAME.PHR", at(2024, 1, 1, 0, 0, 0)));  // 260 or more
    int next = 1;
    EXPECT_FALSE(encodeTargetPath(deep, next, 1000));
}

TEST(FileConvert, EndMessagesAndProgress) {
    EXPECT_EQ(convertEndMessage(1, false, true, Language::English),
              "Conversion succeeded.\nCleanup the Card Info?");
    EXPECT_EQ(convertEndMessage(3, true, false, Language::Japanese),
              "コンバートに成功しました。 (3 個のファイル)");
    ConvertProgress p;
    p.file[0].start(200);
    p.file[0].done = 100;
    p.fileCount = 4;
    p.filesDone = 2;
    EXPECT_EQ(p.overallPercent(), 62);  // (0.5 + 2) / 4
}
