// Whole files through the decoder and the encoder: golden bytes of the linear
// modes, the encoder's analysis choices, 24-bit input, and a corpus of broken
// inputs, each with the message it must produce.
#include <gtest/gtest.h>

#include <cmath>

#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"
#include "codec/TestSignals.h"
#include "support/TempDir.h"

using namespace wqe::kpac;
using namespace wqe::test;

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

double snr(const std::vector<std::int32_t>& ref, const std::vector<std::int32_t>& got) {
    double sig = 0, err = 0;
    for (std::size_t i = 0; i < ref.size(); ++i) {
        sig += double(ref[i]) * ref[i];
        err += (double(got[i]) - ref[i]) * (double(got[i]) - ref[i]);
    }
    return 10 * std::log10(sig / err);
}

}  // namespace

TEST(KpacDecoder, ZeroBlocksGiveAnEmptyWavFile) {
    Bytes wav;
    ASSERT_TRUE(decodeTo(phraseFile(3, Mode::Mode2, 2, 0, {}), 2, wav));
    const Bytes golden = {'R', 'I', 'F',  'F',  36,  0,   0,    0,    'W',  'A', 'V',
                          'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,    1,   0,
                          2,   0,   0x00, 0x7D, 0,   0,   0x00, 0xF4, 0x01, 0,   4,
                          0,   16,  0,    'd',  'a', 't', 'a',  0,    0,    0,   0};
    EXPECT_EQ(wav, golden);
}

TEST(KpacDecoder, LinearTo16And24Bits) {
    Bytes data;
    for (int k = 0; k < 16; ++k) put16le(data, static_cast<std::uint32_t>(0x1234 + k));
    const Bytes phr = phraseFile(0, Mode::Linear, 1, 1, data);
    Bytes wav16, wav24;
    ASSERT_TRUE(decodeTo(phr, 2, wav16));
    ASSERT_TRUE(decodeTo(phr, 3, wav24));
    EXPECT_EQ(Bytes(wav16.begin() + 44, wav16.end()), data);
    ASSERT_EQ(wav24.size(), 44u + 48u);
    EXPECT_EQ(wav24[44], 0x00);
    EXPECT_EQ(wav24[45], 0x34);
    EXPECT_EQ(wav24[46], 0x12);
    EXPECT_EQ(wav24[34], 24);  // bits per sample
}

TEST(KpacDecoder, HighLinearPairsAndTruncationTo16Bits) {
    // One mono block: pair 0 A = 0x12345F, B = 0xABCDEF; the rest zero.
    Bytes data = {0x34, 0x5F, 0xEF, 0x12, 0xAB, 0xCD};
    data.resize(48, 0);
    const Bytes phr = phraseFile(5, Mode::HLinear, 1, 1, data);
    Bytes wav16, wav24;
    ASSERT_TRUE(decodeTo(phr, 2, wav16));
    ASSERT_TRUE(decodeTo(phr, 3, wav24));
    EXPECT_EQ(Bytes(wav16.begin() + 44, wav16.begin() + 48), (Bytes{0x34, 0x12, 0xCD, 0xAB}));
    EXPECT_EQ(Bytes(wav24.begin() + 44, wav24.begin() + 50),
              (Bytes{0x5F, 0x34, 0x12, 0xEF, 0xCD, 0xAB}));
    EXPECT_EQ(wav24.size(), 44u + 16u * 3u);
}

TEST(KpacDecoder, StereoModeTwoBlocksOfDifferentWidthsFollowEachOther) {
    // Left N = 3 (E 2: 00|..., words 0x0000 0x0000 0x0000), right N = 6
    // (A 13: 0xEF...), then the next block's left starts at word 9.
    Bytes data;
    for (int k = 0; k < 3; ++k) put16le(data, 0);
    const std::uint16_t right[6] = {0xE000, 0xF000, 0, 0, 0, 0};
    for (std::uint16_t w : right) put16le(data, w);
    for (int k = 0; k < 3; ++k) put16le(data, 0);  // block 2 left: E 2 again
    for (std::uint16_t w : right) put16le(data, w);
    Bytes wav;
    ASSERT_TRUE(decodeTo(phraseFile(3, Mode::Mode2, 2, 2, data), 2, wav));
    const auto s = wavSamples(wav, 2);
    ASSERT_EQ(s.size(), 64u);
    // Type A with all fields 0: every sample is the rounding (half fields
    // 0x0200, others 0x0400), whatever the previous sample.
    for (int f = 0; f < 32; ++f)
        EXPECT_EQ(s[static_cast<std::size_t>(2 * f + 1)], f % 2 ? 0x200 : 0x400) << f;
    EXPECT_EQ(s[0], 1);  // E 2 with zero fields: r = 2, s7 = 2, interpolated from p = 0
}

TEST(KpacDecoder, MissingBytesReadAsFF) {
    // A LINEAR block promised but only 2 bytes there: the rest reads 0xFFFF = -1.
    Bytes wav;
    ASSERT_TRUE(decodeTo(phraseFile(0, Mode::Linear, 1, 2, {0x01, 0x00}), 2, wav));
    const auto s = wavSamples(wav, 2);
    ASSERT_EQ(s.size(), 32u);
    EXPECT_EQ(s[0], 1);
    for (std::size_t k = 1; k < 32; ++k) EXPECT_EQ(s[k], -1);
    // Compressed: a file with no blocks at all still decodes its promised length.
    ASSERT_TRUE(decodeTo(phraseFile(0, Mode::Mode1, 2, 3, {}), 3, wav));
    EXPECT_EQ(wav.size(), 44u + 3u * 16u * 2u * 3u);
}

TEST(KpacDecoder, PreviousSampleCarriesPerChannelFromBlockToBlock) {
    std::vector<std::int32_t> samples;
    for (int f = 0; f < 64; ++f) {
        samples.push_back(f * 300 - 5000);
        samples.push_back(9000 - f * 200);
    }
    Bytes phr, wav;
    ASSERT_TRUE(encodeTo(makeWav(2, 16000, 16, samples), static_cast<int>(Mode::Mode2), phr));
    ASSERT_TRUE(decodeTo(phr, 2, wav));
    // Block by block with each channel's own previous sample.
    std::int16_t previous[2] = {0, 0};
    const auto decoded = wavSamples(wav, 2);
    std::size_t at = 16;
    std::vector<std::uint16_t> words;
    for (std::size_t k = 16; k + 1 < phr.size(); k += 2)
        words.push_back(static_cast<std::uint16_t>(phr[k] | phr[k + 1] << 8));
    words.resize(words.size() + 8, 0xFFFF);
    at = 0;
    for (int b = 0; b < 4; ++b)
        for (int ch = 0; ch < 2; ++ch) {
            std::int16_t s[16];
            at += static_cast<std::size_t>(
                decodeCodedBlock(Mode::Mode2, words.data() + at, previous[ch], s));
            for (int f = 0; f < 16; ++f)
                EXPECT_EQ(decoded[static_cast<std::size_t>((b * 16 + f) * 2 + ch)], s[f]);
        }
}

TEST(KpacEncoder, LinearGoldenBytes) {
    Bytes phr;
    const auto r = encodeTo(makeWav(1, 8000, 16, {0x1234}), 0, phr);
    ASSERT_TRUE(r) << r.error();
    ASSERT_EQ(phr.size(), 48u);
    const Bytes header = {'Q', 'W', 'h', 'P', 's', 'r', 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(Bytes(phr.begin(), phr.begin() + 16), header);
    EXPECT_EQ(phr[16], 0x34);
    EXPECT_EQ(phr[17], 0x12);
    for (std::size_t k = 18; k < 48; ++k) EXPECT_EQ(phr[k], 0);

    ASSERT_TRUE(encodeTo(makeWav(2, 44100, 16, std::vector<std::int32_t>(34, 7)), 0, phr));
    EXPECT_EQ(phr[6], 4);   // grade of 44100 Hz
    EXPECT_EQ(phr[9], 1);   // stereo
    EXPECT_EQ(phr[12], 2);  // 17 frames: 2 blocks
    EXPECT_EQ(phr.size(), 16u + 2u * 64u);

    // 24-bit input in LINEAR keeps the top 16 bits (truncation).
    ASSERT_TRUE(encodeTo(makeWav(1, 8000, 24, {0x12345F, -1}), 0, phr));
    EXPECT_EQ(Bytes(phr.begin() + 16, phr.begin() + 20), (Bytes{0x34, 0x12, 0xFF, 0xFF}));
}

TEST(KpacEncoder, HighLinearGoldenBytes) {
    Bytes phr;
    ASSERT_TRUE(encodeTo(makeWav(1, 48000, 16, {0x1234, -2}), 4, phr));
    ASSERT_EQ(phr.size(), 16u + 48u);
    // A = 0x123400, B = 0xFFFE00: A mid, A lo, B lo, A hi, B hi, B mid.
    EXPECT_EQ(Bytes(phr.begin() + 16, phr.begin() + 22),
              (Bytes{0x34, 0x00, 0x00, 0x12, 0xFF, 0xFE}));
    ASSERT_TRUE(encodeTo(makeWav(2, 48000, 24, {0x12345F, 0x0A0B0C, 0x7FFFFF, -0x800000}), 4, phr));
    ASSERT_EQ(phr.size(), 16u + 96u);
    EXPECT_EQ(Bytes(phr.begin() + 16, phr.begin() + 22),
              (Bytes{0x34, 0x5F, 0xFF, 0x12, 0x7F, 0xFF}));
    EXPECT_EQ(Bytes(phr.begin() + 64, phr.begin() + 70),
              (Bytes{0x0B, 0x0C, 0x00, 0x0A, 0x80, 0x00}));
    // And back through the decoder, whole.
    Bytes wav;
    ASSERT_TRUE(decodeTo(phr, 3, wav));
    const auto s = wavSamples(wav, 3);
    EXPECT_EQ(s[0], 0x12345F);
    EXPECT_EQ(s[1], 0x0A0B0C);
    EXPECT_EQ(s[2], 0x7FFFFF);
    EXPECT_EQ(s[3], -0x800000);
}

TEST(KpacEncoder, SilenceInModeTwoIsTypeGWithTwoWords) {
    const std::int16_t x[16] = {};
    EXPECT_EQ(analyseBlock(Mode::Mode2, x, 0), (Analysis{BlockType::G, 0}));
    std::int16_t p = 0, y[16];
    const CodedBlock b = encodeCodedBlock(Mode::Mode2, x, p, y);
    EXPECT_EQ(b.n, 2);
    Bytes phr;
    ASSERT_TRUE(encodeTo(makeWav(2, 32000, 16, std::vector<std::int32_t>(2 * 160, 0)), 2, phr));
    EXPECT_EQ(phr.size(), 16u + 10u * 2u * 2u * 2u);
}

TEST(KpacEncoder, AnalysisChoicesPerMode) {
    // Over many hard and random blocks: MODE1 uses type B only at exponent 12,
    // MODE3 never type G, every choice has a header code, and full-scale
    // alternation needs type A.
    std::mt19937 rng(7);
    int typeCount[3][7] = {};
    for (int round = 0; round < 3000; ++round) {
        // White noise or a random walk, at every scale.
        std::int16_t x[16];
        const int scale = 1 << (rng() % 16);
        const bool walk = round % 2;
        int level = static_cast<int>(rng() % 20000) - 10000;
        for (auto& v : x) {
            const int step = static_cast<int>(rng() % static_cast<unsigned>(2 * scale)) - scale;
            level = walk ? std::clamp(level + step / 8, -32768, 32767) : step;
            v = static_cast<std::int16_t>(level);
        }
        const auto p =
            walk ? x[0] : static_cast<std::int16_t>(static_cast<int>(rng() % 65536) - 32768);
        for (Mode m : {Mode::Mode1, Mode::Mode2, Mode::Mode3}) {
            const Analysis a = analyseBlock(m, x, p);
            ++typeCount[static_cast<int>(m) - 1][static_cast<int>(a.type) - 0x41];
            EXPECT_TRUE(headerBitsOf(m, a.type, a.exponent)) << typeLetter(a.type) << a.exponent;
            if (m == Mode::Mode1 && a.type == BlockType::B) {
                EXPECT_EQ(a.exponent, 12);
            }
            if (m == Mode::Mode3) {
                EXPECT_NE(a.type, BlockType::G);
            }
        }
    }
    for (int t = 0; t < 6; ++t)
        EXPECT_GT(typeCount[1][t], 0) << "MODE2 never chose type " << char('A' + t);
    std::int16_t alt[16];
    for (int k = 0; k < 16; ++k) alt[k] = k % 2 ? 32767 : -32768;
    for (Mode m : {Mode::Mode1, Mode::Mode2, Mode::Mode3})
        EXPECT_EQ(analyseBlock(m, alt, 0).type, BlockType::A);
    // A smooth ramp needs little: small types and exponents.
    std::int16_t ramp[16];
    for (int k = 0; k < 16; ++k) ramp[k] = static_cast<std::int16_t>(100 + 10 * k);
    const Analysis r = analyseBlock(Mode::Mode2, ramp, 90);
    EXPECT_LE(r.exponent, 3);
}

TEST(KpacEncoder, ReanalysisOnlyRepacksForASmallerExponent) {
    std::mt19937 rng(3);
    int repacked = 0;
    for (int round = 0; round < 2000; ++round) {
        std::int16_t x[16], y[16], y2[16];
        for (auto& v : x) v = static_cast<std::int16_t>(static_cast<int>(rng() % 4000) - 2000);
        for (Mode m : {Mode::Mode1, Mode::Mode2, Mode::Mode3}) {
            const Analysis first = analyseBlock(m, x, 0);
            packBlock(m, first, x, 0, y);
            const Analysis again = analyseBlock(m, y, 0);
            std::int16_t p = 0;
            const CodedBlock b = encodeCodedBlock(m, x, p, y2);
            const Analysis expected = again.exponent < first.exponent ? again : first;
            EXPECT_EQ(b.analysis, expected);
            repacked += again.exponent < first.exponent;
        }
    }
    EXPECT_GT(repacked, 0);
}

TEST(KpacEncoder, TwentyFourBitInputMatchesTheSixteenBitQuality) {
    const std::size_t frames = 32000;
    std::vector<std::int32_t> s16(frames), s24(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const double v = 0.5 * std::sin(2 * M_PI * 1000.0 * double(i) / 32000.0) +
                         0.2 * std::sin(0.37 * double(i));
        s24[i] = static_cast<std::int32_t>(std::lround(v * 8388607.0));
        s16[i] = s24[i] >> 8;
    }
    for (int mode : {1, 2, 3}) {
        Bytes phr16, phr24, wav16, wav24;
        ASSERT_TRUE(encodeTo(makeWav(1, 32000, 16, s16), mode, phr16));
        ASSERT_TRUE(encodeTo(makeWav(1, 32000, 24, s24), mode, phr24));
        ASSERT_TRUE(decodeTo(phr16, 2, wav16));
        ASSERT_TRUE(decodeTo(phr24, 2, wav24));
        const double q16 = snr(s16, wavSamples(wav16, 2)), q24 = snr(s16, wavSamples(wav24, 2));
        EXPECT_GT(q16, mode == 1 ? 35.0 : 45.0) << mode;
        EXPECT_NEAR(q24, q16, 1.5) << mode;
    }
}

TEST(KpacEncoder, QualityOfASineAtMinusSixDecibels) {
    // Orientation figures at 32 kHz: MODE1 43 dB, MODE2 and MODE3 56 dB.
    std::vector<std::int32_t> s(64000);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int32_t>(
            std::lround(16383.5 * std::sin(2 * M_PI * 1000.0 * double(i) / 32000.0)));
    const double expected[] = {43.0, 56.3, 56.3};
    for (int mode : {1, 2, 3}) {
        Bytes phr, wav;
        ASSERT_TRUE(encodeTo(makeWav(1, 32000, 16, s), mode, phr));
        ASSERT_TRUE(decodeTo(phr, 2, wav));
        EXPECT_NEAR(snr(s, wavSamples(wav, 2)), expected[mode - 1], 0.5) << mode;
    }
}

TEST(KpacEncoder, ProgressCountsFramesAndDecoderProgressBlocks) {
    Bytes wav = makeWav(1, 8000, 16, std::vector<std::int32_t>(100, 5));
    SpanSource in(wav);
    VectorSink out;
    Progress progress;
    ASSERT_TRUE(encode(in, out, 2, &progress));
    EXPECT_EQ(progress.total.load(), 100u);
    EXPECT_EQ(progress.done.load(), 100u);
    EXPECT_EQ(progress.percent(), 100);
    SpanSource in2(out.bytes());
    VectorSink out2;
    Progress decodeProgress;
    ASSERT_TRUE(decode(in2, out2, 2, &decodeProgress));
    EXPECT_EQ(decodeProgress.total.load(), 7u);
    EXPECT_EQ(decodeProgress.percent(), 100);
    EXPECT_EQ(Progress{}.percent(), 0);
}

// ---------------------------------------------------------------------------

TEST(KpacBadInput, BrokenPhraseFilesGiveTheirMessages) {
    const Bytes valid = phraseFile(3, Mode::Mode2, 1, 1, Bytes(12, 0));
    auto with = [&](std::size_t at, std::uint8_t v) {
        Bytes b = valid;
        b[at] = v;
        return b;
    };
    struct Case {
        const char* what;
        Bytes bytes;
        const char* message;
    };
    const Case cases[] = {
        {"empty", {}, "not a KPAC file (0 bytes; the header alone has 16)"},
        {"truncated header", Bytes(valid.begin(), valid.begin() + 10),
         "not a KPAC file (10 bytes; the header alone has 16)"},
        {"pattern file", with(0, 'W'), "not a KPAC file (it does not begin with \"QWhP\")"},
        {"grade 6", with(6, 6), "grade 6 (byte 6) is not one of 0..5"},
        {"mode 5", with(7, 5), "mode 5 (byte 7) is not one of 0..4"},
        {"reserved 8", with(8, 2), "reserved byte 8 is 0x02, not 0"},
        {"three channels", with(9, 2), "channel field 2 (byte 9) is not 0 (mono) or 1 (stereo)"},
        {"reserved 15", with(15, 9), "reserved bytes 14 and 15 are 0x00 0x09, not 0"},
        {"block count over 4 GiB of WAV", phraseFile(0, Mode::HLinear, 2, 0x10000000, {}),
         "block count 268435456 is too large: the WAV file would exceed 4 GiB"},
    };
    for (const Case& c : cases) {
        Bytes wav;
        const auto r = decodeTo(c.bytes, 2, wav);
        EXPECT_FALSE(r) << c.what;
        EXPECT_EQ(r.error(), c.message) << c.what;
    }
    Bytes wav;
    EXPECT_EQ(decodeTo(valid, 4, wav).error(), "the output width must be 16 or 24 bits, not 32");
}

TEST(KpacBadInput, BrokenWavFilesGiveTheirMessages) {
    const std::vector<std::int32_t> one = {1, 2, 3, 4};
    auto patched = [](Bytes b, std::size_t at, std::uint32_t value, int size) {
        for (int k = 0; k < size; ++k)
            b[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value >> (8 * k));
        return b;
    };
    const Bytes good = makeWav(1, 32000, 16, one);
    Bytes listFirst = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    putChunk(listFirst, "LIST", Bytes(5, 'x'));
    listFirst.insert(listFirst.end(), good.begin() + 12, good.end());
    Bytes fmtThenEnd(good.begin(), good.begin() + 36);
    Bytes extraFmtCut =
        patched(Bytes(good.begin(), good.begin() + 36), 16, 20, 4);  // fmt says 20, file ends
    struct Case {
        const char* what;
        Bytes bytes;
        const char* message;  // empty: accepted
    };
    const Case cases[] = {
        {"empty", {}, "not a WAV file (it does not begin with \"RIFF\")"},
        {"text", Bytes{'h', 'i'}, "not a WAV file (it does not begin with \"RIFF\")"},
        {"AVI", patched(good, 8, 0x20495641, 4),
         "not a WAV file (the RIFF form type is not \"WAVE\")"},
        {"no fmt", Bytes(good.begin(), good.begin() + 12),
         "not a WAV file (no \"fmt \" chunk before the end of the file)"},
        {"fmt 14 bytes", patched(good, 16, 14, 4),
         "the \"fmt \" chunk has 14 bytes; at least 16 are needed"},
        {"float", patched(good, 20, 3, 2),
         "format tag 3 is not PCM (1); only PCM WAV files are supported"},
        {"0 channels", patched(good, 22, 0, 2), "the \"fmt \" chunk gives 0 channels"},
        {"3 channels", makeWav(3, 32000, 16, {1, 2, 3}),
         "3 channels; only mono and stereo WAV files are supported"},
        {"8 bit", makeWav(1, 8000, 8, {1, 2}),
         "8-bit WAV files are not supported (16 or 24 bits only)"},
        {"32 bit", makeWav(1, 8000, 32, {1, 2}),
         "32-bit WAV files are not supported (16 or 24 bits only)"},
        {"byte rate", patched(good, 28, 1000, 4),
         "the byte rate 1000 does not match 32000 Hz × 1 channel(s) × 2 bytes (64000)"},
        {"block align", patched(good, 32, 4, 2),
         "the block align 4 does not match 1 channel(s) × 2 bytes"},
        {"96 kHz", makeWav(1, 96000, 16, one),
         "sample rate 96000 Hz is not one of 8000, 16000, 22050, 32000, 44100, 48000"},
        {"no data", fmtThenEnd, "no \"data\" chunk before the end of the file"},
        {"fmt extra cut", extraFmtCut, "the file ends inside the \"fmt \" chunk"},
        {"LIST before fmt", listFirst, ""},
        {"zero frames", makeWav(2, 8000, 16, {}), ""},
        {"odd trailing byte", patched(good, 40, 9, 4), ""},
    };
    for (const Case& c : cases) {
        Bytes phr;
        const auto r = encodeTo(c.bytes, 2, phr);
        if (*c.message) {
            EXPECT_FALSE(r) << c.what;
            EXPECT_EQ(r.error(), c.message) << c.what;
        } else {
            EXPECT_TRUE(r) << c.what << ": " << r.error();
        }
    }
    Bytes phr;
    ASSERT_TRUE(encodeTo(makeWav(2, 8000, 16, {}), 1, phr));
    EXPECT_EQ(phr.size(), 16u);  // zero frames: zero blocks
    EXPECT_EQ(encodeTo(good, 5, phr).error(), "mode 5 is not one of 0..4");
    EXPECT_EQ(encodeTo(good, -1, phr).error(), "mode -1 is not one of 0..4");
}

TEST(KpacBadInput, ShortDataChunkReadsAsFF) {
    Bytes wav = makeWav(1, 8000, 16, {5});
    wav[40] = 6;  // the data chunk claims 3 frames, the file has 1
    Bytes phr;
    ASSERT_TRUE(encodeTo(wav, 0, phr));
    EXPECT_EQ(Bytes(phr.begin() + 16, phr.begin() + 22), (Bytes{5, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(phr[22], 0);
}

TEST(KpacFiles, FailuresLeaveNoFileAndKeepAnOldOne) {
    TempDir dir;
    writeBytes(dir / "in.wav", makeWav(1, 96000, 16, {1, 2, 3}));
    writeBytes(dir / "old.phr", {1, 2, 3});
    const auto r = encodeFile(dir / "in.wav", dir / "old.phr", 2);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.error(),
              (dir / "in.wav").string() +
                  ": sample rate 96000 Hz is not one of 8000, 16000, 22050, 32000, 44100, 48000");
    EXPECT_EQ(readBytes(dir / "old.phr"), (Bytes{1, 2, 3}));
    EXPECT_FALSE(encodeFile(dir / "in.wav", dir / "new.phr", 2));
    EXPECT_FALSE(std::filesystem::exists(dir / "new.phr"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}),
              2);  // no temporary left

    writeBytes(dir / "bad.phr", {'Q', 'W', 'h', 'P'});
    const auto d = decodeFile(dir / "bad.phr", dir / "out.wav", 2);
    EXPECT_EQ(d.error(),
              (dir / "bad.phr").string() + ": not a KPAC file (4 bytes; the header alone has 16)");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.wav"));
    EXPECT_EQ(decodeFile(dir / "none.phr", dir / "out.wav", 2).error(),
              (dir / "none.phr").string() + ": cannot be opened (No such file or directory)");
    EXPECT_EQ(encodeFile(dir / "in.wav", dir / "no-such-dir" / "x.phr", 1).error(),
              (dir / "no-such-dir" / "x.phr").string() +
                  ": cannot be created (No such file or directory)");

    writeBytes(dir / "ok.wav", makeWav(2, 22050, 16, std::vector<std::int32_t>(200, 100)));
    const auto e = encodeFile(dir / "ok.wav", dir / "ok.phr", 3);
    ASSERT_TRUE(e) << e.error();
    EXPECT_EQ(e->header, (Header{2, Mode::Mode3, 2, 7}));
    const auto back = decodeFile(dir / "ok.phr", dir / "ok2.wav", 3);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(std::filesystem::file_size(dir / "ok2.wav"), 44u + 7u * 16u * 6u);
}
