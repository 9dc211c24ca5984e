// wqe info / get / set / new / demo: a card's settings from a script.
#include <charconv>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>

#include "card/CWQEMemo.h"
#include "card/FileIO.h"
#include "card/NewCard.h"
#include "card/TextCodec.h"
#include "cli/CardFields.h"
#include "cli/Cli.h"

namespace wqe::cli {

namespace {

namespace fs = std::filesystem;

// A named value of the card that get prints and set stores.
struct Accessor {
    std::function<std::string(const CWQEDoc&)> get;
    std::function<void(CWQEDoc&, const std::string&)> set;             // value already validated
    std::function<void(const CWQEDoc&, const std::string&)> validate;  // throws
};

std::string joinTable(std::span<const std::uint16_t> refs) {
    std::string out;
    for (std::size_t k = 0; k < refs.size(); ++k) {
        if (k) out += ',';
        out += std::to_string(refs[k]);
    }
    return out;
}

template <std::size_t N>
std::array<std::uint16_t, N> parseTable(const std::string& text, const std::string& field,
                                        Model m) {
    std::array<std::uint16_t, N> refs{};
    std::stringstream in(text);
    std::string item;
    std::size_t n = 0;
    while (std::getline(in, item, ',')) {
        if (n == N) throw Failure(field + ": more than " + std::to_string(N) + " values");
        if (auto ref = parseRef(item, m);
            ref && !item.empty() && !std::isdigit(static_cast<unsigned char>(item[0])))
            refs[n++] = *ref;
        else
            refs[n++] = static_cast<std::uint16_t>(parseInt(item, field, 0, 65535));
    }
    if (n != N)
        throw Failure(field + ": needs " + std::to_string(N) + " comma-separated values, got " +
                      std::to_string(n));
    return refs;
}

// A card text of exactly `length` bytes: the escaped UTF-8 value in CP932,
// padded with blanks as the editors do; refused when too long or when a
// double-byte character would be cut.
std::string fieldText(const std::string& value, std::size_t length, const std::string& field) {
    std::string bytes = unescapeText(value, field);
    if (bytes.size() > length)
        throw Failure(field + ": " + std::to_string(bytes.size()) + " bytes; the field holds " +
                      std::to_string(length));
    if (bytes.find('\0') != std::string::npos)
        throw Failure(field + ": the text holds a zero byte");
    bytes.resize(length, ' ');
    return bytes;
}

std::map<std::string, Accessor> systemAccessors(Model m) {
    std::map<std::string, Accessor> acc;
    for (const SystemFieldInfo& info : systemFields()) {
        if (!info.exists(m)) continue;
        const auto f = static_cast<SystemField>(&info - systemFields().data());
        const std::string name = info.name;
        acc[name] = {[f](const CWQEDoc& d) { return std::to_string(d.sys().get(f)); },
                     [f, name](CWQEDoc& d, const std::string& v) {
                         d.sys().set(f, parseInt(v, name, 0, 65535));
                     },
                     [&info, name, m](const CWQEDoc&, const std::string& v) {
                         try {
                             parseInt(v, name, info.min(m), info.max(m));
                         } catch (const UsageError& e) {
                             throw Failure(e.what());
                         }
                     }};
    }
    // The phrase settings file keeps its records: a phrase count it does not
    // hold would leave the device reading records that are not there.
    Accessor& count = acc.at("phrase-count-code");
    count.validate = [check = count.validate](const CWQEDoc& d, const std::string& v) {
        check(d, v);
        const int code = std::stoi(v);
        if (code == d.sys().getPhraseCountCode()) return;
        const int slots = phraseCountForList(code);
        if (slots != d.phr().recordCount())
            throw Failure("phrase-count-code: " + v + " means " + std::to_string(slots) +
                          " phrase slots but the card's phrase settings file holds " +
                          std::to_string(d.phr().recordCount()) +
                          " records (make the card with wqe new --phrases " +
                          std::to_string(slots) + ")");
    };
    acc["card-name"] = {
        [](const CWQEDoc& d) { return escapeText(d.sys().getCardName()); },
        [](CWQEDoc& d, const std::string& v) {
            d.sys().setCardName(fieldText(v, kCardNameLength, "card-name"));
        },
        [](const CWQEDoc&, const std::string& v) { fieldText(v, kCardNameLength, "card-name"); }};
    acc["direct-play"] = {
        [](const CWQEDoc& d) { return joinTable(d.sys().getDirectPlayTable()); },
        [m](CWQEDoc& d, const std::string& v) {
            d.sys().setDirectPlayTable(parseTable<kDirectPlayEntries>(v, "direct-play", m));
        },
        [m](const CWQEDoc&, const std::string& v) {
            parseTable<kDirectPlayEntries>(v, "direct-play", m);
        }};
    for (int t = 0; t < kProgramPlayTables; ++t) {
        const std::string name = "program-play-" + std::to_string(t + 1);
        acc[name] = {[t](const CWQEDoc& d) { return joinTable(d.sys().getProgramPlayTable(t)); },
                     [t, name, m](CWQEDoc& d, const std::string& v) {
                         d.sys().setProgramPlayTable(t,
                                                     parseTable<kProgramPlayEntries>(v, name, m));
                     },
                     [name, m](const CWQEDoc&, const std::string& v) {
                         parseTable<kProgramPlayEntries>(v, name, m);
                     }};
    }
    acc["note-map"] = {[](const CWQEDoc& d) { return joinTable(d.sys().getNoteMap()); },
                       [m](CWQEDoc& d, const std::string& v) {
                           d.sys().setNoteMap(parseTable<kNoteMapEntries>(v, "note-map", m));
                       },
                       [m](const CWQEDoc&, const std::string& v) {
                           parseTable<kNoteMapEntries>(v, "note-map", m);
                       }};
    acc["memo"] = {
        [](const CWQEDoc& d) { return escapeText(d.memo().systemMemo()); },
        [](CWQEDoc& d, const std::string& v) { d.memo().setSystemMemo(unescapeText(v, "memo")); },
        [](const CWQEDoc&, const std::string& v) { unescapeText(v, "memo"); }};
    return acc;
}

// The order `wqe get CARD` prints the system fields in.
const char* const kSystemOrder[] = {"phrase-count-code",
                                    "busy-out-code",
                                    "card-name",
                                    "card-protect",
                                    "control-input-mode",
                                    "direct-playback-kind",
                                    "direct-play",
                                    "program-play-1",
                                    "program-play-2",
                                    "program-play-3",
                                    "program-play-4",
                                    "program-play-5",
                                    "control-input-select",
                                    "binary-trigger",
                                    "binary-trigger-level",
                                    "binary-trigger-edge",
                                    "terminal-recording-input",
                                    "midi-output",
                                    "note-map",
                                    "midi-channel",
                                    "note-trigger",
                                    "rx-velocity",
                                    "rx-panpot",
                                    "rx-expression",
                                    "note-out",
                                    "device-id",
                                    "mmc-mode",
                                    "mtc-sync-source",
                                    "mtc-sync-out",
                                    "mtc-type",
                                    "mtc-error-level",
                                    "baud-rate",
                                    "wq-link-mode",
                                    "dual-mono-mode",
                                    "line-thru",
                                    "line-thru-volume",
                                    "line-thru-fade-out",
                                    "line-thru-fade-in",
                                    "eq-switch",
                                    "eq-low-gain",
                                    "eq-low-freq",
                                    "eq-high-gain",
                                    "eq-high-freq",
                                    "eq-attenuation",
                                    "output-volume-thru",
                                    "busy-out-delay",
                                    "busy-out-playback",
                                    "busy-out-interval",
                                    "display-sleep-switch",
                                    "display-sleep-time",
                                    "memo"};

// "phrase.N.FIELD": the accessor of phrase index N-1.
std::optional<Accessor> phraseAccessor(const CWQEDoc& doc, const std::string& key) {
    if (!key.starts_with("phrase.")) return std::nullopt;
    const auto dot = key.find('.', 7);
    if (dot == std::string::npos) throw Failure(key + ": expected phrase.N.FIELD");
    const int count = doc.phraseCount();
    int number = 0;
    try {
        number = parseInt(key.substr(7, dot - 7), key, 1, count);
    } catch (const UsageError&) {
        throw Failure(key + ": the phrase number must lie in 1.." + std::to_string(count));
    }
    const int i = number - 1;
    if (i >= doc.phr().recordCount())
        throw Failure(key + ": the phrase settings file holds only " +
                      std::to_string(doc.phr().recordCount()) + " records");
    const std::string field = key.substr(dot + 1);
    const Model m = doc.model();
    if (field == "name") {
        const std::size_t len = phraseNameLength(m);
        return Accessor{
            [i](const CWQEDoc& d) { return escapeText(d.phr().getName(i)); },
            [i, len, key](CWQEDoc& d, const std::string& v) {
                d.phr().setName(i, fieldText(v, len, key));
            },
            [len, key](const CWQEDoc&, const std::string& v) { fieldText(v, len, key); }};
    }
    if (field == "memo") {
        return Accessor{[i](const CWQEDoc& d) { return escapeText(d.memo().phraseMemo(i)); },
                        [i, key](CWQEDoc& d, const std::string& v) {
                            d.memo().setPhraseMemo(i, unescapeText(v, key));
                        },
                        [key](const CWQEDoc&, const std::string& v) {
                            if (unescapeText(v, key).find_first_of("\r\n") != std::string::npos)
                                throw Failure(key + ": a phrase memo is a single line");
                        }};
    }
    for (const PhraseFieldInfo& info : phraseFields()) {
        if (field != info.name) continue;
        if (!info.exists(m))
            throw Failure(key + ": a " + std::string(modelName(m)) + " card has no phrase field '" +
                          field + "'");
        const auto f = static_cast<PhraseField>(&info - phraseFields().data());
        const long long max = info.max(m);
        return Accessor{
            [i, f](const CWQEDoc& d) { return std::to_string(d.phr().get(i, f)); },
            [i, f, key](CWQEDoc& d, const std::string& v) {
                d.phr().set(i, f, static_cast<std::uint32_t>(std::stoull(v)));
            },
            [key, max](const CWQEDoc&, const std::string& v) {
                long long n = -1;
                auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
                if (ec != std::errc() || p != v.data() + v.size() || n < 0 || n > max)
                    throw Failure(key + ": '" + v + "' is outside 0.." + std::to_string(max));
            }};
    }
    throw Failure(key + ": no such phrase field");
}

Accessor accessorFor(const CWQEDoc& doc, const std::string& key,
                     const std::map<std::string, Accessor>& system) {
    if (auto a = phraseAccessor(doc, key)) return *a;
    auto it = system.find(key);
    if (it != system.end()) return it->second;
    for (const SystemFieldInfo& info : systemFields())
        if (key == info.name)
            throw Failure(key + ": a " + std::string(modelName(doc.model())) +
                          " card has no such field");
    throw Failure(key + ": no such field (see wqe get --help)");
}

int runInfo(const std::vector<std::string>& argv) {
    Args args(argv, {}, {});
    args.expectPositional(1, 1);
    OpenCard card(args.positional()[0]);
    const CWQEDoc& doc = card.doc;
    int used = 0;
    const int count = doc.phraseCount();
    for (int i = 0; i < count; ++i) used += doc.phr().isUsed(i) ? 1 : 0;
    std::cout << "model: " << modelName(doc.model()) << '\n'
              << "folder: " << fs::path(doc.systemPath()).parent_path().string() << '\n'
              << "card name: " << escapeText(doc.sys().getCardName()) << '\n'
              << "phrases: " << count << '\n'
              << "used phrases: " << used << '\n';
    return kExitOk;
}

int runGet(const std::vector<std::string>& argv) {
    Args args(argv, {}, {});
    args.expectPositional(1, 10000);
    OpenCard card(args.positional()[0]);
    const auto system = systemAccessors(card.doc.model());
    std::vector<std::string> keys(args.positional().begin() + 1, args.positional().end());
    if (keys.empty())
        for (const char* k : kSystemOrder)
            if (system.count(k)) keys.push_back(k);
    std::vector<std::pair<std::string, Accessor>> resolved;
    for (const auto& k : keys) resolved.emplace_back(k, accessorFor(card.doc, k, system));
    for (const auto& [k, a] : resolved) std::cout << k << '=' << a.get(card.doc) << '\n';
    return kExitOk;
}

int runSet(const std::vector<std::string>& argv) {
    Args args(argv, {"--yes"}, {});
    args.expectPositional(2, 100000);
    OpenCard card(args.positional()[0], TerminalPrompter::policyFrom(args));
    const auto system = systemAccessors(card.doc.model());
    std::vector<std::pair<Accessor, std::string>> edits;
    for (auto it = args.positional().begin() + 1; it != args.positional().end(); ++it) {
        const auto eq = it->find('=');
        if (eq == std::string::npos) throw UsageError("expected FIELD=VALUE, got '" + *it + "'");
        const std::string key = it->substr(0, eq), value = it->substr(eq + 1);
        Accessor a = accessorFor(card.doc, key, system);
        a.validate(card.doc, value);
        edits.emplace_back(std::move(a), value);
    }
    // Everything was checked before the first byte changes.
    for (auto& [a, value] : edits) a.set(card.doc, value);
    card.doc.markModified(true);
    if (const Status saved = card.doc.save(); !saved) {
        if (saved.error().kind == ErrorKind::Cancelled)
            throw Failure(saved.error().message() + " (use --yes to replace it)");
        throw Failure(saved.error().message());
    }
    return kExitOk;
}

int runNew(const std::vector<std::string>& argv) {
    Args args(argv, {}, {"--model", "--phrases"});
    args.expectPositional(1, 1);
    Model m = Model::WQ7000;
    if (auto model = args.option("--model")) {
        if (*model == "7000" || *model == "wq7000" || *model == "WQ-7000")
            m = Model::WQ7000;
        else if (*model == "5000" || *model == "wq5000" || *model == "WQ-5000")
            m = Model::WQ5000;
        else
            throw UsageError("--model takes 7000 or 5000");
    }
    int code = 0;
    if (auto phrases = args.option("--phrases")) {
        const int n = parseInt(*phrases, "--phrases", 250, 1000);
        if (n == 250)
            code = 0;
        else if (n == 500)
            code = 1;
        else if (n == 1000 && m == Model::WQ7000)
            code = 2;
        else
            throw UsageError("--phrases takes 250, 500 or (WQ-7000) 1000");
    }
    if (Status created = createCard(args.positional()[0], m, code); !created)
        throw Failure(created.error().message());
    std::cout << "Created a " << modelName(m) << " card with " << phraseCountForModel(code, m)
              << " phrases in " << args.positional()[0] << '\n';
    return kExitOk;
}

const bool registered = [] {
    registerCommand(
        {"info", "model, folder, card name and phrase counts of a card",
         "usage: wqe info CARD\n\nPrints the model, the folder, the card name, the number of\n"
         "phrase slots and the number of used phrases.\n",
         runInfo});
    registerCommand({"get", "print system or phrase fields as FIELD=VALUE",
                     "usage: wqe get CARD [FIELD...]\n\n"
                     "Prints FIELD=VALUE lines; every system field of the card's model when\n"
                     "no field is named. Phrase fields are phrase.N.FIELD (N = phrase number).\n"
                     "Texts are UTF-8 with \\n, \\r, \\t and \\\\ escaped; tables are comma-\n"
                     "separated decimal phrase references.\n",
                     runGet});
    registerCommand({"set", "store FIELD=VALUE pairs and save the card",
                     "usage: wqe set CARD FIELD=VALUE... [--yes]\n\n"
                     "Stores the values and saves the card; only the edited bytes change.\n"
                     "A memo file in a layout the editor does not write is replaced only\n"
                     "with --yes.\n"
                     "Every value is checked first: a field the model lacks or a value out\n"
                     "of range writes nothing. Names are padded with blanks to their field.\n",
                     runSet});
    registerCommand({"new", "create an empty card folder",
                     "usage: wqe new DIR [--model 7000|5000] [--phrases 250|500|1000]\n\n"
                     "Creates a card with default system settings, empty phrase slots and\n"
                     "an empty memo file.\n",
                     runNew});
    return true;
}();

}  // namespace

// The accessors above as named fields for export and apply.
namespace {

const std::map<std::string, Accessor>& cachedSystemAccessors(Model m) {
    static const std::map<std::string, Accessor> w7 = systemAccessors(Model::WQ7000);
    static const std::map<std::string, Accessor> w5 = systemAccessors(Model::WQ5000);
    return m == Model::WQ7000 ? w7 : w5;
}

}  // namespace

FieldKind fieldKind(const std::string& key) {
    const std::string field = key.starts_with("phrase.") ? key.substr(key.rfind('.') + 1) : key;
    if (key == "card-name" || key == "memo" ||
        (key != field && (field == "name" || field == "memo")))
        return FieldKind::Text;
    if (key == "direct-play" || key == "note-map" || key.starts_with("program-play-"))
        return FieldKind::Table;
    return FieldKind::Number;
}

std::vector<std::string> systemFieldKeys(Model m) {
    const auto& system = cachedSystemAccessors(m);
    std::vector<std::string> keys;
    for (const char* k : kSystemOrder)
        if (system.count(k)) keys.push_back(k);
    return keys;
}

std::vector<std::string> phraseFieldNames(Model m) {
    std::vector<std::string> names = {"name"};
    for (const PhraseFieldInfo& info : phraseFields())
        if (info.exists(m)) names.push_back(info.name);
    names.push_back("memo");
    return names;
}

CardField cardField(const CWQEDoc& doc, const std::string& key) {
    Accessor a = accessorFor(doc, key, cachedSystemAccessors(doc.model()));
    return {key, fieldKind(key), std::move(a.get), std::move(a.validate), std::move(a.set)};
}

}  // namespace wqe::cli
