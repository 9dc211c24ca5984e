#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"
#include "codec/TestSignals.h"
#include "convert/FakePreviewOutput.h"
#include "maintenance/CardFixture.h"

namespace wqe {
namespace {

using namespace test;
namespace fs = std::filesystem;

// A swept tone with some noise, so that the compressed modes use many block types.
std::vector<std::int32_t> tone(int channels, std::size_t frames, int bits) {
    std::vector<std::int32_t> s;
    const double full = bits == 24 ? 8388607.0 : 32767.0;
    std::uint32_t noise = 12345;
    for (std::size_t f = 0; f < frames; ++f) {
        for (int ch = 0; ch < channels; ++ch) {
            noise = noise * 1103515245u + 12345u;
            const double t = static_cast<double>(f) / 8000.0;
            const double v = 0.6 * std::sin(2 * std::numbers::pi * (200 + 900 * t) * t + ch) +
                             0.05 * (static_cast<double>(noise >> 16) / 32768.0 - 1.0);
            s.push_back(static_cast<std::int32_t>(v * full));
        }
    }
    return s;
}

std::vector<std::int16_t> readAll(PreviewSource& source, std::size_t chunkFrames) {
    std::vector<std::int16_t> out;
    std::vector<std::int16_t> chunk(chunkFrames *
                                    static_cast<std::size_t>(source.format().channels));
    while (std::size_t got = source.read(chunk.data(), chunkFrames))
        out.insert(out.end(), chunk.begin(),
                   chunk.begin() + static_cast<std::ptrdiff_t>(got * source.format().channels));
    return out;
}

std::unique_ptr<PreviewSource> open(const fs::path& path, int volume) {
    auto source = openPreviewSource(path, volume);
    if (!source) ADD_FAILURE() << source.error().message();
    return source ? std::move(*source) : nullptr;
}

// A phrase plays the decoder's samples, a WAV file its data (24-bit samples
// keep their top two bytes), both with the volume.
TEST(PreviewSource, PlaysTheSamplesWithTheVolume) {
    struct Case {
        std::optional<kpac::Mode> mode;  // none: a WAV file
        int channels, bits, volume;
        std::size_t frames;
    } cases[] = {
        // Long enough to fill the decoder's buffer; a partial last block; 24 bits; a
        // volume above 100 plays at 100.
        {kpac::Mode::Mode1, 2, 16, 50, 70000},  {kpac::Mode::Mode2, 2, 16, 100, 33},
        {kpac::Mode::HLinear, 2, 24, 73, 4000}, {kpac::Mode::Linear, 1, 16, 150, 800},
        {std::nullopt, 2, 16, 40, 5000},        {std::nullopt, 1, 24, 65, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << (c.mode ? int(*c.mode) : -1) << " ch "
                                          << c.channels << " volume " << c.volume);
        TempDir t;
        auto samples = tone(c.channels, c.frames, c.bits);
        const auto wav = makeWav(c.channels, 22050, c.bits, samples);
        if (c.bits == 24)
            for (auto& s : samples) s >>= 8;
        std::uint64_t frames = c.frames;
        fs::path file = t / "x.wav";
        writeBytes(file, wav);
        if (c.mode) {
            kpac::SpanSource wavIn(wav);
            kpac::VectorSink phrase;
            ASSERT_TRUE(kpac::encode(wavIn, phrase, static_cast<int>(*c.mode)));
            file = t / "x.PHR";
            writeBytes(file, phrase.bytes());
            // What the decoder gives on its own, independently of the preview.
            kpac::SpanSource phraseIn(phrase.bytes());
            kpac::VectorSink decoded;
            ASSERT_TRUE(kpac::decode(phraseIn, decoded, 2));
            samples = wavSamples(decoded.bytes(), 2);
            frames = (c.frames + 15) / 16 * 16;
        }
        const auto source = open(file, c.volume);
        ASSERT_TRUE(source);
        EXPECT_EQ(source->format(), (PreviewFormat{22050, c.channels}));
        EXPECT_EQ(source->totalFrames(), frames);
        std::vector<std::int16_t> expected;
        for (std::int32_t v : samples)
            expected.push_back(static_cast<std::int16_t>(v * std::min(c.volume, 100) / 100));
        EXPECT_EQ(readAll(*source, 1000), expected);
        EXPECT_TRUE(source->atEnd());
        EXPECT_EQ(source->position(), frames);
        EXPECT_FALSE(source->failure());
    }
}

TEST(PreviewSource, DataShorterThanAnnouncedEndsWhereTheFileEnds) {
    TempDir t;
    // A KPAC file announcing 10 LINEAR blocks and holding 4: 64 frames are played.
    auto kpac = kpacFile(0, 0, 0, 4);
    kpac.resize(16 + 4 * 32, 0x22);
    kpac[12] = 10;  // block count, low byte
    writeBytes(t / "short.PHR", kpac);
    auto source = open(t / "short.PHR", 100);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->totalFrames(), 160u);
    EXPECT_EQ(readAll(*source, 50).size(), 64u);
    EXPECT_EQ(source->totalFrames(), 64u);
    ASSERT_TRUE(source->failure());
    EXPECT_EQ(source->failure()->kind, ErrorKind::BadFormat);

    // A WAV data chunk claiming 100 frames of which 40 are in the file.
    auto wav = wavFile(2, 16000, 16, 100);
    wav.erase(wav.end() - 60 * 4, wav.end());
    writeBytes(t / "short.wav", wav);
    source = open(t / "short.wav", 100);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->totalFrames(), 40u);
    EXPECT_EQ(readAll(*source, 7).size(), 80u);
    EXPECT_FALSE(source->failure());
}

TEST(PreviewSource, RefusesWhatItCannotPlay) {
    TempDir t;
    auto badGrade = kpacFile(6, 0, 0, 1);
    struct Case {
        const char* name;
        Bytes bytes;
        ErrorKind kind;
    } cases[] = {
        {"empty.PHR", {}, ErrorKind::BadFormat},
        {"grade.PHR", badGrade, ErrorKind::BadFormat},
        {"pattern.PHR", patternFile(1, 1024), ErrorKind::Unsupported},
        {"tune.MID", midiFile(500000), ErrorKind::Unsupported},
        {"8bit.wav", wavFile(1, 8000, 8, 100), ErrorKind::Unsupported},
        {"noData.wav", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, ErrorKind::BadFormat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(t / c.name, c.bytes);
        const auto source = openPreviewSource(t / c.name, 100);
        ASSERT_FALSE(source);
        EXPECT_EQ(source.error().kind, c.kind);
        EXPECT_EQ(source.error().file, (t / c.name).string());
        EXPECT_FALSE(source.error().reason.empty());
    }
    EXPECT_EQ(openPreviewSource(t / "missing.PHR", 100).error().kind, ErrorKind::NotFound);
    EXPECT_EQ(openPreviewSource(t.path(), 100).error().kind, ErrorKind::IsFolder);
}

TEST(PreviewSource, StoppingMidwayEndsTheDecoder) {
    // A long phrase whose decoder fills its buffer and waits: dropping the
    // source must not hang.
    TempDir t;
    writeBytes(t / "long.PHR", kpacFile(5, 0, 1, 200000));
    auto source = open(t / "long.PHR", 100);
    ASSERT_TRUE(source);
    std::vector<std::int16_t> pcm(2 * 1000);
    EXPECT_EQ(source->read(pcm.data(), 1000), 1000u);
    source.reset();
}

// The volume itself is checked on every sample played above.
TEST(PreviewSource, TimeTexts) {
    struct Time {
        std::uint64_t frames;
        std::uint32_t rate;
        const char* text;
    } times[] = {
        {4799, 48000, "00:00.0"},
        {22050 * 61 + 11025, 22050, "01:01.5"},
        {48000ull * 6000, 48000, "100:00.0"},
        {100, 0, "00:00.0"},
    };
    for (const Time& c : times) EXPECT_EQ(previewTimeText(c.frames, c.rate), c.text) << c.frames;
}

TEST(PreviewSource, ThePhraseListPlaysAudioPhrasesOnly) {
    TempDir t;
    OpenCard card(t.path(), Model::WQ7000);
    CWQEDoc& doc = card.doc;
    registerAs(doc, 0, kTypeAudio);
    doc.phr().setVolume(0, 55);
    registerAs(doc, 1, kKindWav);
    registerAs(doc, 2, kTypeMidi);
    registerAs(doc, 3, kTypePattern);
    // The data file is found whatever the letter case on disk.
    writeBytes(t / "_wqp0002.wav", wavFile(1, 8000, 16, 10));

    const auto audio = phrasePreview(doc, 0);
    ASSERT_TRUE(audio);
    EXPECT_EQ(audio->file, t / "_WQP0001.PHR");
    EXPECT_EQ(audio->volume, 55);
    const auto wav = phrasePreview(doc, 1);
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->file, t / "_wqp0002.wav");
    for (int i : {2, 3, 4, -1, doc.phraseCount()}) {
        EXPECT_FALSE(hasPhrasePreview(doc, i)) << i;
        EXPECT_FALSE(phrasePreview(doc, i)) << i;
    }
    doc.close();
    EXPECT_FALSE(phrasePreview(doc, 0));
}

// The player's state machine, with an output that plays what it is told to.

TEST(PreviewPlayback, PlayStopSwitchAndEndOfData) {
    TempDir t;
    writeBytes(t / "a.wav", wavFile(1, 8000, 16, 8000));  // 1 s
    auto b = kpacFile(0, 0, 0, 1000);                     // 2 s, LINEAR mono
    b.resize(16 + 1000 * 32, 0x11);
    writeBytes(t / "b.PHR", b);
    FakeOutput out;
    PreviewPlayback player(out);
    std::vector<PreviewState> seen;
    player.onStateChanged = [&] { seen.push_back(player.state()); };
    EXPECT_EQ(player.state(), PreviewState::Idle);
    player.stop();  // nothing to stop
    EXPECT_EQ(out.stops, 0);

    // Row 3 plays; half a second in, Space on row 3 stops it where it is.
    ASSERT_TRUE(player.play(open(t / "a.wav", 100), 3));
    EXPECT_EQ(player.state(), PreviewState::Playing);
    out.play(4000);
    player.drained();  // an output running dry while data is left: no end
    EXPECT_EQ(player.state(), PreviewState::Playing);
    EXPECT_EQ(player.positionText(), "00:00.5 / 00:01.0");
    EXPECT_TRUE(player.stopsOnToggle(3));
    EXPECT_FALSE(player.stopsOnToggle(4));
    player.stop();
    EXPECT_EQ(player.state(), PreviewState::Stopped);
    EXPECT_EQ(player.position(), 4000u);
    EXPECT_FALSE(player.stopsOnToggle(3));
    EXPECT_EQ(out.play(100), 0u);  // a stopped preview gives nothing

    // Row 3 again, then row 4 while it plays: the first stops, the second starts.
    ASSERT_TRUE(player.play(open(t / "a.wav", 100), 3));
    out.play(100);
    ASSERT_TRUE(player.play(open(t / "b.PHR", 100), 4));
    EXPECT_EQ(out.starts, 3);
    EXPECT_EQ(out.stops, 2);
    EXPECT_EQ(player.phrase(), 4);
    EXPECT_EQ(player.totalFrames(), 16000u);
    EXPECT_EQ(player.position(), 0u);

    // Row 4 to its end: drained once everything was heard.
    std::size_t heard = 0;
    while (std::size_t got = out.play(999)) heard += got;
    EXPECT_EQ(heard, 16000u);
    EXPECT_EQ(player.state(), PreviewState::EndOfData);
    EXPECT_EQ(player.positionText(), "00:02.0 / 00:02.0");
    EXPECT_EQ(out.stops, 3);
    player.drained();  // a late word from the output changes nothing
    EXPECT_EQ(seen, (std::vector<PreviewState>{PreviewState::Playing, PreviewState::Stopped,
                                               PreviewState::Playing, PreviewState::Playing,
                                               PreviewState::EndOfData}));

    // An output that cannot start leaves the player stopped with the reason.
    out.refuse = true;
    const Status refused = player.play(open(t / "a.wav", 100), 5);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().kind, ErrorKind::Unsupported);
    EXPECT_EQ(player.state(), PreviewState::Stopped);
    EXPECT_FALSE(player.stopsOnToggle(5));
}

}  // namespace
}  // namespace wqe
