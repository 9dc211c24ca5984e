#include "dialogs/SystemDialogs.h"

#include <cstdio>
#include <optional>

namespace wqe {

namespace {

using F = DialogField;

constexpr DialogField kLineThru[] = {F::LineThru, F::LineThruVolume, F::FadeIn, F::FadeOut};
constexpr DialogField kEqualizer[] = {F::EqSwitch,   F::EqLowFreq,  F::EqLowGain,
                                      F::EqHighFreq, F::EqHighGain, F::EqAttenuation};
constexpr DialogField kBusyOut[] = {F::BusyDelay, F::BusyPlayback, F::BusyInterval};
constexpr DialogField kControlInput[] = {F::ControlInputSelect, F::BinaryTrigger, F::TerminalRec};
constexpr DialogField kMidi[] = {F::MidiOutput,  F::DeviceId,     F::Channel,
                                 F::NoteTrigger, F::MmcMode,      F::RxVelocity,
                                 F::RxPanpot,    F::RxExpression, F::NoteOut};
constexpr DialogField kMtc[] = {F::SyncSource, F::SyncOut, F::MtcType, F::ErrorLevel};

// Fades: 5..599 tenths of a second listed from position 0.
constexpr int kFadeFirst = 5, kFadeLast = 599;
constexpr int kGainItems = 25, kAttenuationItems = 13, kGainZero = 12;
constexpr int kDeviceIds = 32, kChannels = 16;

// A list or check box that stands for one byte of the record: position =
// stored value - first.
struct Plain {
    SystemField field;
    int first = 0;
};

bool w7(Model m) { return m == Model::WQ7000; }

// The record field a dialog field stands for one to one; nullopt for the
// combined fields (the WQ-7000 control input pair and binary trigger, the
// WQ-5000 busy out code).
std::optional<Plain> plainField(DialogField f, Model m) {
    switch (f) {
        case F::LineThru:
            return Plain{SystemField::LineThru};
        case F::LineThruVolume:
            return Plain{SystemField::LineThruVolume};
        case F::FadeIn:
            return Plain{SystemField::LineThruFadeIn, kFadeFirst};
        case F::FadeOut:
            return Plain{SystemField::LineThruFadeOut, kFadeFirst};
        case F::EqSwitch:
            return Plain{SystemField::EqSwitch};
        case F::EqLowFreq:
            return Plain{SystemField::EqLowFreq};
        case F::EqLowGain:
            return Plain{SystemField::EqLowGain};
        case F::EqHighFreq:
            return Plain{SystemField::EqHighFreq};
        case F::EqHighGain:
            return Plain{SystemField::EqHighGain};
        case F::EqAttenuation:
            return Plain{SystemField::EqAttenuation};
        case F::BusyDelay:
            return w7(m) ? std::optional(Plain{SystemField::BusyOutDelay}) : std::nullopt;
        case F::BusyPlayback:
            return Plain{SystemField::BusyOutPlayback};
        case F::BusyInterval:
            return w7(m) ? std::optional(Plain{SystemField::BusyOutInterval}) : std::nullopt;
        case F::ControlInputSelect:
            return w7(m) ? std::nullopt : std::optional(Plain{SystemField::ControlInputSelect});
        case F::BinaryTrigger:
            return w7(m) ? std::nullopt : std::optional(Plain{SystemField::BinaryTrigger});
        case F::TerminalRec:
            return Plain{SystemField::TerminalRecordingInput};
        case F::MidiOutput:
            return Plain{SystemField::MidiOutput};
        case F::DeviceId:
            return Plain{SystemField::DeviceId, 1};
        case F::Channel:
            return Plain{SystemField::MidiChannel};
        case F::NoteTrigger:
            return Plain{SystemField::NoteTrigger};
        case F::MmcMode:
            return Plain{SystemField::MmcMode};
        case F::RxVelocity:
            return Plain{SystemField::RxVelocity};
        case F::RxPanpot:
            return Plain{SystemField::RxPanpot};
        case F::RxExpression:
            return Plain{SystemField::RxExpression};
        case F::NoteOut:
            return Plain{SystemField::NoteOut};
        case F::SyncSource:
            return Plain{SystemField::MtcSyncSource};
        case F::SyncOut:
            return Plain{SystemField::MtcSyncOut};
        case F::MtcType:
            return Plain{SystemField::MtcType};
        case F::ErrorLevel:
            return Plain{SystemField::MtcErrorLevel};
    }
    return std::nullopt;
}

std::string format(const char* fmt, int a, int b = 0) {
    char text[32];
    std::snprintf(text, sizeof text, fmt, a, b);
    return text;
}

std::vector<std::string> offOn(Language lang) {
    return {pick(lang, "OFF", "ｵﾌ"), pick(lang, "ON", "ｵﾝ")};
}

std::vector<std::string> decibels(int count) {
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i) items.push_back(format("%ddB", i - kGainZero));
    return items;
}

// The WQ-7000 "Control Input Select:" item of a (mode, direct playback kind)
// pair: (0, k) -> k for k = 0..3, (m, 0) -> m + 3 for m = 1..3; -1 otherwise.
int controlInputPosition7000(int mode, int kind) {
    if (mode == 0 && kind >= 0 && kind <= 3) return kind;
    if (mode >= 1 && mode <= 3 && kind == 0) return mode + 3;
    return -1;
}

int itemCount(DialogField f, Model m) {
    return static_cast<int>(dialogFieldItems(f, m, Language::English).size());
}

int checkState(int value) { return value == 0 || value == 1 ? value : -1; }

}  // namespace

std::span<const DialogField> dialogFields(SysDialog d) {
    switch (d) {
        case SysDialog::LineThru:
            return kLineThru;
        case SysDialog::Equalizer:
            return kEqualizer;
        case SysDialog::BusyOut:
            return kBusyOut;
        case SysDialog::ControlInput:
            return kControlInput;
        case SysDialog::Midi:
            return kMidi;
        case SysDialog::Mtc:
            return kMtc;
    }
    return {};
}

bool isCheckField(DialogField f) {
    switch (f) {
        case F::BusyDelay:
        case F::BusyPlayback:
        case F::BusyInterval:
        case F::RxVelocity:
        case F::RxPanpot:
        case F::RxExpression:
        case F::NoteOut:
            return true;
        default:
            return false;
    }
}

bool dialogFieldExists(DialogField f, Model m) {
    if (const auto plain = plainField(f, m)) return systemFieldInfo(plain->field).exists(m);
    // The combined fields exist on the model they are combined for.
    return true;
}

std::vector<std::string> dialogFieldItems(DialogField f, Model m, Language lang) {
    switch (f) {
        case F::LineThru:
            if (w7(m)) return offOn(lang);
            return {pick(lang, "Mute", "ﾐｭｰﾄ"), pick(lang, "Mix", "ﾐｯｸｽ"), pick(lang, "OFF", "ｵﾌ")};
        case F::LineThruVolume: {
            std::vector<std::string> items;
            for (int v = 0; v <= 100; ++v) items.push_back(format("%d%%", v));
            return items;
        }
        case F::FadeIn:
        case F::FadeOut: {
            std::vector<std::string> items;
            for (int v = kFadeFirst; v <= kFadeLast; ++v)
                items.push_back(format("%01d.%ds", v / 10, v % 10));
            return items;
        }
        case F::EqSwitch:
            return offOn(lang);
        case F::EqLowFreq:
            return {"200Hz", "400Hz"};
        case F::EqHighFreq:
            return {"3KHz", "6KHz"};
        case F::EqLowGain:
        case F::EqHighGain:
            return decibels(kGainItems);
        case F::EqAttenuation:
            return decibels(kAttenuationItems);
        case F::ControlInputSelect:
            if (w7(m)) {
                return {pick(lang, "Direct Playback(Normal)", "ﾀﾞｲﾚｸﾄ(通常)"),
                        pick(lang, "Direct Playback(First-In)", "ﾀﾞｲﾚｸﾄ(先優先)"),
                        pick(lang, "Direct Playback(Last-In)", "ﾀﾞｲﾚｸﾄ(後優先)"),
                        pick(lang, "Direct Playback(Sequence)", "ﾀﾞｲﾚｸﾄ(順次)"),
                        pick(lang, "Program Playback", "ｶｳﾝﾄ再生"),
                        pick(lang, "Binary Playback", "ﾊﾞｲﾅﾘ再生"),
                        pick(lang, "Terminal Recording", "制御端子録音")};
            }
            return {pick(lang, "Direct Playback(Normal)", "ﾀﾞｲﾚｸﾄ(通常)"),
                    pick(lang, "Direct Playback(Last-IN)", "ﾀﾞｲﾚｸﾄ(後優先)"),
                    pick(lang, "Direct Playback(Sequence)", "ﾀﾞｲﾚｸﾄ(順次)"),
                    pick(lang, "Program Playback", "ｶｳﾝﾄ再生"),
                    pick(lang, "Binary Playback", "ﾊﾞｲﾅﾘ再生")};
        case F::BinaryTrigger:
            if (w7(m)) {
                return {pick(lang, "Level:OFF,Edge:OFF", "ﾚﾍﾞﾙ:ｵﾌ, ｴｯｼﾞ:ｵﾌ"),
                        pick(lang, "Level:ON,Edge:OFF", "ﾚﾍﾞﾙ:ｵﾝ, ｴｯｼﾞ:ｵﾌ"),
                        pick(lang, "Level:OFF,Edge:ON", "ﾚﾍﾞﾙ:ｵﾌ, ｴｯｼﾞ:ｵﾝ"),
                        pick(lang, "Level:ON,Edge:ON", "ﾚﾍﾞﾙ:ｵﾝ, ｴｯｼﾞ:ｵﾝ")};
            }
            return {pick(lang, "Level", "ﾚﾍﾞﾙ"), pick(lang, "Edge", "ｴｯｼﾞ")};
        case F::TerminalRec:
            if (w7(m)) return {pick(lang, "Binary 1", "ﾊﾞｲﾅﾘ1"), pick(lang, "Binary 2", "ﾊﾞｲﾅﾘ2")};
            return {std::string()};
        case F::MidiOutput:
            return {"OUT", "THRU"};
        case F::DeviceId: {
            std::vector<std::string> items;
            for (int id = 1; id <= kDeviceIds; ++id) items.push_back(format("%d", id));
            return items;
        }
        case F::Channel: {
            std::vector<std::string> items{pick(lang, "OFF", "ｵﾌ")};
            for (int ch = 1; ch <= kChannels; ++ch) items.push_back(format("%dch", ch));
            items.emplace_back("ALL");
            return items;
        }
        case F::NoteTrigger:
            return {pick(lang, "Trigger", "ﾄﾘｶﾞ"), pick(lang, "Gate", "ｹﾞｰﾄ")};
        case F::MmcMode:
            return {pick(lang, "OFF", "ｵﾌ"), pick(lang, "MASTER", "ﾏｽﾀｰ"),
                    pick(lang, "SLAVE", "ｽﾚｰﾌﾞ")};
        case F::SyncSource:
            return {pick(lang, "INTERNAL", "ｲﾝﾀｰﾅﾙ"), "MTC"};
        case F::SyncOut:
            return {pick(lang, "OFF", "ｵﾌ"), "MTC"};
        case F::MtcType:
            return {"30", "29N", "29D", "25", "24"};
        case F::ErrorLevel: {
            std::vector<std::string> items;
            for (int v = 0; v <= 10; ++v) items.push_back(format("%d", v));
            return items;
        }
        default:
            return {};
    }
}

int dialogFieldValue(const CWQESys& sys, DialogField f) {
    const Model m = sys.model();
    if (!dialogFieldExists(f, m)) return isCheckField(f) ? 0 : -1;
    if (const auto plain = plainField(f, m)) {
        const int value = sys.get(plain->field) - plain->first;
        if (isCheckField(f)) return checkState(value);
        return value >= 0 && value < itemCount(f, m) ? value : -1;
    }
    switch (f) {
        case F::ControlInputSelect:
            return controlInputPosition7000(sys.getControlInputMode(), sys.getDirectPlaybackKind());
        case F::BinaryTrigger: {
            const int level = sys.getBinaryTriggerLevel(), edge = sys.getBinaryTriggerEdge();
            return checkState(level) >= 0 && checkState(edge) >= 0 ? level + 2 * edge : -1;
        }
        case F::BusyDelay:
        case F::BusyInterval: {
            bool delay = false, interval = false;
            if (!busyOutFromCode(sys.getBusyOutCode(), delay, interval)) return -1;
            return (f == F::BusyDelay ? delay : interval) ? 1 : 0;
        }
        default:
            return -1;
    }
}

DialogValues readDialog(const CWQESys& sys, SysDialog d) {
    DialogValues values;
    for (DialogField f : dialogFields(d)) values[f] = dialogFieldValue(sys, f);
    return values;
}

void storeDialog(CWQESys& sys, SysDialog d, const DialogValues& values) {
    const Model m = sys.model();
    auto valueOf = [&](DialogField f) {
        const auto it = values.find(f);
        return it == values.end() ? -1 : it->second;
    };
    for (DialogField f : dialogFields(d)) {
        const int v = valueOf(f);
        if (!dialogFieldExists(f, m) || v < 0) continue;
        if (const auto plain = plainField(f, m)) {
            if (isCheckField(f) ? v <= 1 : v < itemCount(f, m))
                sys.set(plain->field, v + plain->first);
            continue;
        }
        switch (f) {
            case F::ControlInputSelect:
                if (v <= 3) {
                    sys.setControlInputMode(0);
                    sys.setDirectPlaybackKind(v);
                } else if (v <= 6) {
                    sys.setControlInputMode(v - 3);
                    sys.setDirectPlaybackKind(0);
                }
                break;
            case F::BinaryTrigger:
                if (v <= 3) {
                    sys.setBinaryTriggerLevel(v % 2);
                    sys.setBinaryTriggerEdge(v / 2);
                }
                break;
            case F::BusyDelay: {
                // The code holds both boxes: stored once, when both are definite.
                const int interval = valueOf(F::BusyInterval);
                if (v <= 1 && (interval == 0 || interval == 1))
                    sys.setBusyOutCode(busyOutCode(v, interval));
                break;
            }
            default:
                break;  // BusyInterval: stored with BusyDelay
        }
    }
}

int busyOutCode(bool delay, bool interval) { return (delay ? 0 : 2) + (interval ? 0 : 1); }

bool busyOutFromCode(int code, bool& delay, bool& interval) {
    if (code < 0 || code > 3) return false;
    delay = code < 2;
    interval = code % 2 == 0;
    return true;
}

}  // namespace wqe
