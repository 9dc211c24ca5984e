// Opening a 1000-phrase WQ-7000 card and making the phrase list ready: the
// document reads the card, the list model takes the column set and rows, and
// the rows a window shows first (or all rows) are formatted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <random>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "view/qt/CPListCtrl.h"
#include "view/qt/CWQEView.h"
#include "view/qt/PhraseListModel.h"

namespace {

namespace fs = std::filesystem;

// A card with every slot used: audio, MIDI, pattern and song phrases in turn.
class BenchCard {
public:
    BenchCard() {
        std::random_device rd;
        folder_ = fs::temp_directory_path() / ("wqe-bench-" + std::to_string(rd()));
        if (!wqe::createCard(folder_, wqe::Model::WQ7000, 2)) std::abort();
        wqe::ScriptedPrompter prompter;
        wqe::MemorySettings settings;
        wqe::CWQEDoc doc(prompter, settings);
        if (!doc.openCard(folder_.string())) std::abort();
        for (int i = 0; i < 1000; ++i) {
            doc.phr().setType(i, 1 + i % 4);
            doc.phr().setName(i, "PHRASE " + std::to_string(i));
            doc.phr().setLength(i, 1000 + i);
            doc.phr().setGrade(i, i % 6);
            doc.phr().setStartPoint(i, i * 3);
            doc.memo().setPhraseMemo(i, "memo of phrase " + std::to_string(i + 1));
        }
        doc.markModified(true);
        if (!doc.onSaveCardInfo()) std::abort();
    }
    ~BenchCard() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    std::string path() const { return folder_.string(); }

private:
    fs::path folder_;
};

void formatRows(const wqe::PhraseListModel& model, int rows, benchmark::State& state) {
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < model.columnCount(); ++c) {
            benchmark::DoNotOptimize(model.data(model.index(r, c)));
        }
    }
    (void)state;
}

void openAndList(benchmark::State& state, int rowsShown) {
    static BenchCard card;
    wqe::ScriptedPrompter prompter;
    wqe::MemorySettings settings;
    wqe::CWQEDoc doc(prompter, settings);
    wqe::PhraseListModel model(doc, wqe::Language::English);
    doc.onUpdateViews = [&] { model.refreshAll(); };
    for (auto _ : state) {
        if (!doc.openCard(card.path())) state.SkipWithError("the card did not open");
        formatRows(model, rowsShown, state);
    }
    state.counters["rows"] = model.rowCount();
}

// What the window needs to appear: the rows of the first screen.
void BM_OpenCardListFirstScreen(benchmark::State& state) { openAndList(state, 40); }
// Every row formatted (scrolling through the whole list).
void BM_OpenCardListAllRows(benchmark::State& state) { openAndList(state, 1000); }

// The whole main view: list refresh, form refill and painting the window.
void BM_OpenCardInMainView(benchmark::State& state) {
    static BenchCard card;
    wqe::ScriptedPrompter prompter;
    wqe::MemorySettings settings;
    wqe::CWQEDoc doc(prompter, settings);
    wqe::CWQEView view(doc, wqe::Language::English);
    view.resize(1000, 700);
    view.initialUpdate();
    view.show();
    doc.onUpdateViews = [&] { view.documentUpdate(); };
    for (auto _ : state) {
        if (!doc.openCard(card.path())) state.SkipWithError("the card did not open");
        benchmark::DoNotOptimize(view.grab());
    }
}

BENCHMARK(BM_OpenCardListFirstScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCardListAllRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCardInMainView)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The main view benchmark needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
