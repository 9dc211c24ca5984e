// The phrase chooser of the play tables and the note map: a drop-down list of
// "none", optionally "PLAY", bank A up to the card's phrase count and the
// whole bank B, and the reference the chosen item stands for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "card/Model.h"

namespace wqe {

struct PhraseChooser {
    Model model = Model::WQ7000;
    bool allowPlay = false;  // "PLAY" is listed (the direct play table)
    int highest = 250;       // bank A lists phrases 1..highest

    // "-----" / "----", ["PLAY"], "A%04d"/"A%03d" 1..highest, "B%04d"/"B%03d"
    // over the model's whole bank.
    std::vector<std::string> items() const;
    // The item a stored reference selects, or -1 when no item stands for it
    // (an A phrase above the card's count, "PLAY" where it is not listed, a
    // value outside every bank); the dialog then shows no selection.
    int position(std::uint16_t ref) const;
    // The reference an item's text stands for: "A" n -> n - 1, "B" n -> bank
    // B base + n - 1, "P..." -> PLAY, anything else -> none.
    std::uint16_t valueOfText(std::string_view text) const;
    // What ENTER stores for list position `pos`: the reference of that item,
    // or `current` unchanged when nothing is selected.
    std::uint16_t valueAt(int pos, std::uint16_t current) const;

private:
    int playItems() const { return allowPlay ? 1 : 0; }
};

// The highest phrase number the table choosers offer in bank A: WQ-7000 code
// 0 -> 250, 1 -> 500, else 1000; WQ-5000 0 -> 250, else 500.
int chooserHighestPhrase(int phraseCountCode, Model m);

}  // namespace wqe
