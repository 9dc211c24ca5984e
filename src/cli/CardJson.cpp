#include "cli/CardJson.h"

#include <algorithm>
#include <charconv>
#include <set>
#include <sstream>

#include "cli/CardFields.h"
#include "cli/Cli.h"

namespace wqe::cli {

namespace {

// U+FFFD, what cp932ToUtf8 makes of bytes that do not decode.
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";
constexpr const char* kArrow = " \xE2\x86\x92 ";  // " → "

std::uint64_t toNumber(const std::string& text) {
    std::uint64_t v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

Json fieldToJson(const CardField& field, const CWQEDoc& doc, std::vector<std::string>* lossy) {
    const std::string text = field.get(doc);
    switch (field.kind) {
        case FieldKind::Number:
            return toNumber(text);
        case FieldKind::Text: {
            std::string utf8 = unescapeField(text);
            if (lossy && utf8.find(kReplacementCharacter) != std::string::npos)
                lossy->push_back(field.key);
            return utf8;
        }
        case FieldKind::Table: {
            Json refs = Json::array();
            std::stringstream in(text);
            for (std::string item; std::getline(in, item, ',');) refs.push_back(toNumber(item));
            return refs;
        }
    }
    return nullptr;
}

std::string pointerToken(const std::string& key) {
    std::string out;
    for (char c : key) {
        if (c == '~')
            out += "~0";
        else if (c == '/')
            out += "~1";
        else
            out += c;
    }
    return out;
}

// What a failed check says without the key it starts with ("phrase.3.volume: ...").
std::string reasonOf(const Failure& failure, const std::string& key) {
    const std::string what = failure.what();
    return what.starts_with(key + ": ") ? what.substr(key.size() + 2) : what;
}

// The JSON value of a field in `wqe set` form, or a reason why it has the wrong type.
struct SetText {
    std::string value;
    std::string wrongType;
};

SetText setTextOf(FieldKind kind, const Json& v) {
    const auto number = [](const Json& n) {
        return n.is_number_unsigned() ? std::to_string(n.get<std::uint64_t>())
                                      : std::to_string(n.get<std::int64_t>());
    };
    switch (kind) {
        case FieldKind::Number:
            if (v.is_number_integer()) return {number(v), {}};
            return {{}, std::string("expected a whole number, found ") + v.type_name()};
        case FieldKind::Text:
            if (v.is_string()) return {escapeField(v.get<std::string>()), {}};
            return {{}, std::string("expected a text, found ") + v.type_name()};
        case FieldKind::Table: {
            if (!v.is_array())
                return {
                    {},
                    std::string("expected an array of phrase references, found ") + v.type_name()};
            std::string joined;
            for (std::size_t k = 0; k < v.size(); ++k) {
                const Json& item = v[k];
                std::string text;
                if (item.is_number_integer())
                    text = number(item);
                else if (item.is_string() && item.get<std::string>().find(',') == std::string::npos)
                    text = item.get<std::string>();
                else
                    return {{},
                            "entry " + std::to_string(k) +
                                " is not a phrase reference (a number, or a text such as "
                                "\"A0001\", \"PLAY\" or \"none\")"};
                if (k) joined += ',';
                joined += text;
            }
            return {joined, {}};
        }
    }
    return {};
}

class EditCollector {
public:
    explicit EditCollector(const CWQEDoc& doc) : doc_(doc) {}

    JsonEdits run(const Json& json) {
        if (!json.is_object()) {
            problem("", std::string("expected a JSON object, found ") + json.type_name());
            return std::move(out_);
        }
        for (const auto& [key, value] : json.items()) {
            if (key == "$schema") continue;
            if (key == "format")
                checkFormat(value);
            else if (key == "version")
                checkVersion(value);
            else if (key == "model")
                checkModel(value);
            else if (key == "system")
                collectSystem(value);
            else if (key == "phrases")
                collectPhrases(value);
            else
                problem("/" + pointerToken(key),
                        "unknown key (expected format, version, model, system, phrases)");
        }
        if (!json.contains("model"))
            problem("/model", "missing; the file must name the card's model (\"" +
                                  std::string(modelName(doc_.model())) + "\")");
        if (!out_.problems.empty()) out_.edits.clear();
        return std::move(out_);
    }

private:
    void problem(std::string pointer, std::string reason) {
        out_.problems.push_back({std::move(pointer), std::move(reason)});
    }

    void checkFormat(const Json& v) {
        if (v != kCardJsonFormat)
            problem("/format",
                    std::string("expected \"") + kCardJsonFormat + "\", found " + v.dump());
    }
    void checkVersion(const Json& v) {
        if (v != kCardJsonVersion)
            problem("/version", "this tool reads version " + std::to_string(kCardJsonVersion) +
                                    ", found " + v.dump());
    }
    void checkModel(const Json& v) {
        const std::string model(modelName(doc_.model()));
        if (v != model)
            problem("/model", "the card is a " + model + " card; the file is for " + v.dump());
    }

    // One field: its type, the checks of `wqe set`, then the edit.
    void collectField(const std::string& pointer, const CardField& field, const Json& v) {
        const SetText text = setTextOf(field.kind, v);
        if (!text.wrongType.empty()) return problem(pointer, text.wrongType);
        try {
            field.validate(doc_, text.value);
        } catch (const Failure& e) {
            return problem(pointer, reasonOf(e, field.key));
        }
        out_.edits.push_back({field.key, text.value});
    }

    void collectSystem(const Json& system) {
        if (!system.is_object())
            return problem("/system",
                           std::string("expected an object, found ") + system.type_name());
        const std::vector<std::string> keys = systemFieldKeys(doc_.model());
        const std::set<std::string> known(keys.begin(), keys.end());
        for (const auto& [key, value] : system.items()) {
            const std::string pointer = "/system/" + pointerToken(key);
            if (!known.count(key)) {
                std::string reason = "not a system field (phrases go under /phrases)";
                try {
                    cardField(doc_, key);
                } catch (const Failure& e) {
                    reason = reasonOf(e, key);
                }
                problem(pointer, reason);
                continue;
            }
            collectField(pointer, cardField(doc_, key), value);
        }
    }

    void collectPhrases(const Json& phrases) {
        if (!phrases.is_object())
            return problem("/phrases", std::string("expected an object keyed by phrase number, "
                                                   "found ") +
                                           phrases.type_name());
        for (const auto& [number, fields] : phrases.items()) {
            const std::string pointer = "/phrases/" + pointerToken(number);
            const bool digits = !number.empty() && number[0] != '0' &&
                                std::all_of(number.begin(), number.end(),
                                            [](char c) { return c >= '0' && c <= '9'; });
            if (!digits) {
                problem(pointer, "not a phrase number");
                continue;
            }
            const std::string prefix = "phrase." + number + ".";
            try {
                cardField(doc_, prefix + "name");  // every phrase has a name: checks the number
            } catch (const Failure& e) {
                problem(pointer, reasonOf(e, prefix + "name"));
                continue;
            }
            if (!fields.is_object()) {
                problem(pointer, std::string("expected an object, found ") + fields.type_name());
                continue;
            }
            for (const auto& [name, value] : fields.items()) {
                const std::string fieldPointer = pointer + "/" + pointerToken(name);
                const std::string key = prefix + name;
                try {
                    collectField(fieldPointer, cardField(doc_, key), value);
                } catch (const Failure& e) {
                    problem(fieldPointer, reasonOf(e, key));
                }
            }
        }
    }

    const CWQEDoc& doc_;
    JsonEdits out_;
};

std::string shown(const Json* v) {
    return v ? v->dump(-1, ' ', false, Json::error_handler_t::replace) : "(absent)";
}

bool isNumberKey(const std::string& key) {
    return !key.empty() &&
           std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void diffValue(const std::string& name, const Json* a, const Json* b,
               std::vector<std::string>& lines);

// The keys of both objects: phrase numbers in numeric order, other keys in
// the order of `a`, then those only `b` has.
std::vector<std::string> unionKeys(const Json* a, const Json* b) {
    std::vector<std::string> keys;
    for (const Json* side : {a, b})
        if (side)
            for (const auto& [key, value] : side->items())
                if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    if (std::all_of(keys.begin(), keys.end(), isNumberKey))
        std::stable_sort(keys.begin(), keys.end(), [](const std::string& x, const std::string& y) {
            return x.size() != y.size() ? x.size() < y.size() : x < y;
        });
    return keys;
}

const Json* member(const Json* object, const std::string& key) {
    if (!object) return nullptr;
    const auto it = object->find(key);
    return it == object->end() ? nullptr : &*it;
}

// Members of two objects (either may be absent); `prefix` goes before each key.
void diffObject(const std::string& prefix, const Json* a, const Json* b,
                std::vector<std::string>& lines) {
    for (const std::string& key : unionKeys(a, b))
        diffValue(prefix + key, member(a, key), member(b, key), lines);
}

void diffValue(const std::string& name, const Json* a, const Json* b,
               std::vector<std::string>& lines) {
    if (a && b && *a == *b) return;
    const bool objects = (!a || a->is_object()) && (!b || b->is_object());
    if (objects) return diffObject(name + ".", a, b, lines);
    if (a && b && a->is_array() && b->is_array() && a->size() == b->size()) {
        for (std::size_t k = 0; k < a->size(); ++k)
            diffValue(name + "[" + std::to_string(k) + "]", &(*a)[k], &(*b)[k], lines);
        return;
    }
    lines.push_back(name + ": " + shown(a) + kArrow + shown(b));
}

}  // namespace

Json cardToJson(const CWQEDoc& doc, std::vector<std::string>* lossy) {
    Json json = Json::object();
    json["format"] = kCardJsonFormat;
    json["version"] = kCardJsonVersion;
    json["model"] = std::string(modelName(doc.model()));
    Json system = Json::object();
    for (const std::string& key : systemFieldKeys(doc.model()))
        system[key] = fieldToJson(cardField(doc, key), doc, lossy);
    json["system"] = std::move(system);

    Json phrases = Json::object();
    const std::vector<std::string> names = phraseFieldNames(doc.model());
    const int count = std::min(doc.phraseCount(), doc.phr().recordCount());
    for (int i = 0; i < count; ++i) {
        if (!doc.phr().isUsed(i) && doc.memo().phraseMemo(i).empty()) continue;
        const std::string prefix = "phrase." + std::to_string(i + 1) + ".";
        Json phrase = Json::object();
        for (const std::string& name : names)
            phrase[name] = fieldToJson(cardField(doc, prefix + name), doc, lossy);
        phrases[std::to_string(i + 1)] = std::move(phrase);
    }
    json["phrases"] = std::move(phrases);
    return json;
}

namespace {

Json integerSchema(long long min, long long max) {
    return {{"type", "integer"}, {"minimum", min}, {"maximum", max}};
}

Json textSchema(std::string description) {
    return {{"type", "string"}, {"description", std::move(description)}};
}

Json systemSchema(Model m) {
    Json properties = Json::object();
    for (const std::string& key : systemFieldKeys(m)) {
        const auto info = std::find_if(systemFields().begin(), systemFields().end(),
                                       [&](const SystemFieldInfo& f) { return key == f.name; });
        if (info != systemFields().end()) {
            properties[key] = integerSchema(info->min(m), info->max(m));
        } else if (fieldKind(key) == FieldKind::Text) {
            properties[key] = key == "memo"
                                  ? textSchema("the system memo; each line ends with a line feed")
                                  : textSchema("at most " + std::to_string(kCardNameLength) +
                                               " bytes in CP932, padded with blanks");
        } else {
            const int entries = key == "direct-play" ? kDirectPlayEntries
                                : key == "note-map"  ? kNoteMapEntries
                                                     : kProgramPlayEntries;
            properties[key] = {{"type", "array"},
                               {"items", {{"$ref", "#/$defs/reference"}}},
                               {"minItems", entries},
                               {"maxItems", entries}};
        }
    }
    return {{"type", "object"}, {"additionalProperties", false}, {"properties", properties}};
}

Json phraseSchema(Model m) {
    Json properties = Json::object();
    for (const std::string& name : phraseFieldNames(m)) {
        const auto info = std::find_if(phraseFields().begin(), phraseFields().end(),
                                       [&](const PhraseFieldInfo& f) { return name == f.name; });
        if (info != phraseFields().end())
            properties[name] = integerSchema(0, info->max(m));
        else if (name == "name")
            properties[name] = textSchema("at most " + std::to_string(phraseNameLength(m)) +
                                          " bytes in CP932, padded with blanks");
        else
            properties[name] = {{"type", "string"},
                                {"pattern", "^[^\r\n]*$"},
                                {"description", "the phrase memo, one line"}};
    }
    return {{"type", "object"}, {"additionalProperties", false}, {"properties", properties}};
}

std::string defName(const char* what, Model m) {
    return std::string(what) + "-" + std::string(modelName(m));
}

}  // namespace

Json cardJsonSchema() {
    Json defs = Json::object();
    defs["reference"] = {
        {"description",
         "a phrase reference as stored, or a text such as \"A0001\", \"B12\", \"PLAY\", \"none\""},
        {"oneOf", Json::array({integerSchema(0, 65535), {{"type", "string"}}})}};
    Json byModel = Json::array();
    for (Model m : {Model::WQ7000, Model::WQ5000}) {
        defs[defName("system", m)] = systemSchema(m);
        defs[defName("phrase", m)] = phraseSchema(m);
        byModel.push_back(
            {{"if", {{"properties", {{"model", {{"const", modelName(m)}}}}}}},
             {"then",
              {{"properties",
                {{"system", {{"$ref", "#/$defs/" + defName("system", m)}}},
                 {"phrases",
                  {{"additionalProperties", {{"$ref", "#/$defs/" + defName("phrase", m)}}}}}}}}}});
    }
    Json schema = Json::object();
    schema["$schema"] = "https://json-schema.org/draft/2020-12/schema";
    schema["$id"] = "wqe-card.schema.json";
    schema["title"] = "WQ-7000 / WQ-5000 card settings (wqe export, wqe apply)";
    schema["description"] =
        "Field names are those of wqe get. wqe apply stores the fields a file names and "
        "leaves the others as they are; it needs only \"model\".";
    schema["type"] = "object";
    schema["required"] = Json::array({"model"});
    schema["additionalProperties"] = false;
    schema["properties"] = {
        {"$schema", {{"type", "string"}}},
        {"format", {{"const", kCardJsonFormat}}},
        {"version", {{"const", kCardJsonVersion}}},
        {"model", {{"enum", Json::array({modelName(Model::WQ7000), modelName(Model::WQ5000)})}}},
        {"system", {{"type", "object"}}},
        {"phrases",
         {{"type", "object"},
          {"description", "used phrases by phrase number"},
          {"propertyNames", {{"pattern", "^[1-9][0-9]{0,3}$"}}}}}};
    schema["allOf"] = byModel;
    schema["$defs"] = defs;
    return schema;
}

JsonEdits cardJsonEdits(const CWQEDoc& doc, const Json& json) {
    return EditCollector(doc).run(json);
}

std::vector<std::string> diffCardJson(const Json& a, const Json& b) {
    std::vector<std::string> lines;
    if (a == b) return lines;
    if (!a.is_object() || !b.is_object()) {
        diffValue("(document)", &a, &b, lines);
        return lines;
    }
    // System fields go by their own names, phrases as phrase.N.FIELD.
    for (const std::string& key : unionKeys(&a, &b)) {
        const Json* x = member(&a, key);
        const Json* y = member(&b, key);
        const bool objects = (!x || x->is_object()) && (!y || y->is_object());
        if (key == "system" && objects)
            diffObject("", x, y, lines);
        else if (key == "phrases" && objects)
            diffObject("phrase.", x, y, lines);
        else
            diffValue(key, x, y, lines);
    }
    return lines;
}

}  // namespace wqe::cli
