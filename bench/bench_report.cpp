// The printed report of a full 1000-phrase WQ-7000 card: building all 103
// pages (the column table from every list row, then each page's drawing),
// and the whole PDF file the command-line export writes.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "view/Report.h"
#include "view/ReportPdf.h"

namespace {

using namespace wqe;
namespace fs = std::filesystem;

struct FullCard {
    FullCard() {
        std::random_device rd;
        folder = fs::temp_directory_path() / ("wqe-bench-report-" + std::to_string(rd()));
        if (!createCard(folder, Model::WQ7000, 2)) std::abort();
        doc.openCard(folder.string());
        CWQEPhr& phr = doc.phr();
        for (int i = 0; i < 1000; ++i) {
            phr.setType(i, static_cast<std::uint32_t>(1 + i % 4));
            phr.setName(i, "PHRASE NAME ");
            phr.setGrade(i, static_cast<std::uint32_t>(i % 6));
            phr.setLength(i, 100000u + static_cast<std::uint32_t>(i));
            phr.setEndPoint(i, 90000);
            doc.memo().setPhraseMemo(i, "memo text of the phrase");
        }
    }
    ~FullCard() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    fs::path folder;
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc{prompter, settings};
};

void BM_ReportAllPages1000(benchmark::State& state) {
    FullCard card;
    const ReportMetrics metrics = defaultReportMetrics(Language::English);
    for (auto _ : state) {
        const Report report(card.doc, ReportKind::SystemAndPhrase, Language::English, metrics);
        const auto pages = report.pages();
        if (pages.size() != 103) state.SkipWithError("expected 103 pages");
        benchmark::DoNotOptimize(pages.data());
    }
}
BENCHMARK(BM_ReportAllPages1000)->Unit(benchmark::kMillisecond);

void BM_ReportPdf1000(benchmark::State& state) {
    FullCard card;
    for (auto _ : state) {
        const Report report(card.doc, ReportKind::SystemAndPhrase, Language::Japanese,
                            defaultReportMetrics(Language::Japanese));
        const std::string pdf = reportPdf(report, card.doc.systemPath());
        benchmark::DoNotOptimize(pdf.data());
    }
}
BENCHMARK(BM_ReportPdf1000)->Unit(benchmark::kMillisecond);

}  // namespace
