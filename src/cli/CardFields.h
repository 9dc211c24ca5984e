// The named fields of a card as the command-line tool reads and stores them:
// the keys of `wqe get` / `wqe set` ("eq-low-gain", "direct-play",
// "phrase.12.volume"), their kind, and for each a reader and a checked
// writer over a document. get, set, export and apply all go through these.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "card/CWQEDoc.h"

namespace wqe::cli {

enum class FieldKind {
    Number,  // decimal text, e.g. "100"
    Text,    // card text as UTF-8 with \n, \r, \t and \\ escaped (escapeField)
    Table,   // comma-separated phrase references, e.g. "0,1,32768"
};

struct CardField {
    std::string key;
    FieldKind kind = FieldKind::Number;
    // The value as `wqe get` prints it.
    std::function<std::string(const CWQEDoc&)> get;
    // Throws Failure (naming the key) when `wqe set` would refuse the value.
    std::function<void(const CWQEDoc&, const std::string&)> validate;
    // Stores a value that passed validate.
    std::function<void(CWQEDoc&, const std::string&)> set;
};

// The system fields of a model, in the order `wqe get CARD` prints them
// (the system memo last).
std::vector<std::string> systemFieldKeys(Model m);
// The kind of a system key or of a phrase key (phrase.N.FIELD).
FieldKind fieldKind(const std::string& key);
// The field names of one phrase of the model: name, the numeric fields of
// the phrase record in their table order, memo.
std::vector<std::string> phraseFieldNames(Model m);
// The field of a key; throws Failure naming the key when the card has none.
CardField cardField(const CWQEDoc& doc, const std::string& key);

}  // namespace wqe::cli
