// Building the Phrase Setup dialog (lists filled, File Information read) on
// a 1000-phrase WQ-7000 card for a 10-minute WAV phrase: what the user waits
// for between the double click and the dialog. Runs under the QApplication
// of bench_open_list.cpp.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "dialogs/qt/CPhraseDlg.h"
#include "stream/LWaveFile.h"

namespace {

using namespace wqe;
namespace fs = std::filesystem;

void BM_PhraseDialogWav10Minutes(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / "wqe-bench-phrase-dialog";
    fs::remove_all(folder);
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc(prompter, settings);
    if (!createCard(folder, Model::WQ7000, 2) || !doc.loadCard(folder.string())) {
        state.SkipWithError("the card could not be made");
        return;
    }
    // A 48 kHz stereo header and sparse sample data of the full length.
    const std::uint32_t dataBytes = 10u * 60u * 48000u * 4u;
    const auto header = canonicalWaveHeader(WaveFormat::pcm(2, 48000, 16), dataBytes);
    {
        std::ofstream out(folder / "_WQP1000.WAV", std::ios::binary);
        out.write(reinterpret_cast<const char*>(header.data()),
                  static_cast<std::streamsize>(header.size()));
    }
    fs::resize_file(folder / "_WQP1000.WAV", header.size() + dataBytes);
    for (int i = 0; i < 1000; ++i) doc.phr().setType(i, kTypeAudio);
    doc.phr().setMode(999, kModeWav);
    for (auto _ : state) {
        CPhraseDlg dialog(doc, 999);
        benchmark::DoNotOptimize(dialog.isValid());
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_PhraseDialogWav10Minutes)->Unit(benchmark::kMillisecond);

}  // namespace
