// Fuzzes the memo reader. A memo file written from what was read must read
// back to the same memos: a save never changes what the user did not edit.
#include <cstdint>
#include <string_view>

#include "card/CWQEMemo.h"

using namespace wqe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (Model m : {Model::WQ7000, Model::WQ5000}) {
        CWQEMemo first;
        first.setModel(m);
        first.parse(bytes);
        const std::string written = first.serialize();
        CWQEMemo second;
        second.setModel(m);
        second.parse(written);
        if (second.systemMemo() != first.systemMemo()) __builtin_trap();
        for (int i = 0; i < highestPhraseCount(m); ++i)
            if (second.phraseMemo(i) != first.phraseMemo(i)) __builtin_trap();
    }
    return 0;
}
