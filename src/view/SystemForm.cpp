#include "view/SystemForm.h"

#include <cstdio>

#include "card/NameFilter.h"
#include "card/TextCodec.h"

namespace wqe {

namespace {

std::vector<std::string> offOn(Language lang) {
    return {pick(lang, "OFF", "ｵﾌ"), pick(lang, "ON", "ｵﾝ")};
}

SystemField fieldOf(FormList list) {
    switch (list) {
        case FormList::DualMonoMode:
            return SystemField::DualMonoMode;
        case FormList::OutputVolumeThru:
            return SystemField::OutputVolumeThru;
        case FormList::CardProtect:
            return SystemField::CardProtect;
        case FormList::DisplaySleep:
            return SystemField::DisplaySleepSwitch;
        case FormList::WqLinkMode:
            return SystemField::WqLinkMode;
        case FormList::BaudRate:
            return SystemField::BaudRate;
    }
    return SystemField::DualMonoMode;
}

int itemCount(FormList list) {
    switch (list) {
        case FormList::DisplaySleep:
            return kDisplaySleepItems;
        case FormList::WqLinkMode:
            return 3;
        case FormList::BaudRate:
            return 4;
        default:
            return 2;
    }
}

}  // namespace

std::vector<std::string> formListItems(FormList list, Language lang) {
    switch (list) {
        case FormList::DualMonoMode:
        case FormList::OutputVolumeThru:
        case FormList::CardProtect:
            return offOn(lang);
        case FormList::DisplaySleep: {
            std::vector<std::string> items;
            items.reserve(kDisplaySleepItems);
            items.emplace_back(pick(lang, "OFF", "ｵﾌ"));
            for (int s = kDisplaySleepFirstSeconds; s <= kDisplaySleepLastSeconds; ++s) {
                char text[16];
                std::snprintf(text, sizeof text, "%02dm%02ds", s / 60, s % 60);
                items.emplace_back(text);
            }
            return items;
        }
        case FormList::WqLinkMode:
            return {pick(lang, "OFF", "ｵﾌ"), pick(lang, "MASTER", "ﾏｽﾀｰ"),
                    pick(lang, "SLAVE", "ｽﾚｰﾌﾞ")};
        case FormList::BaudRate:
            return {"4800", "9600", "19200", "38400"};
    }
    return {};
}

int formListInitialSelection(FormList list) { return list == FormList::BaudRate ? 1 : 0; }

bool formListExists(FormList list, Model m) {
    return m == Model::WQ7000 || (list != FormList::OutputVolumeThru &&
                                  list != FormList::DisplaySleep && list != FormList::WqLinkMode);
}

bool formHasWq7000Controls(Model m) { return m == Model::WQ7000; }

int displaySleepListPosition(int sleepSwitch, int sleepTime) {
    if (sleepSwitch == 0) return 0;
    if (sleepTime < kDisplaySleepFirstSeconds || sleepTime > kDisplaySleepLastSeconds) return -1;
    return displaySleepPosition(sleepSwitch, sleepTime);
}

int formListPosition(const CWQEDoc& doc, FormList list) {
    if (!formListExists(list, doc.model())) return -1;
    const CWQESys& sys = doc.sys();
    if (list == FormList::DisplaySleep) {
        return displaySleepListPosition(sys.getDisplaySleepSwitch(), sys.getDisplaySleepTime());
    }
    const int value = sys.get(fieldOf(list));
    return value >= 0 && value < itemCount(list) ? value : -1;
}

void applyFormListPosition(CWQEDoc& doc, FormList list, int index) {
    if (!doc.isLoaded() || !formListExists(list, doc.model())) return;
    if (index < 0 || index >= itemCount(list)) return;
    CWQESys& sys = doc.sys();
    if (list == FormList::DisplaySleep) {
        int sleepSwitch = 0, sleepTime = 0;
        displaySleepFromPosition(index, sleepSwitch, sleepTime);
        sys.setDisplaySleepSwitch(sleepSwitch);
        sys.setDisplaySleepTime(sleepTime);
    } else {
        sys.set(fieldOf(list), index);
    }
    doc.markModified(true);
}

std::string systemFolderText(const CWQEDoc& doc, const std::string& currentFolder) {
    const std::string folder = doc.folderPrefix();
    return folder.empty() ? currentFolder : folder;
}

std::string phraseCountText(const CWQEDoc& doc) { return std::to_string(doc.phraseCount()); }

std::string cardNameText(const CWQEDoc& doc) { return cp932ToUtf8(doc.sys().getCardName()); }

std::string cardNameForStore(std::string_view filteredBytes) {
    std::string name(filteredBytes.substr(0, kCardNameLength));
    name.resize(kCardNameLength, ' ');
    return name;
}

std::string applyCardNameEdit(CWQEDoc& doc, std::string_view typedUtf8) {
    const std::string kept = filterNameText(typedUtf8).substr(0, kCardNameLength);
    if (doc.isLoaded()) {
        doc.sys().setCardName(cardNameForStore(kept));
        doc.markModified(true);
    }
    return cp932ToUtf8(kept);
}

std::string systemMemoText(const CWQEDoc& doc) { return cp932ToUtf8(doc.memo().systemMemo()); }

std::string memoFromControl(std::string_view text) {
    std::string lf;
    lf.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lf.push_back(text[i]);
    }
    lf.push_back('\n');
    std::string out;
    out.reserve(lf.size());
    for (std::size_t i = 0; i < lf.size(); ++i) {
        out.push_back(lf[i]);
        if (lf[i] == '\n' && i + 1 < lf.size() && lf[i + 1] == '\n') ++i;
    }
    return out;
}

std::string utf8ToCp932Replacing(std::string_view utf8) { return utf8ToCp932Lossy(utf8, "?"); }

void applySystemMemoEdit(CWQEDoc& doc, std::string_view typedUtf8) {
    if (!doc.isLoaded()) return;
    doc.memo().setSystemMemo(memoFromControl(utf8ToCp932Replacing(typedUtf8)));
    doc.markModified(true);
}

}  // namespace wqe
