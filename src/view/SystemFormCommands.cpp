#include "view/SystemFormCommands.h"

namespace wqe {

namespace {

bool hasRow(const CWQEDoc& doc, int selected) {
    return doc.isLoaded() && selected >= 0 && selected < doc.phraseCount();
}

bool isMidi5000(const CWQEDoc& doc, int i) { return doc.phr().getMidiFlag(i) == 1; }

}  // namespace

bool isPhraseCommandEnabled(const CWQEDoc& doc, int selected, PhraseCommand command) {
    if (!hasRow(doc, selected)) return false;
    const CWQEPhr& phr = doc.phr();
    const bool used = phr.isUsed(selected);
    const bool w7 = doc.model() == Model::WQ7000;
    switch (command) {
        case PhraseCommand::Setup:
        case PhraseCommand::Delete:
            return used;
        case PhraseCommand::Copy:
            return !used;
        case PhraseCommand::Pattern:
            if (!used) return true;
            if (w7) return phr.getType(selected) == kTypePattern;
            return !isMidi5000(doc, selected) && phr.getPatternMode(selected) != 0;
        case PhraseCommand::Song:
            return w7 && (!used || phr.getType(selected) == kTypeSong);
    }
    return false;
}

std::optional<PhraseContextMenu> phraseContextMenu(const CWQEDoc& doc, int selected) {
    if (!hasRow(doc, selected)) return std::nullopt;
    const CWQEPhr& phr = doc.phr();
    const bool w7 = doc.model() == Model::WQ7000;
    auto menu = [](int id, std::initializer_list<PhraseCommand> on) {
        PhraseContextMenu m;
        m.menuId = id;
        for (PhraseCommand c : on) m.enabled[static_cast<std::size_t>(c)] = true;
        return m;
    };
    using enum PhraseCommand;
    if (!phr.isUsed(selected))
        return w7 ? menu(133, {Copy, Pattern, Song}) : menu(161, {Copy, Pattern});
    if (w7) {
        switch (phr.getType(selected)) {
            case kTypePattern:
                return menu(131, {Setup, Delete, Pattern});
            case kTypeSong:
                return menu(132, {Setup, Delete, Song});
            default:
                return menu(130, {Setup, Delete});
        }
    }
    if (!isMidi5000(doc, selected) && phr.getPatternMode(selected) != 0) {
        return menu(131, {Setup, Delete, Pattern});
    }
    return menu(130, {Setup, Delete});
}

DoubleClickAction doubleClickAction(const CWQEDoc& doc, int selected) {
    if (!hasRow(doc, selected)) return DoubleClickAction::None;
    return doc.phr().isUsed(selected) ? DoubleClickAction::PhraseSetup
                                      : DoubleClickAction::MakePhrase;
}

}  // namespace wqe
