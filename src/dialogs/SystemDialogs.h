// Decisions of the system settings dialogs (Line Thru, Equalizer, Busy Out,
// Control Input, MIDI and MTC): the items of their lists by model and
// language, which fields the model has, list position <-> stored value, the
// combined fields, and what ENTER stores in which order. The widgets only move
// positions and check states between themselves and these functions.
#pragma once

#include <map>
#include <span>
#include <string>
#include <vector>

#include "card/CWQESys.h"
#include "card/Language.h"

namespace wqe {

enum class SysDialog { LineThru, Equalizer, BusyOut, ControlInput, Midi, Mtc };

enum class DialogField {
    // Line Thru Settings
    LineThru,
    LineThruVolume,
    FadeIn,
    FadeOut,
    // Equalizer Settings
    EqSwitch,
    EqLowFreq,
    EqLowGain,
    EqHighFreq,
    EqHighGain,
    EqAttenuation,
    // Busy Out Settings (check boxes)
    BusyDelay,
    BusyPlayback,
    BusyInterval,
    // Control Input Settings
    ControlInputSelect,
    BinaryTrigger,
    TerminalRec,
    // MIDI Settings
    MidiOutput,
    DeviceId,
    Channel,
    NoteTrigger,
    MmcMode,
    RxVelocity,  // check boxes from here to NoteOut
    RxPanpot,
    RxExpression,
    NoteOut,
    // MTC Settings
    SyncSource,
    SyncOut,
    MtcType,
    ErrorLevel,
};

// The fields of a dialog in the order ENTER stores them.
std::span<const DialogField> dialogFields(SysDialog d);

// Check boxes hold 0 (unchecked), 1 (checked) or -1 (a stored value that is
// neither: shown partly checked and kept by ENTER while left so).
bool isCheckField(DialogField f);
// Whether the model has the field; a missing field is disabled and shows no
// selection (lists) or stays unchecked (check boxes).
bool dialogFieldExists(DialogField f, Model m);
// The items of a list field (UTF-8). A list the model lacks may still have
// items to show (the WQ-5000's blank "Treminal REC:" item).
std::vector<std::string> dialogFieldItems(DialogField f, Model m, Language lang);

// The position (list) or check state of a field for the record's values: -1
// for a list value no item stands for; 0 for a field the model lacks.
int dialogFieldValue(const CWQESys& sys, DialogField f);

using DialogValues = std::map<DialogField, int>;
// Every field of a dialog as it opens.
DialogValues readDialog(const CWQESys& sys, SysDialog d);
// ENTER: stores every field of the dialog through the record's setters in
// the dialog's order. A field the model lacks, a list without a selection and
// a check box left partly checked store nothing; a combined field (WQ-5000
// busy out code) is kept unless both of its boxes are definite.
void storeDialog(CWQESys& sys, SysDialog d, const DialogValues& values);

// WQ-5000 busy out code <-> (during delay time, during repeat interval):
// 0 = on/on, 1 = on/off, 2 = off/on, 3 = off/off.
int busyOutCode(bool delay, bool interval);
// False for a code outside 0..3.
bool busyOutFromCode(int code, bool& delay, bool& interval);

}  // namespace wqe
