// A card's settings as a JSON document, and the field-by-field comparison of
// two such documents.
//
//   {
//     "format": "wqe-card", "version": 1, "model": "WQ-7000",
//     "system": { "phrase-count-code": 0, "card-name": "DEMOCARD", ...,
//                 "direct-play": [0, 1, ...], ..., "memo": "..." },
//     "phrases": { "1": { "name": "WELCOME     ", "type": 1, ..., "memo": "..." } }
//   }
//
// Keys are the field names of `wqe get` in its order; numbers are the stored
// values, tables arrays of phrase references, texts UTF-8. "phrases" holds
// every used phrase (and every unused slot with a memo) by phrase number.
// cardJsonSchema() describes the layout (kept as schema/wqe-card.schema.json).
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "card/CWQEDoc.h"

namespace wqe::cli {

using Json = nlohmann::ordered_json;

inline constexpr const char* kCardJsonFormat = "wqe-card";
inline constexpr int kCardJsonVersion = 1;

// The document's settings. Texts holding bytes that are not CP932 text
// export as U+FFFD; each such field is added to `lossy` as its key.
Json cardToJson(const CWQEDoc& doc, std::vector<std::string>* lossy = nullptr);

// One problem of a JSON document, at a JSON Pointer ("/phrases/3/volume").
struct JsonProblem {
    std::string pointer;
    std::string reason;
};

// A change that `cardJsonEdits` found valid: the field and its value in
// `wqe set` form.
struct JsonEdit {
    std::string key;
    std::string value;
};

// Checks every field of `json` against the open card with the checks of
// `wqe set` and returns the edits in the document's order; or, when
// anything is wrong, no edits and every problem found.
struct JsonEdits {
    std::vector<JsonEdit> edits;
    std::vector<JsonProblem> problems;
};
JsonEdits cardJsonEdits(const CWQEDoc& doc, const Json& json);

// The JSON Schema of the files cardToJson writes, made from the field
// tables: names, kinds and ranges of each model.
Json cardJsonSchema();

// Field-level differences from `a` to `b`, one line each, by the names of
// `wqe get`: `phrase.12.volume: 80 → 100`, `direct-play[3]: 3 → 7`,
// `card-name: "DEMOCARD" → "SHOP    "`. A value on one side only shows
// "(absent)" on the other.
std::vector<std::string> diffCardJson(const Json& a, const Json& b);

}  // namespace wqe::cli
