// wqe demo DIR: the bundled demo card, made by the project's own code: a
// WQ-7000 card with a KPAC phrase, a WAV phrase and a pattern phrase that
// plays both, registered by the cleanup as a user's card would be.
#include <cmath>
#include <iostream>
#include <numbers>

#include "card/NewCard.h"
#include "card/PatternFile.h"
#include "cli/Cli.h"
#include "convert/FileConvert.h"
#include "convert/WavImport.h"
#include "maintenance/Cleanup.h"
#include "stream/LWaveFile.h"

namespace wqe::cli {

namespace {

namespace fs = std::filesystem;

// A 16-bit PCM WAV file of a two-tone chime that fades out.
void writeChime(const fs::path& path, std::uint32_t rate, int channels, double seconds, double f1,
                double f2) {
    const auto frames = static_cast<std::uint32_t>(rate * seconds);
    const std::uint32_t dataBytes = frames * 2u * static_cast<std::uint32_t>(channels);
    const auto header = canonicalWaveHeader(
        WaveFormat::pcm(static_cast<std::uint16_t>(channels), rate, 16), dataBytes);
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.reserve(header.size() + dataBytes);
    for (std::uint32_t n = 0; n < frames; ++n) {
        const double t = static_cast<double>(n) / rate;
        const double half = t < seconds / 2 ? f1 : f2;
        const double v = 0.5 * std::exp(-3.0 * std::fmod(t, seconds / 2)) *
                         std::sin(2 * std::numbers::pi * half * t);
        const auto sample = static_cast<std::uint16_t>(static_cast<std::int16_t>(v * 32767));
        for (int c = 0; c < channels; ++c) {
            bytes.push_back(static_cast<std::uint8_t>(sample));
            bytes.push_back(static_cast<std::uint8_t>(sample >> 8));
        }
    }
    if (const Status s = writeFileAtomic(realFileSystem(), path, bytes); !s)
        throw Failure(s.error().message());
}

struct DemoPhrase {
    int index;
    const char* name;  // 12 characters
    const char* memo;
};

constexpr DemoPhrase kDemoPhrases[] = {
    {0, "WELCOME     ", "Chime, KPAC MODE2 at 32 kHz"},
    {1, "CLOSING TIME", "Chime stored as WAV at 44.1 kHz stereo"},
    {2, "BOTH CHIMES ", "Pattern: phrase 1, then phrase 2"},
};

int runDemo(const std::vector<std::string>& argv) {
    Args args(argv, {}, {});
    args.expectPositional(1, 1);
    const fs::path folder = args.positional()[0];
    if (Status created = createCard(folder, Model::WQ7000, 0); !created)
        throw Failure(created.error().message());

    // Phrase data files, written as File Convert and WAV Import write them.
    const fs::path scratch = folder / "demo-source.wav";
    writeChime(scratch, 32000, 1, 2.0, 880.0, 660.0);
    const ConvertItem encoded = encodeOneFile(scratch, folder / "_WQP0001.PHR", kpac::Mode::Mode2);
    std::error_code ec;
    fs::remove(scratch, ec);
    if (!encoded.ok) throw Failure(encoded.error);
    writeChime(scratch, 44100, 2, 1.5, 523.25, 392.0);
    const WavImportResult imported = importWavFile(scratch, folder / "_WQP0002.WAV");
    fs::remove(scratch, ec);
    if (!imported.ok) throw Failure(imported.error);
    PatternData pattern(PatternKind::Pattern7000);
    pattern.setStepRef(0, 0);  // A0001
    pattern.setStepInterval(0, 5);
    pattern.setStepRef(1, 1);  // A0002
    if (Status written = writePatternFile(folder / "_WQP0003.PHR", pattern); !written)
        throw Failure(written.error().message());

    // The cleanup registers the three files; then names and memos.
    OpenCard card(folder.string(), TerminalPrompter::Policy::Yes);
    card.prompter.echo = false;
    CWQEDoc& doc = card.doc;
    const CleanupResult cleaned = runCleanup(doc, card.prompter);
    if (!cleaned.ok()) throw Failure("the demo card could not be cleaned up: " + cleaned.error);
    doc.sys().setCardName("DEMOCARD");
    doc.memo().setSystemMemo("Demo card of the WQE-7000 card editor.\n");
    for (const DemoPhrase& p : kDemoPhrases) {
        doc.phr().setName(p.index, p.name);
        doc.memo().setPhraseMemo(p.index, p.memo);
    }
    doc.phr().setPatternMode(2, 0);  // SEQUENCE
    doc.markModified(true);
    if (const Status saved = doc.save(); !saved) throw Failure(saved.error().message());
    std::cout << "Demo card written to " << folder.string() << '\n';
    return kExitOk;
}

const bool registered = registerCommand({"demo", "write the demo card into a new folder",
                                         "usage: wqe demo DIR\n\nWrites a small WQ-7000 demo card "
                                         "into DIR: a KPAC phrase, a WAV phrase\n"
                                         "and a pattern phrase playing both.\n",
                                         runDemo});

}  // namespace

}  // namespace wqe::cli
