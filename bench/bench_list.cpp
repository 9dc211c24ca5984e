// Building every row of the phrase list of a full 1000-phrase WQ-7000 card,
// as a refresh of the list does.
#include <benchmark/benchmark.h>

#include "card/CWQEMemo.h"
#include "card/CWQEPhr.h"
#include "card/CWQESys.h"
#include "view/PhraseListText.h"

namespace {

using namespace wqe;

void BM_PhraseListAllRows1000(benchmark::State& state) {
    constexpr int kPhrases = 1000;
    auto sysImage = CWQESys::defaultImage(Model::WQ7000);
    auto phrImage = CWQEPhr::erasedImage(Model::WQ7000, kPhrases);
    CWQESys sys;
    sys.attach(sysImage);
    sys.setPhraseCountCode(2);
    sys.setMtcType(2);  // drop-frame: the longest time code path
    CWQEPhr phr;
    phr.attach(phrImage);
    CWQEMemo memo;
    memo.setModel(Model::WQ7000);
    for (int i = 0; i < kPhrases; ++i) {
        phr.setType(i, static_cast<std::uint32_t>(1 + i % 4));
        phr.setName(i, "PHRASE NAME ");
        phr.setGrade(i, static_cast<std::uint32_t>(i % 6));
        phr.setMode(i, i % 2 ? 0 : 3);
        phr.setLength(i, 100000u + static_cast<std::uint32_t>(i));
        phr.setEndPoint(i, 90000);
        phr.setLoop1Point(i, 1000);
        phr.setLoop2Point(i, 80000);
        phr.setDelay(i, static_cast<std::uint32_t>(i * 37 % 65536));
        memo.setPhraseMemo(i, "memo text of the phrase");
    }
    for (auto _ : state) {
        std::size_t cells = 0;
        for (int i = 0; i < kPhrases; ++i)
            cells += phraseListRow(sys, phr, memo, i, Language::English).size();
        benchmark::DoNotOptimize(cells);
    }
    state.SetItemsProcessed(state.iterations() * kPhrases);
}
BENCHMARK(BM_PhraseListAllRows1000)->Unit(benchmark::kMillisecond);

}  // namespace
