// A small PDF writer for the report pages, so that the command-line tool
// exports a report without any GUI library. Texts are set in the standard
// Courier font (WinAnsi; other characters print as "?") or, under Japanese,
// in a Japanese Gothic CID font addressed by CP932 bytes (90ms-RKSJ-H), which
// viewers supply themselves. Nothing is embedded.
#pragma once

#include <string>

#include "view/Report.h"

namespace wqe {

// Page sizes in twips: US Letter (12240 x 15840) for English, A4 (11906 x
// 16838) under Japanese. The report's origin lies kReportPdfOffset twips in
// from the top-left corner, as a printer's unprintable margin would put it.
inline constexpr int kReportPdfOffset = 180;

// The whole PDF file of every page of the report.
std::string reportPdf(const Report& report, const std::string& title);

}  // namespace wqe
