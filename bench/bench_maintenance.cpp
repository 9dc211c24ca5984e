// Card maintenance on full-size cards: cleanup of 1000 slots, backup of a
// card folder, and WAV import of a long file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "convert/WavImport.h"
#include "maintenance/BackupRestore.h"
#include "maintenance/Cleanup.h"

namespace {

namespace fs = std::filesystem;
using namespace wqe;

struct ScratchFolder {
    ScratchFolder() {
        std::random_device rd;
        path = fs::temp_directory_path() / ("wqe-bench-" + std::to_string(rd()));
        fs::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

void writeFile(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A KPAC file header ("QWhPsr", grade 3, mode 3, mono) and `blocks` blocks of filler.
std::vector<std::uint8_t> kpacFile(std::uint32_t blocks) {
    std::vector<std::uint8_t> f = {'Q',
                                   'W',
                                   'h',
                                   'P',
                                   's',
                                   'r',
                                   3,
                                   3,
                                   0,
                                   0,
                                   static_cast<std::uint8_t>(blocks >> 16),
                                   static_cast<std::uint8_t>(blocks >> 24),
                                   static_cast<std::uint8_t>(blocks),
                                   static_cast<std::uint8_t>(blocks >> 8),
                                   0,
                                   0};
    f.resize(16 + blocks * 12, 0x33);
    return f;
}

std::vector<std::uint8_t> wavFile(std::uint32_t dataBytes) {
    std::vector<std::uint8_t> f(44 + dataBytes, 0x11);
    auto le = [&](std::size_t at, std::uint32_t v, int n) {
        for (int k = 0; k < n; ++k) f[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
    };
    std::copy_n("RIFF", 4, f.begin());
    le(4, 36 + dataBytes, 4);
    std::copy_n("WAVEfmt ", 8, f.begin() + 8);
    le(16, 16, 4);
    le(20, 1, 2);
    le(22, 2, 2);
    le(24, 44100, 4);
    le(28, 44100 * 4, 4);
    le(32, 4, 2);
    le(34, 16, 2);
    std::copy_n("data", 4, f.begin() + 36);
    le(40, dataBytes, 4);
    return f;
}

// Cleanup of a 1000-slot card with every fifth slot holding a KPAC file; the
// first run registers them, the measured runs find nothing to change.
void BM_CleanupFullCard(benchmark::State& state) {
    ScratchFolder dir;
    if (!createCard(dir.path, Model::WQ7000, 2)) {
        state.SkipWithError("the card cannot be made");
        return;
    }
    for (int i = 0; i < 1000; i += 5)
        writeFile(dir.path / phraseDataFileName("", i, "PHR"), kpacFile(1000));
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc(prompter, settings);
    doc.openCard(dir.path.string());
    runCleanup(doc, prompter);
    for (auto _ : state) {
        const CleanupResult r = runCleanup(doc, prompter);
        if (!r.ok()) state.SkipWithError("cleanup failed");
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_CleanupFullCard)->Unit(benchmark::kMillisecond);

// Backup of a card folder with 200 phrase files of 12 kB.
void BM_BackupCard(benchmark::State& state) {
    ScratchFolder dir;
    const fs::path card = dir.path / "card";
    if (!createCard(card, Model::WQ7000, 2)) {
        state.SkipWithError("the card cannot be made");
        return;
    }
    for (int i = 0; i < 200; ++i)
        writeFile(card / phraseDataFileName("", i, "PHR"), kpacFile(1000));
    ScriptedPrompter prompter({}, Answer::Yes);
    for (auto _ : state) {
        const TransferResult r = runTransfer(TransferMode::Backup, card.string(),
                                             (dir.path / "backup").string(), nullptr, prompter);
        if (!r.ok()) state.SkipWithError("backup failed");
    }
    state.SetItemsProcessed(state.iterations() * 203);
}
BENCHMARK(BM_BackupCard)->Unit(benchmark::kMillisecond);

// Import of one minute of 44.1 kHz stereo.
void BM_ImportWav(benchmark::State& state) {
    ScratchFolder dir;
    const std::uint32_t bytes = 44100 * 4 * 60 + 6;
    writeFile(dir.path / "in.wav", wavFile(bytes));
    for (auto _ : state) {
        const WavImportResult r = importWavFile(dir.path / "in.wav", dir.path / "_WQP0001.WAV");
        if (!r.ok) state.SkipWithError(r.error.c_str());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_ImportWav)->Unit(benchmark::kMillisecond);

}  // namespace
