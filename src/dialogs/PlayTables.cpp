#include "dialogs/PlayTables.h"

#include <algorithm>

namespace wqe {

namespace {

template <std::size_t N>
std::vector<std::uint16_t> toVector(const std::array<std::uint16_t, N>& a) {
    return {a.begin(), a.end()};
}

}  // namespace

PlayTable PlayTable::read(const CWQESys& sys, TableKind kind, int program) {
    PlayTable t;
    t.kind = kind;
    t.program = program;
    t.model = sys.model();
    switch (kind) {
        case TableKind::DirectPlay:
            t.refs = toVector(sys.getDirectPlayTable());
            break;
        case TableKind::ProgramPlay:
            t.refs = toVector(sys.getProgramPlayTable(program));
            break;
        case TableKind::NoteMap:
            t.refs = toVector(sys.getNoteMap());
            break;
    }
    return t;
}

void PlayTable::store(CWQESys& sys) const {
    switch (kind) {
        case TableKind::DirectPlay:
            if (refs.size() == kDirectPlayEntries)
                sys.setDirectPlayTable(std::span<const std::uint16_t, kDirectPlayEntries>(
                    refs.data(), kDirectPlayEntries));
            break;
        case TableKind::ProgramPlay:
            if (refs.size() == kProgramPlayEntries)
                sys.setProgramPlayTable(program,
                                        std::span<const std::uint16_t, kProgramPlayEntries>(
                                            refs.data(), kProgramPlayEntries));
            break;
        case TableKind::NoteMap:
            if (refs.size() == kNoteMapEntries)
                sys.setNoteMap(
                    std::span<const std::uint16_t, kNoteMapEntries>(refs.data(), kNoteMapEntries));
            break;
    }
}

std::string PlayTable::label(int entry) const {
    return kind == TableKind::NoteMap ? noteName(entry) : std::to_string(entry + 1);
}

std::string PlayTable::refText(int entry) const {
    if (entry < 0 || entry >= static_cast<int>(refs.size())) return {};
    return formatRef(refs[static_cast<std::size_t>(entry)], model);
}

void PlayTable::resetA() {
    for (std::size_t k = 0; k < refs.size(); ++k) refs[k] = static_cast<std::uint16_t>(k);
}

void PlayTable::resetB() {
    const int base = highestPhraseCount(model);
    for (std::size_t k = 0; k < refs.size(); ++k) refs[k] = static_cast<std::uint16_t>(base + k);
}

void PlayTable::clear() { std::fill(refs.begin(), refs.end(), refNone(model)); }

void PlayTable::insertAt(int s) {
    if (!tableHasInsertDelete(kind) || s < 0 || s >= static_cast<int>(refs.size())) return;
    std::move_backward(refs.begin() + s, refs.end() - 1, refs.end());
    refs[static_cast<std::size_t>(s)] = refNone(model);
}

void PlayTable::deleteAt(int s) {
    if (!tableHasInsertDelete(kind) || s < 0 || s >= static_cast<int>(refs.size())) return;
    std::move(refs.begin() + s + 1, refs.end(), refs.begin() + s);
    refs.back() = refNone(model);
}

PhraseChooser PlayTable::chooser(int phraseCountCode) const {
    return {model, kind == TableKind::DirectPlay, chooserHighestPhrase(phraseCountCode, model)};
}

std::string noteName(int note) {
    static constexpr const char* kPitch[] = {"C ", "C#", "D ", "D#", "E ", "F ",
                                             "F#", "G ", "G#", "A ", "A#", "B "};
    if (note < 0 || note >= kNoteMapEntries) return {};
    const int octave = note / 12 - 1;
    std::string name = kPitch[note % 12];
    name += octave < 0 ? std::string("-") : std::to_string(octave);
    return name;
}

}  // namespace wqe
