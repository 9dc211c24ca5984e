// What the Phrase Copy dialog's "File Infomation" box shows for a chosen
// source: a caption and six lines. For a usable source the caption names the
// candidate record and its kind, line 1 is its memo, line 2 the file's type
// line followed by a summary of the record's playback settings, and lines 3
// to 6 either the file's further information lines (audio, WAV, MIDI) or one
// page of the members of a pattern or song file; a click shows the next page.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "card/CWQEDoc.h"
#include "card/Language.h"
#include "maintenance/PhraseCopy.h"

namespace wqe {

inline constexpr const char* kCopyInfoCaption = "File Infomation";
inline constexpr const char* kCopyInfoEmptyLine = "-----";

// The file information lines the card's reader gives for the source file
// (type line, then four detail lines), as the Phrase Setup dialog shows them.
using FileInfoLines = std::array<std::string, 5>;

struct CopyInformation {
    std::string caption;
    std::array<std::string, 6> lines;
    int pages = 0;  // member pages of a pattern or song source (0 for others)
};

// The settings summary appended to line 2: "label:value|" segments of the
// candidate record (volume, tempo, control, delay, repeat, pattern mode by
// the source's kind and the card's model).
std::string copySettingsSummary(const CopySource& source, const CWQEDoc& doc, Language lang);

// The member pages of a pattern or song file: per page its caption and the
// three lines of members. Empty when the file cannot be read as one.
struct MemberPage {
    std::string caption;
    std::array<std::string, 3> lines;
};
std::vector<MemberPage> memberPages(const CopySource& source, Model m, int mtcType, Language lang);

// The whole box for `source` (null or unusable: the caption and six
// "-----" lines) copied into slot `slot` (an empty candidate is named after
// it), at member page `page` (taken modulo the page count).
CopyInformation copyInformation(const CopySource* source, const CWQEDoc& doc, Language lang,
                                int slot, const FileInfoLines& fileLines, int page);

}  // namespace wqe
