// wqe pattern CARD N: the steps of a pattern or song phrase, and scripted
// step edits written back as the pattern and song editors store them.
#include <cctype>
#include <charconv>
#include <filesystem>
#include <iostream>

#include "card/FileIO.h"
#include "card/PatternFile.h"
#include "card/PhrasePrm.h"
#include "cli/Cli.h"
#include "dialogs/PatternEdit.h"
#include "timecode/CConvert.h"
#include "view/PatternStepText.h"

namespace wqe::cli {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxIntervalTenths = 599;
constexpr int kMaxVolume = 100;

// One --set STEP=REF[,VOLUME][,INTERVAL] (songs: STEP=REF[,START]).
struct StepEdit {
    int step = 0;  // 0-based
    std::uint16_t ref = kStepUnused;
    std::optional<int> volume;
    std::optional<int> interval;         // tenths of a second
    std::optional<std::uint32_t> start;  // milliseconds
};

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::optional<long long> number(std::string_view text) {
    long long v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size() || text.empty()) return std::nullopt;
    return v;
}

// "A12", "B0003", "-", "-----", "none"; songs also "stop".
std::uint16_t parseStepRef(const std::string& text, Model m, bool song, const std::string& where) {
    const std::string t = lower(text);
    if (t == "none" || (!t.empty() && t.find_first_not_of('-') == std::string::npos))
        return kStepUnused;
    if (song && (t == "stop" || text == "ｽﾄｯﾌﾟ")) return kSongStop;
    const int bank = highestPhraseCount(m);
    if (t.size() >= 2 && (t[0] == 'a' || t[0] == 'b')) {
        if (auto n = number(std::string_view(t).substr(1)); n && *n >= 1 && *n <= bank)
            return static_cast<std::uint16_t>((t[0] == 'b' ? bank : 0) + *n - 1);
    }
    throw UsageError(where + ": '" + text + "' is no phrase (A1..A" + std::to_string(bank) +
                     ", B1..B" + std::to_string(bank) + (song ? ", stop" : "") + " or -)");
}

// "80" or "80%".
int parseVolume(std::string text, const std::string& where) {
    if (!text.empty() && text.back() == '%') text.pop_back();
    const auto v = number(text);
    if (!v || *v < 0 || *v > kMaxVolume)
        throw UsageError(where + ": the volume '" + text + "' is not 0..100");
    return static_cast<int>(*v);
}

// Seconds with one decimal: "1.5", "01.5s", "12" -> tenths.
int parseInterval(std::string text, const std::string& where) {
    const std::string original = text;
    if (!text.empty() && (text.back() == 's' || text.back() == 'S')) text.pop_back();
    const auto dot = text.find('.');
    const auto whole = number(text.substr(0, dot));
    std::optional<long long> tenth = 0;
    if (dot != std::string::npos) {
        tenth = text.size() == dot + 2 ? number(text.substr(dot + 1)) : std::nullopt;
    }
    if (!whole || !tenth || *whole < 0 || *whole * 10 + *tenth > kMaxIntervalTenths)
        throw UsageError(where + ": the interval '" + original + "' is not 0.0..59.9 seconds");
    return static_cast<int>(*whole * 10 + *tenth);
}

// "HHhMMmSSsFFf" or "HH:MM:SS:FF" at the card's MTC type -> milliseconds.
std::uint32_t parseStart(const std::string& text, int mtcType, const std::string& where) {
    int h = 0, m = 0, s = 0, f = 0;
    char tail = 0;
    const bool ok = std::sscanf(text.c_str(), "%dh%dm%ds%df%c", &h, &m, &s, &f, &tail) == 4 ||
                    std::sscanf(text.c_str(), "%d:%d:%d:%d%c", &h, &m, &s, &f, &tail) == 4;
    const int fps = mtcFramesPerSecond(mtcType);
    if (!ok || h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || f < 0 ||
        f >= (fps ? fps : 30))
        throw UsageError(where + ": the start '" + text + "' is not a time code like 00h01m30s12f");
    return CConvert::PackedToMs(
        static_cast<std::uint8_t>(h),
        packTimeCode(static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(s),
                     static_cast<std::uint8_t>(f), 0),
        mtcType);
}

StepEdit parseEdit(const std::string& text, PatternKind kind, Model model, int rowCount,
                   int mtcType) {
    const std::string where = "--set " + text;
    const auto eq = text.find('=');
    if (eq == std::string::npos) throw UsageError(where + ": expected STEP=REF[,...]");
    StepEdit e;
    const auto step = number(text.substr(0, eq));
    if (!step || *step < 1 || *step > rowCount)
        throw UsageError(where + ": the step must lie in 1.." + std::to_string(rowCount));
    e.step = static_cast<int>(*step) - 1;
    std::vector<std::string> parts;
    std::string rest = text.substr(eq + 1);
    for (std::size_t pos = 0;;) {
        const auto comma = rest.find(',', pos);
        parts.push_back(
            rest.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    const bool song = kind == PatternKind::Song;
    e.ref = parseStepRef(parts[0], model, song, where);
    const bool interrupt = !song && e.step >= kPatternMainSteps;
    const std::size_t maxParts = song                               ? 2
                                 : kind == PatternKind::Pattern7000 ? (interrupt ? 2 : 3)
                                                                    : (interrupt ? 1 : 2);
    if (parts.size() > maxParts)
        throw UsageError(where + ": " +
                         (song        ? std::string("a song step takes REF[,START]")
                          : interrupt ? std::string("an interrupt step takes REF") +
                                            (kind == PatternKind::Pattern7000 ? "[,VOLUME]" : "")
                          : kind == PatternKind::Pattern7000
                              ? std::string("a step takes REF[,VOLUME][,INTERVAL]")
                              : std::string("a WQ-5000 step takes REF[,INTERVAL]")));
    if (song) {
        if (parts.size() > 1) e.start = parseStart(parts[1], mtcType, where);
    } else if (kind == PatternKind::Pattern7000) {
        if (parts.size() > 1 && !parts[1].empty()) e.volume = parseVolume(parts[1], where);
        if (parts.size() > 2 && !parts[2].empty()) e.interval = parseInterval(parts[2], where);
    } else if (parts.size() > 1 && !parts[1].empty()) {
        e.interval = parseInterval(parts[1], where);
    }
    return e;
}

void applyPatternEdit(PatternData& data, const StepEdit& e) {
    data.setStepRef(e.step, e.ref);
    if (e.ref == kStepUnused) {  // an emptied step reads back as the empty row
        data.setStepVolume(e.step, kDefaultStepVolume);
        data.setStepInterval(e.step, 0);
        return;
    }
    if (e.volume) data.setStepVolume(e.step, static_cast<std::uint8_t>(*e.volume));
    if (e.interval) data.setStepInterval(e.step, static_cast<std::uint16_t>(*e.interval));
}

// Step: the phrase number argument, 1..the card's phrase count.
int phraseNumberArg(const std::string& text, int count) {
    try {
        return parseInt(text, "phrase number", 1, count);
    } catch (const UsageError& e) {
        throw UsageError(std::string(e.what()) + " (the card has " + std::to_string(count) +
                         " phrases)");
    }
}

// Step: the kind of editor the phrase's record asks for.
PatternKind editorKindFor(const CWQEDoc& doc, int i) {
    if (const auto kind = editorKindOf(doc, i)) return *kind;
    throw Failure("phrase " + std::to_string(i + 1) + " is not a pattern or song phrase");
}

// Step (--new): prepares empty phrase i as "Phrase to make" does, the data
// file first, then the saved phrase settings. When the settings cannot be
// saved the new data file is removed again.
void makePhrase(OpenCard& card, int i, const std::string& what) {
    CWQEDoc& doc = card.doc;
    const std::string kindText = lower(what);
    if (kindText != "pattern" && kindText != "song")
        throw UsageError("--new " + what + ": expected pattern or song");
    const bool song = kindText == "song";
    if (song && doc.model() != Model::WQ7000)
        throw UsageError("--new song: a WQ-5000 card has no song phrases");
    if (doc.phr().isUsed(i))
        throw Failure("phrase " + std::to_string(i + 1) +
                      " is in use; --new prepares an empty phrase only");
    const PatternKind kind = madeKind(doc.model(), song);
    if (const Status s = makeNewPhrase(doc, i, kind); !s) throw Failure(s.error().message());
    if (!doc.onSaveCardInfo()) {
        std::error_code ec;
        fs::remove(patternDataPath(doc, i), ec);
        throw Failure("the phrase settings were not saved; the new data file was removed");
    }
    std::cout << "Made " << (song ? "song" : "pattern") << " phrase " << i + 1 << " ("
              << patternDataPath(doc, i).filename().string() << ")\n";
}

// Step: the phrase's data file, of the kind its record says.
PatternData readSteps(const fs::path& path, Model model, bool song) {
    PatternReadResult read = readPatternFile(path, model);
    if (read.status == PatternReadStatus::Missing)
        throw Failure(std::string(song ? kMsgNoSongFile : kMsgNoPatternFile) + " (" +
                      path.string() + ")");
    if (!read.data || read.data->isSong() != song)
        throw Failure(std::string(song ? kMsgSongFileWrong : kMsgPatternFileWrong) + " (" +
                      (read.data ? path.filename().string() + ": a " +
                                       (read.data->isSong() ? "song" : "pattern") + " file for a " +
                                       (song ? "song" : "pattern") + " phrase"
                                 : read.error) +
                      ")");
    return *read.data;
}

// Step: the header and one line per step, joined by tabs.
void printSteps(const PatternData& data, PatternKind kind, int rows, Language lang, int mtcType) {
    std::string out;
    auto line = [&out](const std::vector<std::string>& cells) {
        for (std::size_t k = 0; k < cells.size(); ++k)
            out += (k ? "\t" : "") + escapeField(cells[k]);
        out += '\n';
    };
    line(patternStepHeaders(kind, lang));
    for (const auto& row : patternStepRows(data, rows, lang, mtcType)) line(row);
    std::cout << out << std::flush;
}

// Step: the edits applied to the steps (songs are stored sorted by start).
void applyEdits(PatternData& data, const std::vector<StepEdit>& edits) {
    if (!data.isSong()) {
        for (const StepEdit& e : edits) applyPatternEdit(data, e);
        return;
    }
    std::vector<SongStep> steps = data.songSteps();
    for (const StepEdit& e : edits) {
        SongStep& s = steps[static_cast<std::size_t>(e.step)];
        s.ref = e.ref;
        if (e.start) s.startMs = *e.start;
        if (e.ref == kStepUnused) s.startMs = 0;
    }
    data.storeSongSteps(std::move(steps));
}

// Step: what the editor's ENTER does: the data file, then the interrupt
// check, then the phrase settings are saved.
void storeSteps(OpenCard& card, int i, const PatternData& data, PatternKind kind) {
    const StoreResult stored = storeEditedSteps(card.doc, i, data, std::nullopt);
    if (!stored.status) {
        card.prompter.message(patternWriteFailureMessage(kind), Icon::Exclamation);
        throw Failure(stored.status.error().message());
    }
    if (stored.interruptCorrected) card.prompter.message(kMsgInterruptCorrected, Icon::Exclamation);
    if (!card.doc.onSaveCardInfo()) throw Failure("the phrase settings were not saved");
}

int runPattern(const std::vector<std::string>& argv) {
    Args args(argv, {}, {"--lang", "--set", "--new"});
    args.expectPositional(2, 2);
    const Language lang = languageFrom(args);
    OpenCard card(args.positional()[0]);
    CWQEDoc& doc = card.doc;
    const Model model = doc.model();
    const int i = phraseNumberArg(args.positional()[1], doc.phraseCount()) - 1;
    const auto sets = args.all("--set");
    if (const auto made = args.option("--new")) {
        makePhrase(card, i, *made);
        if (sets.empty()) return kExitOk;
    }
    const PatternKind kind = editorKindFor(doc, i);
    const bool song = kind == PatternKind::Song;
    const fs::path path =
        findCardFile(fs::path(doc.systemPath()).parent_path(), phraseDataFileName("", i, "PHR"));
    PatternData data = readSteps(path, model, song);
    const int patternMode = static_cast<int>(doc.phr().getPatternMode(i));
    const int rows = song ? kSongSteps : patternStepCount(model, patternMode);
    const int mtcType = doc.sys().getMtcType();

    if (sets.empty()) {
        printSteps(data, kind, rows, lang, mtcType);
        return kExitOk;
    }
    // Every edit is checked before anything is written.
    std::vector<StepEdit> edits;
    for (const auto& s : sets) edits.push_back(parseEdit(s, kind, model, rows, mtcType));
    applyEdits(data, edits);
    storeSteps(card, i, data, kind);
    std::cout << "Stored " << edits.size() << " step edit(s) in " << path.filename().string()
              << '\n';
    return kExitOk;
}

const bool registered = registerCommand(
    {"pattern", "show or edit the steps of a pattern or song phrase",
     "usage: wqe pattern CARD N [--lang en|ja] [--new pattern|song]\n"
     "                          [--set STEP=REF[,VOLUME][,INTERVAL] ...]\n"
     "\n"
     "--new makes empty phrase N a pattern or song phrase (songs on the WQ-7000\n"
     "only), as the editor's \"Phrase to make\" does: the phrase settings of a new\n"
     "phrase and an empty data file _WQPnnnn.PHR. An existing data file of that\n"
     "number is never replaced. --set edits may follow in the same run.\n"
     "\n"
     "Without --set, prints the steps of pattern or song phrase N as the pattern\n"
     "and song editors show them: a header line, then one step a line (number,\n"
     "phrase, volume and interval, or start), joined by tabs. A pattern shows 100\n"
     "steps, 128 in RANDOM2 and RANDOM3 (steps 101..128 are the interrupt phrases).\n"
     "\n"
     "--set edits one step (repeatable); the data file is written, then the\n"
     "phrase settings are saved:\n"
     "  WQ-7000 pattern  STEP=REF[,VOLUME][,INTERVAL]   e.g. 3=A0012,80%,01.5s\n"
     "  WQ-5000 pattern  STEP=REF[,INTERVAL]            e.g. 3=B002,12.0\n"
     "  song             STEP=REF[,START]               e.g. 1=A0001,00h00m05s00f\n"
     "REF is A<n> or B<n>, - for none, and for songs also stop. VOLUME is 0..100,\n"
     "INTERVAL 0.0..59.9 seconds, START a time code at the card's MTC type.\n"
     "Omitted values keep the step's own. Interrupt steps have no interval.\n"
     "Songs are stored sorted by start time. A RANDOM2 or RANDOM3 pattern left\n"
     "without any interrupt phrase is corrected to RANDOM1.\n",
     runPattern});

}  // namespace

}  // namespace wqe::cli
