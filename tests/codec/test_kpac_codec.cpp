// The header (word order of the block count), then whole files
// through the decoder and the encoder: a corpus of broken inputs, each with
// the message it must produce. The bytes of every mode (H-LINEAR's byte order
// and its truncation to 16 bits among them), and so the encoder's choices and
// quality, are pinned by the encoded and decoded files of tests/data/kpac.
#include <gtest/gtest.h>

#include <algorithm>

#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"
#include "codec/TestSignals.h"
#include "support/TempDir.h"

using namespace wqe::kpac;
using namespace wqe::test;
using wqe::Error;
using wqe::ErrorKind;

namespace {

Bytes phraseFile(int grade, Mode mode, int channels, std::uint32_t blocks, const Bytes& data) {
    const auto h = writeHeader(Header{grade, mode, channels, blocks});
    Bytes b(h.begin(), h.end());
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

wqe::Expected<Header> decodeTo(const Bytes& phr, int outBytes, Bytes& wav) {
    SpanSource in(phr);
    VectorSink out;
    auto r = decode(in, out, outBytes);
    wav = out.bytes();
    return r;
}

wqe::Expected<EncodeSummary> encodeTo(const Bytes& wav, int mode, Bytes& phr) {
    SpanSource in(wav);
    VectorSink out;
    auto r = encode(in, out, mode);
    phr = out.bytes();
    return r;
}

// grade 3, MODE2, stereo, 1 block
Bytes validHeader() { return {'Q', 'W', 'h', 'P', 's', 'r', 3, 2, 0, 1, 0, 0, 1, 0, 0, 0}; }

}  // namespace

TEST(KpacHeader, BlockCountIsStoredHighWordFirstEachWordLowByteFirst) {
    const auto valid = parseHeader(validHeader());
    ASSERT_TRUE(valid) << valid.error().message();
    EXPECT_EQ(valid->sampleRate(), 32000u);
    EXPECT_EQ(valid->frames(), 16u);
    // The files of tests/data/kpac hold fewer than 65536 blocks.
    auto bytes = validHeader();
    const Bytes count = {0x34, 0x12, 0x78, 0x56};
    std::copy(count.begin(), count.end(), bytes.begin() + 10);
    const auto h = parseHeader(bytes);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->blockCount, 0x12345678u);
    const auto written = writeHeader(*h);
    EXPECT_EQ(Bytes(written.begin(), written.end()), bytes);
    // The whole written header is pinned by the encoded files in tests/data/kpac.
}

// Only what a file holds is decoded: a block cut short reads its missing
// bytes as 0xFF, blocks the header claims beyond the end are not invented,
// and the WAV header states what was written.
TEST(KpacDecoder, DecodesTheBlocksTheFileHoldsAndWarnsOfTheClaim) {
    const struct {
        Bytes phrase;
        int outBytes;
        std::uint32_t blocks;  // decoded
        bool warned;
    } cases[] = {
        {phraseFile(0, Mode::Linear, 1, 2, {0x01, 0x00}), 2, 1, true},
        {phraseFile(0, Mode::Linear, 1, 1, Bytes(32, 0)), 2, 1, false},
        {phraseFile(0, Mode::Mode1, 2, 3, {}), 3, 0, true},
        {phraseFile(0, Mode::Mode2, 1, 0xFFFFFF, {}), 2, 0, true},  // the 16-byte file
        {phraseFile(0, Mode::Mode3, 2, 0xFFFFFF, Bytes(9000, 0)), 3, 375, true},  // 6 words a block
    };
    for (const auto& c : cases)
        for (int threads : {1, 2}) {
            std::string warning;
            SpanSource in(c.phrase);
            VectorSink out;
            const auto r = decode(in, out, c.outBytes, nullptr, {threads}, &warning);
            ASSERT_TRUE(r) << r.error().message();
            const Bytes wav = out.bytes();
            EXPECT_EQ(r->blockCount, c.blocks);
            EXPECT_EQ(wav.size(), 44u + c.blocks * 16u * r->channels * c.outBytes);
            EXPECT_EQ(Bytes(wav.begin(), wav.begin() + 44), [&] {
                const auto h = decodedWaveHeader(*r, c.outBytes);
                return Bytes(h.begin(), h.end());
            }());
            EXPECT_EQ(!warning.empty(), c.warned) << warning;
        }
    Bytes wav;
    ASSERT_TRUE(decodeTo(phraseFile(0, Mode::Linear, 1, 2, {0x01, 0x00}), 2, wav));
    std::vector<std::int32_t> expected(16, -1);
    expected[0] = 1;
    EXPECT_EQ(wavSamples(wav, 2), expected);
}

// The messages of short files, a foreign magic, grade, mode and channel field
// are pinned through wqe by tests/data/broken (kpac-*); here the rest.
TEST(KpacBadInput, BrokenPhraseFilesGiveTheirMessages) {
    const Bytes valid = phraseFile(3, Mode::Mode2, 1, 1, Bytes(12, 0));
    auto with = [&](std::size_t at, std::uint8_t v) {
        Bytes b = valid;
        b[at] = v;
        return b;
    };
    const std::pair<Bytes, const char*> cases[] = {
        {with(4, 'r'), "not a KPAC file (bytes 4 and 5 are 0x72 0x72, not \"sr\")"},
        {with(14, 0x80), "reserved bytes 14 and 15 are 0x80 0x00, not 0"},
    };
    for (const auto& [bytes, message] : cases) {
        Bytes wav;
        const auto r = decodeTo(bytes, 2, wav);
        ASSERT_FALSE(r) << message;
        EXPECT_EQ(r.error().reason, message);
        EXPECT_EQ(r.error().kind, ErrorKind::BadFormat);
    }
    Bytes wav;
    EXPECT_EQ(decodeTo(valid, 4, wav).error().reason,
              "the output width must be 16 or 24 bits, not 32");
}

// The messages of a missing "RIFF", "WAVE", "fmt " or "data", a short or cut
// "fmt " chunk, 0 channels and a wrong byte rate are pinned through wqe by
// tests/data/broken (wav-*); here the rest.
TEST(KpacBadInput, BrokenWavFilesGiveTheirMessages) {
    auto patched = [](Bytes b, std::size_t at, std::uint32_t value, int size) {
        for (int k = 0; k < size; ++k)
            b[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value >> (8 * k));
        return b;
    };
    const Bytes good = makeWav(1, 32000, 16, {1, 2, 3, 4});
    const std::pair<Bytes, const char*> cases[] = {
        // an empty message: accepted
        {patched(good, 20, 3, 2), "format tag 3 is not PCM (1); only PCM WAV files are supported"},
        {makeWav(3, 32000, 16, {1, 2, 3}),
         "3 channels; only mono and stereo WAV files are supported"},
        {makeWav(1, 8000, 8, {1, 2}), "8-bit WAV files are not supported (16 or 24 bits only)"},
        {patched(good, 32, 4, 2), "the block align 4 does not match 1 channel(s) × 2 bytes"},
        {patched(good, 40, 9, 4), ""},  // an odd trailing byte
    };
    Bytes phr;
    for (const auto& [bytes, message] : cases) {
        const auto r = encodeTo(bytes, 2, phr);
        EXPECT_EQ(r ? "" : r.error().reason, message);
    }
    ASSERT_TRUE(encodeTo(makeWav(2, 8000, 16, {}), 1, phr));
    EXPECT_EQ(phr.size(), 16u);  // zero frames: zero blocks
    EXPECT_EQ(encodeTo(good, 5, phr).error().reason, "mode 5 is not one of 0..4");
}

TEST(KpacBadInput, ADataChunkLongerThanTheFileEncodesWhatIsThere) {
    // 172 bytes claiming 0x7FFFFFF0 data bytes: the 64 frames there, no filler.
    std::vector<std::int32_t> samples(64);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int32_t>(i * 300);
    const Bytes honest = makeWav(1, 8000, 16, samples);
    Bytes claiming = honest;
    ASSERT_EQ(claiming.size(), 172u);
    for (int k = 0; k < 4; ++k)
        claiming[40 + k] = static_cast<std::uint8_t>(0x7FFFFFF0u >> (8 * k));
    Bytes want;
    ASSERT_TRUE(encodeTo(honest, 2, want));
    Bytes phr;
    const auto r = encodeTo(claiming, 2, phr);
    ASSERT_TRUE(r);
    EXPECT_EQ(phr, want);
    EXPECT_EQ(r->header.blockCount, 4u);
    EXPECT_NE(r->warning.find("holds 64"), std::string::npos) << r->warning;
}

TEST(KpacFiles, FailuresLeaveNoFileAndKeepAnOldOne) {
    TempDir dir;
    writeBytes(dir / "in.wav", makeWav(1, 96000, 16, {1, 2, 3}));
    writeBytes(dir / "old.phr", {1, 2, 3});
    const Error rate = encodeFile(dir / "in.wav", dir / "old.phr", 2).error();
    EXPECT_EQ(rate.kind, ErrorKind::Unsupported);
    EXPECT_EQ(rate.message(),
              (dir / "in.wav").string() +
                  ": sample rate 96000 Hz is not one of 8000, 16000, 22050, 32000, 44100, 48000");
    EXPECT_EQ(readBytes(dir / "old.phr"), (Bytes{1, 2, 3}));
    EXPECT_FALSE(encodeFile(dir / "in.wav", dir / "new.phr", 2));
    const Error none = decodeFile(dir / "none.phr", dir / "out.wav", 2).error();
    EXPECT_EQ(none.kind, ErrorKind::NotFound);
    EXPECT_EQ(none.file, (dir / "none.phr").string());
    const Error folder = encodeFile(dir / "in.wav", dir / "no-such-dir" / "x.phr", 1).error();
    EXPECT_EQ(folder.kind, ErrorKind::NotFound);
    EXPECT_EQ(folder.file, (dir / "no-such-dir" / "x.phr").string());
    // Neither new.phr nor out.wav nor a temporary was left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    writeBytes(dir / "ok.wav", makeWav(2, 22050, 16, std::vector<std::int32_t>(200, 100)));
    const auto e = encodeFile(dir / "ok.wav", dir / "ok.phr", 3);
    ASSERT_TRUE(e) << e.error().message();
    EXPECT_EQ(e->header, (Header{2, Mode::Mode3, 2, 7}));
    ASSERT_TRUE(decodeFile(dir / "ok.phr", dir / "ok2.wav", 3));
    EXPECT_EQ(std::filesystem::file_size(dir / "ok2.wav"), 44u + 7u * 16u * 6u);
}
