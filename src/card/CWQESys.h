// System settings file "_WQ7TSYS.CNF" (1352 bytes, little-endian) and
// "_WQ5TSYS.CNF" (1354 bytes, big-endian): one getter and one setter per field
// over the byte image. Bytes no field names are never touched.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "card/CWQEData.h"

namespace wqe {

// Single-value fields of the system settings file.
//   X(Accessor, "cli-name", WQ-7000 offset, WQ-5000 offset, size in bytes,
//     default, WQ-7000 min, max, WQ-5000 min, max)
// An offset of -1 means the model has no such field. Values are unsigned,
// 16-bit ones in the model's byte order. The ranges are the values the
// device accepts; getters return what is stored except where noted at the accessor.
#define WQE_SYSTEM_FIELDS(X)                                                          \
    X(PhraseCountCode, "phrase-count-code", 6, 51, 1, 0, 0, 2, 0, 1)                  \
    X(BusyOutCode, "busy-out-code", -1, 7, 1, 0, 0, 0, 0, 3)                          \
    X(CardProtect, "card-protect", 17, 1091, 1, 0, 0, 1, 0, 1)                        \
    X(ControlInputMode, "control-input-mode", 18, -1, 1, 0, 0, 3, 0, 0)               \
    X(DirectPlaybackKind, "direct-playback-kind", 19, -1, 1, 0, 0, 3, 0, 0)           \
    X(ControlInputSelect, "control-input-select", -1, 1086, 1, 0, 0, 0, 0, 4)         \
    X(BinaryTrigger, "binary-trigger", -1, 1087, 1, 0, 0, 0, 0, 1)                    \
    X(BinaryTriggerLevel, "binary-trigger-level", 1053, -1, 1, 1, 0, 1, 0, 0)         \
    X(BinaryTriggerEdge, "binary-trigger-edge", 1054, -1, 1, 0, 0, 1, 0, 0)           \
    X(TerminalRecordingInput, "terminal-recording-input", 1055, -1, 1, 0, 0, 1, 0, 0) \
    X(MidiOutput, "midi-output", 1056, 1350, 1, 0, 0, 1, 0, 1)                        \
    X(MidiChannel, "midi-channel", 1314, 1349, 1, 0, 0, 17, 0, 17)                    \
    X(NoteTrigger, "note-trigger", 1315, 1351, 1, 0, 0, 1, 0, 1)                      \
    X(RxVelocity, "rx-velocity", 1316, -1, 1, 0, 0, 1, 0, 0)                          \
    X(RxPanpot, "rx-panpot", 1317, -1, 1, 0, 0, 1, 0, 0)                              \
    X(RxExpression, "rx-expression", 1318, -1, 1, 0, 0, 1, 0, 0)                      \
    X(NoteOut, "note-out", 1319, -1, 1, 0, 0, 1, 0, 0)                                \
    X(DeviceId, "device-id", 1320, 1352, 1, 1, 1, 32, 1, 32)                          \
    X(MmcMode, "mmc-mode", 1321, -1, 1, 0, 0, 2, 0, 0)                                \
    X(MtcSyncSource, "mtc-sync-source", 1322, -1, 1, 0, 0, 1, 0, 0)                   \
    X(MtcSyncOut, "mtc-sync-out", 1323, -1, 1, 0, 0, 1, 0, 0)                         \
    X(MtcType, "mtc-type", 1324, -1, 1, 0, 0, 4, 0, 0)                                \
    X(MtcErrorLevel, "mtc-error-level", 1325, -1, 1, 5, 0, 10, 0, 0)                  \
    X(BaudRate, "baud-rate", 1326, 1090, 1, 1, 0, 3, 0, 3)                            \
    X(WqLinkMode, "wq-link-mode", 1327, -1, 1, 0, 0, 2, 0, 0)                         \
    X(DualMonoMode, "dual-mono-mode", 1329, 1088, 1, 0, 0, 1, 0, 1)                   \
    X(LineThru, "line-thru", 1330, 1089, 1, 0, 0, 1, 0, 2)                            \
    X(LineThruVolume, "line-thru-volume", 1331, -1, 1, 0, 0, 100, 0, 0)               \
    X(LineThruFadeOut, "line-thru-fade-out", 1332, -1, 2, 5, 5, 599, 0, 0)            \
    X(LineThruFadeIn, "line-thru-fade-in", 1334, -1, 2, 5, 5, 599, 0, 0)              \
    X(EqSwitch, "eq-switch", 1336, -1, 1, 0, 0, 1, 0, 0)                              \
    X(EqLowGain, "eq-low-gain", 1337, -1, 1, 12, 0, 24, 0, 0)                         \
    X(EqLowFreq, "eq-low-freq", 1338, -1, 1, 0, 0, 1, 0, 0)                           \
    X(EqHighGain, "eq-high-gain", 1339, -1, 1, 12, 0, 24, 0, 0)                       \
    X(EqHighFreq, "eq-high-freq", 1340, -1, 1, 0, 0, 1, 0, 0)                         \
    X(EqAttenuation, "eq-attenuation", 1341, -1, 1, 12, 0, 12, 0, 0)                  \
    X(OutputVolumeThru, "output-volume-thru", 1342, -1, 1, 0, 0, 1, 0, 0)             \
    X(BusyOutDelay, "busy-out-delay", 1343, -1, 1, 0, 0, 1, 0, 0)                     \
    X(BusyOutPlayback, "busy-out-playback", 1344, -1, 1, 0, 0, 1, 0, 0)               \
    X(BusyOutInterval, "busy-out-interval", 1345, -1, 1, 0, 0, 1, 0, 0)               \
    X(DisplaySleepSwitch, "display-sleep-switch", 1347, -1, 1, 0, 0, 255, 0, 0)       \
    X(DisplaySleepTime, "display-sleep-time", 1348, -1, 2, 30, 30, 3599, 0, 0)

struct SystemFieldInfo {
    const char* name;  // command-line name
    int offset7000;    // -1: not on the WQ-7000
    int offset5000;    // -1: not on the WQ-5000
    int size;          // 1 or 2 bytes
    int defaultValue;
    int min7000, max7000, min5000, max5000;

    int offset(Model m) const { return m == Model::WQ7000 ? offset7000 : offset5000; }
    bool exists(Model m) const { return offset(m) >= 0; }
    int min(Model m) const { return m == Model::WQ7000 ? min7000 : min5000; }
    int max(Model m) const { return m == Model::WQ7000 ? max7000 : max5000; }
};

enum class SystemField {
#define WQE_X(acc, name, o7, o5, sz, def, mn7, mx7, mn5, mx5) acc,
    WQE_SYSTEM_FIELDS(WQE_X)
#undef WQE_X
};

// Every single-value system field, in the order of the table above.
std::span<const SystemFieldInfo> systemFields();
const SystemFieldInfo& systemFieldInfo(SystemField f);

// Card name: WQ-7000 8 bytes at 8 (zero at 16), WQ-5000 8 bytes at 42 (zero at 50).
inline constexpr std::size_t kCardNameLength = 8;
inline constexpr const char* kDefaultCardName = "WQ-7000 ";
// Tables of 16-bit phrase references in the model's byte order.
inline constexpr int kDirectPlayEntries = 16;  // WQ-7000 at 20, WQ-5000 at 1054
inline constexpr int kProgramPlayTables = 5;   // table t at 52 + 200t / 54 + 200t
inline constexpr int kProgramPlayEntries = 100;
// Entries of program play tables 2..5 on a fresh card, on both models (the
// WQ-7000's "none"; on the WQ-5000 a value that is no A or B reference).
inline constexpr std::uint16_t kProgramTableUnused = 32768;
inline constexpr int kNoteMapEntries = 128;  // WQ-7000 at 1058, WQ-5000 at 1092

class CWQESys : public CWQEData {
public:
    // Generic access by field; getters apply the read-time range rules of
    // device ID (0 or above 32 reads as 1) and the fades (outside 5..599 reads as 5).
    int get(SystemField f) const;
    void set(SystemField f, int value);

#define WQE_X(acc, name, o7, o5, sz, def, mn7, mx7, mn5, mx5) \
    int get##acc() const { return get(SystemField::acc); }    \
    void set##acc(int v) { set(SystemField::acc, v); }
    WQE_SYSTEM_FIELDS(WQE_X)
#undef WQE_X

    // The card name's bytes up to the first zero (at most 8), or "WQ-7000 ".
    std::string getCardName() const;
    // Copies at most 8 bytes of `name` and a zero byte after them.
    void setCardName(std::string_view name);

    std::array<std::uint16_t, kDirectPlayEntries> getDirectPlayTable() const;
    void setDirectPlayTable(std::span<const std::uint16_t, kDirectPlayEntries> refs);
    // t = 0..4; the getter fills the defaults for other t, the setter ignores them.
    std::array<std::uint16_t, kProgramPlayEntries> getProgramPlayTable(int t) const;
    void setProgramPlayTable(int t, std::span<const std::uint16_t, kProgramPlayEntries> refs);
    std::array<std::uint16_t, kNoteMapEntries> getNoteMap() const;
    void setNoteMap(std::span<const std::uint16_t, kNoteMapEntries> refs);

    // A whole default image of the model (a fresh card): every field at its
    // default, unnamed bytes zero.
    static std::vector<std::uint8_t> defaultImage(Model m);

private:
    int directPlayOffset() const { return w7() ? 20 : 1054; }
    int programPlayOffset(int t) const { return (w7() ? 52 : 54) + 200 * t; }
    int noteMapOffset() const { return w7() ? 1058 : 1092; }
    int cardNameOffset() const { return w7() ? 8 : 42; }
};

// Display sleep as one list position: 0 = OFF, p > 0 = p + 29 seconds.
int displaySleepPosition(int sleepSwitch, int sleepTime);
void displaySleepFromPosition(int position, int& sleepSwitch, int& sleepTime);

}  // namespace wqe
