// Command numbers of the main menu and the phrase list's context menus. The
// menu, the view and the application route commands by these numbers.
#pragma once

namespace wqe {

enum class Command : int {
    OpenCardInfo = 57601,
    SaveCardInfo = 57603,
    PrintSystemAndPhrase = 32772,
    PrintSystem = 32773,
    PrintPhrase = 32774,
    Print = 57607,
    PrintPreview = 57609,
    PrinterSetup = 57606,
    ExportPdf = 32800,
    PlayPhrase = 32801,  // hear the selected audio phrase (Space), stop (Space, Esc)
    Exit = 57665,
    Backup = 32775,
    Restore = 32776,
    Cleanup = 32777,
    FileConvert = 32792,
    WavImport = 32793,
    DeleteFolder = 32781,
    PhraseSetup = 32782,
    DeletePhrase = 32783,
    CopyPhrase = 32785,
    PatternPhrase = 32786,
    SongPhrase = 32787,
    SetBackupPath = 32788,
    SetCardPath = 32789,
    VersionInfo = 57664,
};

}  // namespace wqe
