#include "convert/qt/ConvertCommands.h"

#include "convert/qt/CConvertDlg.h"
#include "maintenance/Cleanup.h"
#include "view/qt/CWQEView.h"

namespace wqe {

void registerConvertCommands(CWQEView& view, CWQEDoc& doc, QWidget* owner) {
    auto context = [&view, &doc] {
        return ConvertContext{doc, doc.prompter(), doc.settings(), [&view, &doc] {
                                  if (!view.runCommand(Command::Cleanup))
                                      runCleanup(doc, doc.prompter());
                              }};
    };
    view.setCommandHandler(Command::FileConvert, [context, owner] {
        CConvertDlg dialog(context(), owner);
        dialog.exec();
    });
    view.setCommandHandler(Command::WavImport, [context, owner] {
        CWavImportDlg dialog(context(), owner);
        dialog.exec();
    });
}

}  // namespace wqe
