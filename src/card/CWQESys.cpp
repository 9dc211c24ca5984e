#include "card/CWQESys.h"

#include <algorithm>

namespace wqe {

namespace {

constexpr SystemFieldInfo kFields[] = {
#define WQE_X(acc, name, o7, o5, sz, def, mn7, mx7, mn5, mx5) \
    {name, o7, o5, sz, def, mn7, mx7, mn5, mx5},
    WQE_SYSTEM_FIELDS(WQE_X)
#undef WQE_X
};

}  // namespace

std::span<const SystemFieldInfo> systemFields() { return kFields; }

const SystemFieldInfo& systemFieldInfo(SystemField f) { return kFields[static_cast<int>(f)]; }

int CWQESys::get(SystemField f) const {
    const SystemFieldInfo& info = systemFieldInfo(f);
    if (!isLoaded() || !info.exists(model())) return info.defaultValue;
    const auto off = static_cast<std::size_t>(info.offset(model()));
    const auto def = static_cast<std::uint16_t>(info.defaultValue);
    const int v = info.size == 1 ? u8(off, static_cast<std::uint8_t>(def)) : u16(off, def);
    switch (f) {
        case SystemField::DeviceId:
            return (v == 0 || v > 32) ? 1 : v;
        case SystemField::LineThruFadeOut:
        case SystemField::LineThruFadeIn:
            return (v < 5 || v > 599) ? 5 : v;
        default:
            return v;
    }
}

void CWQESys::set(SystemField f, int value) {
    const SystemFieldInfo& info = systemFieldInfo(f);
    if (!isLoaded() || !info.exists(model())) return;
    const auto off = static_cast<std::size_t>(info.offset(model()));
    if (info.size == 1)
        setU8(off, static_cast<std::uint8_t>(value));
    else
        setU16(off, static_cast<std::uint16_t>(value));
}

std::string CWQESys::getCardName() const {
    const std::size_t off = cardNameOffset();
    if (!fits(off, kCardNameLength)) return kDefaultCardName;
    // A C string inside its field: the characters up to the first zero byte.
    const auto* p = reinterpret_cast<const char*>(at(off));
    return std::string(p, std::find(p, p + kCardNameLength, '\0'));
}

void CWQESys::setCardName(std::string_view name) {
    const std::size_t off = cardNameOffset();
    if (!fits(off, kCardNameLength + 1)) return;
    // The field takes a zero-terminated string: the characters up to the
    // first zero byte, at most 8 of them, then a zero byte.
    const std::size_t n = std::min({name.size(), kCardNameLength, name.find('\0')});
    std::copy_n(name.data(), n, at(off));
    *at(off + n) = 0;
}

std::array<std::uint16_t, kDirectPlayEntries> CWQESys::getDirectPlayTable() const {
    std::array<std::uint16_t, kDirectPlayEntries> refs{};
    for (int k = 0; k < kDirectPlayEntries; ++k)
        refs[k] = isLoaded() ? u16(directPlayOffset() + 2 * k, static_cast<std::uint16_t>(k))
                             : static_cast<std::uint16_t>(k);
    return refs;
}

void CWQESys::setDirectPlayTable(std::span<const std::uint16_t, kDirectPlayEntries> refs) {
    for (int k = 0; k < kDirectPlayEntries; ++k) setU16(directPlayOffset() + 2 * k, refs[k]);
}

std::array<std::uint16_t, kProgramPlayEntries> CWQESys::getProgramPlayTable(int t) const {
    std::array<std::uint16_t, kProgramPlayEntries> refs{};
    for (int k = 0; k < kProgramPlayEntries; ++k) {
        const auto def = t == 0 ? static_cast<std::uint16_t>(k) : kProgramTableUnused;
        refs[k] = (t >= 0 && t < kProgramPlayTables && isLoaded())
                      ? u16(programPlayOffset(t) + 2 * k, def)
                      : def;
    }
    return refs;
}

void CWQESys::setProgramPlayTable(int t, std::span<const std::uint16_t, kProgramPlayEntries> refs) {
    if (t < 0 || t >= kProgramPlayTables) return;
    for (int k = 0; k < kProgramPlayEntries; ++k) setU16(programPlayOffset(t) + 2 * k, refs[k]);
}

std::array<std::uint16_t, kNoteMapEntries> CWQESys::getNoteMap() const {
    std::array<std::uint16_t, kNoteMapEntries> refs{};
    for (int k = 0; k < kNoteMapEntries; ++k)
        refs[k] = isLoaded() ? u16(noteMapOffset() + 2 * k, static_cast<std::uint16_t>(k))
                             : static_cast<std::uint16_t>(k);
    return refs;
}

void CWQESys::setNoteMap(std::span<const std::uint16_t, kNoteMapEntries> refs) {
    for (int k = 0; k < kNoteMapEntries; ++k) setU16(noteMapOffset() + 2 * k, refs[k]);
}

std::vector<std::uint8_t> CWQESys::defaultImage(Model m) {
    std::vector<std::uint8_t> image(systemFileSize(m), 0);
    CWQESys sys;
    sys.setModel(m);
    sys.attach(image);
    for (const SystemFieldInfo& info : systemFields()) {
        if (!info.exists(m)) continue;
        sys.set(static_cast<SystemField>(&info - kFields), info.defaultValue);
    }
    sys.setCardName(kDefaultCardName);
    std::array<std::uint16_t, kDirectPlayEntries> direct{};
    for (int k = 0; k < kDirectPlayEntries; ++k) direct[k] = static_cast<std::uint16_t>(k);
    sys.setDirectPlayTable(direct);
    for (int t = 0; t < kProgramPlayTables; ++t) {
        std::array<std::uint16_t, kProgramPlayEntries> table{};
        for (int k = 0; k < kProgramPlayEntries; ++k)
            table[k] = t == 0 ? static_cast<std::uint16_t>(k) : kProgramTableUnused;
        sys.setProgramPlayTable(t, table);
    }
    std::array<std::uint16_t, kNoteMapEntries> notes{};
    for (int k = 0; k < kNoteMapEntries; ++k) notes[k] = static_cast<std::uint16_t>(k);
    sys.setNoteMap(notes);
    return image;
}

int displaySleepPosition(int sleepSwitch, int sleepTime) {
    return sleepSwitch == 0 ? 0 : sleepTime - 29;
}

void displaySleepFromPosition(int position, int& sleepSwitch, int& sleepTime) {
    if (position <= 0) {
        sleepSwitch = 0;
        sleepTime = 30;
    } else {
        sleepSwitch = 1;
        sleepTime = position + 29;
    }
}

}  // namespace wqe
