#include "dialogs/PatternEdit.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "card/FileIO.h"
#include "card/PhrasePrm.h"
#include "timecode/CConvert.h"

namespace wqe {

namespace {

// Interrupt step byte values are 1-based row numbers.
constexpr int kFirstInterruptRow = kPatternMainSteps;
// WQ-7000 record bytes 64..70 hold nothing this editor names; a new phrase
// starts with them cleared, as an erased record has them.
constexpr std::size_t kClearedBytesFirst7000 = 64;
constexpr std::size_t kClearedBytesEnd7000 = 71;
// WQ-5000 record byte 1: cleared for a new phrase.
constexpr std::size_t kClearedByte5000 = 1;

// Format, sizes and settings of a new pattern or song phrase.
constexpr std::uint32_t kNewGrade7000 = 3;  // STANDARD
constexpr std::uint32_t kNewMode7000 = 3;   // MODE3
constexpr std::uint32_t kNewRecordingType7000 = 1;
constexpr std::uint32_t kNewVolume7000 = 100;
constexpr std::uint32_t kNewPatternMode5000 = 1;  // SEQUENCE
constexpr std::uint32_t kNewPlayCount7000 = 1;    // byte 61

std::string formatted(const char* fmt, int n) {
    char text[32];
    std::snprintf(text, sizeof text, fmt, n);
    return text;
}

}  // namespace

// ---------------------------------------------------------------------------
// "Phrase to make"

MakePhraseLayout makePhraseLayout(Model m, MakePreset preset) {
    MakePhraseLayout layout;
    switch (preset) {
        case MakePreset::None:
            layout.title = "Phrase to make";
            layout.songEnabled = m == Model::WQ7000;
            break;
        case MakePreset::Pattern:
            layout.title = "Preparation of Phrase";
            layout.showSong = false;
            break;
        case MakePreset::Song:
            layout.title = "Preparation of Phrase";
            layout.showPattern = false;
            layout.songChecked = true;
            break;
    }
    return layout;
}

PatternKind madeKind(Model m, bool song) {
    if (m == Model::WQ5000) return PatternKind::Pattern5000;
    return song ? PatternKind::Song : PatternKind::Pattern7000;
}

std::string defaultPhraseName(const CWQEDoc& doc, int index) {
    std::string name = doc.sys().getCardName().substr(0, kCardNameLength);
    name += formatted("%03d", index + 1);
    name.resize(std::max(name.size(), phraseNameLength(doc.model())), ' ');
    return name;
}

void setNewPhraseRecord(CWQEDoc& doc, int i, PatternKind kind) {
    CWQEPhr& phr = doc.phr();
    const std::uint32_t fileLength = static_cast<std::uint32_t>(patternBlockSize(kind));
    for (PhraseField f :
         {PhraseField::Length, PhraseField::StartPoint, PhraseField::EndPoint, PhraseField::Delay})
        phr.set(i, f, 0);
    phr.setDataFileLength(i, fileLength);
    if (doc.model() == Model::WQ5000) {
        phr.setUsed(i, 1);
        for (PhraseField f :
             {PhraseField::Grade, PhraseField::Mode, PhraseField::RecordingType,
              PhraseField::MidiFlag, PhraseField::Volume, PhraseField::Tempo, PhraseField::Tempo2})
            phr.set(i, f, 0);
        phr.setPatternMode(i, kNewPatternMode5000);
        phr.setControlOutput(i, kSecondsOff5000);
        phr.setRepeat(i, kSecondsOff5000);
        if (auto rec = phr.record(i); !rec.empty()) rec[kClearedByte5000] = 0;
    } else {
        phr.setType(i, kind == PatternKind::Song ? kTypeSong : kTypePattern);
        phr.setGrade(i, kNewGrade7000);
        phr.setMode(i, kNewMode7000);
        phr.setRecordingType(i, kNewRecordingType7000);
        phr.setVolume(i, kNewVolume7000);
        for (PhraseField f :
             {PhraseField::Loop1Point, PhraseField::Loop2Point, PhraseField::PatternMode,
              PhraseField::ControlOutputSwitch, PhraseField::ControlOutputTime,
              PhraseField::RepeatSwitch, PhraseField::RepeatCount, PhraseField::RepeatInterval,
              PhraseField::LoopSwitch, PhraseField::LoopCount, PhraseField::FadeIn,
              PhraseField::FadeOut})
            phr.set(i, f, 0);
        phr.setRegistered(i, kNewPlayCount7000);
        phr.setTempo(i, kTempoByteRegistered);
        phr.setTempo2(i, kTempoByteRegistered);
        if (auto rec = phr.record(i); !rec.empty())
            std::fill(rec.begin() + kClearedBytesFirst7000, rec.begin() + kClearedBytesEnd7000, 0);
    }
    phr.setName(i, defaultPhraseName(doc, i));
}

std::filesystem::path patternDataPath(const CWQEDoc& doc, int index) {
    const std::filesystem::path folder = std::filesystem::path(doc.systemPath()).parent_path();
    return findCardFile(folder, phraseDataFileName("", index, "PHR"));
}

Status makeNewPhrase(CWQEDoc& doc, int index, PatternKind kind, FileSystem& fsys) {
    const std::filesystem::path path = patternDataPath(doc, index);
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (ec) return errorFromCode(ec, path, "cannot be looked up", ErrorKind::ReadFailed);
    if (exists)
        return Error{ErrorKind::AlreadyExists, path.string(),
                     "a data file of this phrase number is already there (register it with "
                     "Cleanup or delete it first); it was left as it is"};
    if (Status s = writeFileAtomic(fsys, path, patternFileBytes(PatternData(kind))); !s) return s;
    doc.edit(kind == PatternKind::Song ? "Song Phrase" : "Pattern Phrase",
             [&] { setNewPhraseRecord(doc, index, kind); });
    return {};
}

Status discardNewPhrase(CWQEDoc& doc, int index, FileSystem& fsys) {
    const std::filesystem::path path = patternDataPath(doc, index);
    doc.edit("Erase Phrase", [&] { doc.phr().erase(index); });
    if (Status s = fsys.remove(path); !s && s.error().kind != ErrorKind::NotFound) return s;
    return {};
}

// ---------------------------------------------------------------------------
// The step editor

std::optional<PatternKind> editorKindOf(const CWQEDoc& doc, int index) {
    if (!doc.isLoaded() || index < 0 || index >= doc.phraseCount()) return std::nullopt;
    switch (CPhrasePrm::create(doc.phr(), index)->kind()) {
        case kTypePattern:
            return doc.model() == Model::WQ7000 ? PatternKind::Pattern7000
                                                : PatternKind::Pattern5000;
        case kTypeSong:
            return PatternKind::Song;
        default:
            return std::nullopt;
    }
}

int patternModeIndexOf(const CWQEDoc& doc, int index) {
    const int mode = static_cast<int>(doc.phr().getPatternMode(index));
    return doc.model() == Model::WQ7000 ? mode : mode - 1;
}

PatternEditor::PatternEditor(const PatternData& data, int patternModeIndex,
                             std::uint8_t playCountByte)
    : data_(data), patternModeIndex_(patternModeIndex), playCountByte_(playCountByte) {
    if (isSong()) {
        for (const SongStep& s : data_.songSteps()) rows_.push_back({s.ref, 100, 0, s.startMs});
        return;
    }
    const int count = usesInterrupts() ? kPatternAllSteps : kPatternMainSteps;
    for (int r = 0; r < count; ++r)
        rows_.push_back({data_.stepRef(r), data_.stepVolume(r), data_.stepInterval(r), 0});
}

void PatternEditor::setRow(int r, const EditorRow& value) {
    if (r < 0 || r >= rowCount()) return;
    rows_[static_cast<std::size_t>(r)] = value;
    if (isInterruptRow(r)) rows_[static_cast<std::size_t>(r)].interval = 0;
}

bool PatternEditor::isInterruptRow(int r) const {
    return !isSong() && r >= kFirstInterruptRow && r < rowCount();
}

std::pair<int, int> PatternEditor::blockOf(int r) const {
    if (isInterruptRow(r)) return {kFirstInterruptRow, rowCount() - 1};
    return {0, std::min(rowCount(), kPatternMainSteps) - 1};
}

void PatternEditor::insertRow(int r) {
    if (r < 0 || r >= rowCount()) return;
    const auto [first, last] = blockOf(r);
    (void)first;
    std::shift_right(rows_.begin() + r, rows_.begin() + last + 1, 1);
    rows_[static_cast<std::size_t>(r)] = EditorRow{};
}

void PatternEditor::deleteRow(int r) {
    if (r < 0 || r >= rowCount()) return;
    const int last = blockOf(r).second;
    std::shift_left(rows_.begin() + r, rows_.begin() + last + 1, 1);
    rows_[static_cast<std::size_t>(last)] = EditorRow{};
}

void PatternEditor::clearBlock(int r) {
    if (r < 0 || r >= rowCount()) return;
    const auto [first, last] = blockOf(r);
    std::fill(rows_.begin() + first, rows_.begin() + last + 1, EditorRow{});
}

bool PatternEditor::playCountEnabled() const { return playCountShown() && usesInterrupts(); }

int PatternEditor::playCountPosition() const {
    if (playCountByte_ == 0) return 0;
    return playCountByte_ <= kPlayCountItems ? playCountByte_ - 1 : -1;
}

std::uint8_t PatternEditor::playCountByte(int pos) const {
    if (pos < 0 || pos >= kPlayCountItems || pos == playCountPosition()) return playCountByte_;
    return static_cast<std::uint8_t>(pos + 1);
}

PatternData PatternEditor::stored(int selectedRow) const {
    PatternData out = data_;
    if (isSong()) {
        std::vector<SongStep> steps;
        for (const EditorRow& row : rows_) steps.push_back({row.ref, row.startMs});
        out.storeSongSteps(std::move(steps));
        return out;
    }
    for (int r = 0; r < rowCount(); ++r) {
        const EditorRow& row = rows_[static_cast<std::size_t>(r)];
        out.setStepRef(r, row.ref);
        out.setStepVolume(r, row.volume);
        if (!isInterruptRow(r)) out.setStepInterval(r, row.interval);
    }
    if (usesInterrupts())
        out.setInterruptStep(
            isInterruptRow(selectedRow) ? static_cast<std::uint8_t>(selectedRow + 1) : 0);
    return out;
}

// ---------------------------------------------------------------------------
// Step dialog and start-point chooser conversions

PhraseChooser stepPhraseChooser(Model m) { return PhraseChooser{m, false, highestPhraseCount(m)}; }

int stepPhrasePosition(Model m, std::uint16_t stepRef) {
    if (stepRef == kStepUnused) return 0;
    return stepRef < 2 * highestPhraseCount(m) ? stepPhraseChooser(m).position(stepRef) : -1;
}

std::uint16_t stepRefAt(Model m, int pos, std::uint16_t current) {
    if (pos < 0) return current;
    const std::uint16_t ref = stepPhraseChooser(m).valueAt(pos, refNone(m));
    return ref < 2 * highestPhraseCount(m) ? ref : kStepUnused;
}

std::vector<std::string> stepVolumeItems() {
    std::vector<std::string> items;
    for (int v = 0; v <= kMaxStepVolume; ++v) items.push_back(formatted("%d%%", v));
    return items;
}

std::vector<std::string> stepIntervalItems() {
    std::vector<std::string> items;
    for (int t = 0; t <= kMaxStepInterval; ++t) {
        char text[32];
        std::snprintf(text, sizeof text, "%02d.%01ds", t / 10, t % 10);
        items.emplace_back(text);
    }
    return items;
}

StartPoint startPointOfRow(const EditorRow& row, int mtcType) {
    StartPoint point;
    if (row.ref == kStepUnused) return point;
    // Every value below the unused one that is no phrase is the song's Stop.
    point.ref = row.ref < 2 * kHighestPhraseCount7000 ? row.ref : kStartPointStop;
    const TimeCode tc = CConvert::MsToTimeCode(row.startMs, mtcType);
    point.time = {tc.hours, tc.minutes, tc.seconds, tc.frames};
    return point;
}

EditorRow rowOfStartPoint(const StartPoint& point, int mtcType) {
    EditorRow row;
    if (point.ref == kStartPointNone) return row;
    row.ref = point.ref < 2 * kHighestPhraseCount7000 ? point.ref : kSongStop;
    row.startMs =
        CConvert::PackedToMs(static_cast<std::uint8_t>(point.time.hours),
                             packTimeCode(static_cast<std::uint8_t>(point.time.minutes),
                                          static_cast<std::uint8_t>(point.time.seconds),
                                          static_cast<std::uint8_t>(point.time.frames), 0),
                             mtcType);
    return row;
}

// ---------------------------------------------------------------------------
// The flow's ENTER

StoreResult storeEditedSteps(CWQEDoc& doc, int index, const PatternData& data,
                             std::optional<std::uint8_t> playCountByte, FileSystem& fsys) {
    StoreResult result;
    const std::filesystem::path path = patternDataPath(doc, index);
    if (Status written = writePatternFile(path, data, fsys); !written) {
        result.status = written.error();
        return result;
    }
    const Model model = doc.model();
    doc.edit(data.isSong() ? "Song Phrase" : "Pattern Phrase", [&] {
        if (data.kind() == PatternKind::Pattern7000 && playCountByte &&
            *playCountByte != doc.phr().getRegistered(index))
            doc.phr().setRegistered(index, *playCountByte);
        const int mode = static_cast<int>(doc.phr().getPatternMode(index));
        if (!data.isSong() && patternModeUsesInterrupts(model, mode) &&
            !data.hasInterruptPhrase()) {
            doc.phr().setPatternMode(index, static_cast<std::uint32_t>(patternModeRandom1(model)));
            result.interruptCorrected = true;
        }
    });
    return result;
}

}  // namespace wqe
