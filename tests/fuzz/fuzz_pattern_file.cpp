// Fuzzes the pattern and song file reader of both models and every step
// accessor on what it accepts.
#include <cstdint>

#include "card/PatternFile.h"

using namespace wqe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (Model m : {Model::WQ7000, Model::WQ5000}) {
        const PatternReadResult r = parsePatternFile({data, size}, m, "fuzz.phr");
        if (r.status == PatternReadStatus::Ok && !r.data) __builtin_trap();
        if (!r.data) continue;
        const PatternData& p = *r.data;
        if (p.isSong()) {
            auto steps = p.songSteps();
            sortSongSteps(steps);
            for (int s = 0; s < 100; ++s) (void)p.songStep(s);
        } else {
            for (int s = 0; s < 128; ++s) {
                (void)p.stepRef(s);
                (void)p.stepInterval(s);
                (void)p.stepVolume(s);
            }
            (void)p.interruptStep();
            (void)p.hasInterruptPhrase();
        }
    }
    return 0;
}
