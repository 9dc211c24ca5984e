// Opening Phrase Setup's core half on a 1000-phrase WQ-7000 card for a
// 10-minute WAV phrase: the record's values, the File Information (the WAV
// header only) and the items of every list. Target: under 20 ms.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "dialogs/PhraseSetup.h"
#include "stream/LWaveFile.h"

namespace {

using namespace wqe;
namespace fs = std::filesystem;

constexpr int kWavPhrase = 999;

// A card folder with a 10-minute 48 kHz stereo WAV phrase. The sample data
// is left sparse: the file has its full length without taking the disk space.
fs::path makeCard() {
    const fs::path folder = fs::temp_directory_path() / "wqe-bench-phrase-setup";
    fs::remove_all(folder);
    if (!createCard(folder, Model::WQ7000, 2)) return {};
    const std::uint32_t dataBytes = 10u * 60u * 48000u * 4u;
    const auto header = canonicalWaveHeader(WaveFormat::pcm(2, 48000, 16), dataBytes);
    const fs::path wav = folder / "_WQP1000.WAV";
    {
        std::ofstream out(wav, std::ios::binary);
        out.write(reinterpret_cast<const char*>(header.data()),
                  static_cast<std::streamsize>(header.size()));
    }
    fs::resize_file(wav, header.size() + dataBytes);
    return folder;
}

void BM_OpenPhraseSetupWav10Minutes(benchmark::State& state) {
    const fs::path folder = makeCard();
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc(prompter, settings);
    if (folder.empty() || !doc.loadCard(folder.string())) {
        state.SkipWithError("the card could not be made");
        return;
    }
    CWQEPhr& phr = doc.phr();
    for (int i = 0; i < 1000; ++i) {
        phr.setType(i, kTypeAudio);
        phr.setName(i, "PHRASE NAME ");
    }
    phr.setMode(kWavPhrase, kModeWav);
    phr.setGrade(kWavPhrase, 5);
    phr.setLength(kWavPhrase, 10u * 60u * 48000u / 16u);
    doc.sys().setMtcType(2);
    for (auto _ : state) {
        const auto setup = openPhraseSetup(doc, kWavPhrase, Language::English);
        std::size_t items = 0;
        for (std::size_t l = 0; l < kSetupListCount; ++l)
            items += phraseSetupItems(static_cast<SetupList>(l), setup->kind, setup->model,
                                      setup->mtcType, Language::English)
                         .size();
        benchmark::DoNotOptimize(items);
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_OpenPhraseSetupWav10Minutes)->Unit(benchmark::kMillisecond);

}  // namespace
