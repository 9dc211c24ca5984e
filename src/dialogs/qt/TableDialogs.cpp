#include "dialogs/qt/TableDialogs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/qt/Choosers.h"
#include "dialogs/qt/DialogParts.h"

namespace wqe {

CTableDlg::CTableDlg(CWQEDoc& doc, TableKind kind, int program, const QString& title,
                     const std::string& editName, const QString& labelHeader, QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      table_values_(PlayTable::read(doc.sys(), kind, program)),
      editName_(editName) {
    setWindowTitle(title);
    table_ = new QTreeWidget(this);
    table_->setObjectName("table");
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    table_->setAllColumnsShowFocus(true);
    table_->setHeaderLabels({labelHeader, tr("Phrase")});
    table_->header()->setStretchLastSection(true);
    for (int k = 0; k < static_cast<int>(table_values_.refs.size()); ++k) {
        table_->addTopLevelItem(
            new QTreeWidgetItem({QString::fromStdString(table_values_.label(k)),
                                 QString::fromStdString(table_values_.refText(k))}));
    }
    table_->resizeColumnToContents(0);
    table_->setColumnWidth(0, table_->columnWidth(0) + 24);
    table_->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("0000000000000000000000")));
    table_->setMinimumHeight(fontMetrics().height() * 16);
    auto* label = new QLabel(tr("Phrase Table:"), this);
    label->setBuddy(table_);
    connect(table_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { chooseEntry(table_->indexOfTopLevelItem(item)); });

    auto* column = new QVBoxLayout;
    column->addWidget(dialogs::enterCloseButtons(this, tr("ENTER"), tr("CLOSE")));
    column->addSpacing(8);
    auto button = [&](const QString& text, const char* name, auto action) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        column->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, action] {
            action(table_values_);
            refresh();
        });
    };
    if (tableHasInsertDelete(kind)) {
        button(tr("INSERT"), "insert", [this](PlayTable& t) { t.insertAt(selected()); });
        button(tr("DELETE"), "delete", [this](PlayTable& t) { t.deleteAt(selected()); });
    }
    button(tr("RESET A"), "resetA", [](PlayTable& t) { t.resetA(); });
    button(tr("RESET B"), "resetB", [](PlayTable& t) { t.resetB(); });
    button(tr("CLEAR"), "clear", [](PlayTable& t) { t.clear(); });
    column->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addWidget(label);
    left->addWidget(table_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addSpacing(12);
    layout->addLayout(column);
    if (!table_values_.refs.empty()) table_->setCurrentItem(table_->topLevelItem(0));
}

int CTableDlg::selected() const {
    QTreeWidgetItem* item = table_->currentItem();
    return item && item->isSelected() ? table_->indexOfTopLevelItem(item) : -1;
}

void CTableDlg::refresh() {
    for (int k = 0; k < table_->topLevelItemCount(); ++k) {
        table_->topLevelItem(k)->setText(1, QString::fromStdString(table_values_.refText(k)));
    }
}

void CTableDlg::chooseEntry(int entry) {
    if (entry < 0 || entry >= static_cast<int>(table_values_.refs.size())) return;
    auto& ref = table_values_.refs[static_cast<std::size_t>(entry)];
    if (const auto chosen =
            CPhSel::choose(table_values_.chooser(doc_.sys().getPhraseCountCode()), ref, this)) {
        ref = *chosen;
        refresh();
    }
}

void CTableDlg::accept() {
    doc_.edit(editName_, [&] { table_values_.store(doc_.sys()); });
    QDialog::accept();
}

CDirect::CDirect(CWQEDoc& doc, QWidget* parent)
    : CTableDlg(doc, TableKind::DirectPlay, 0, tr("Direct Play"), "Direct Play", tr("Input"),
                parent) {
    setObjectName("directPlayDialog");
}

CCount1::CCount1(CWQEDoc& doc, int program, QWidget* parent)
    : CTableDlg(doc, TableKind::ProgramPlay, program, tr("Program Play %1").arg(program + 1),
                "Program Play " + std::to_string(program + 1), tr("Step"), parent) {
    setObjectName("programPlayDialog");
}

CmidiNoteDlg::CmidiNoteDlg(CWQEDoc& doc, QWidget* parent)
    : CTableDlg(doc, TableKind::NoteMap, 0, tr("MIDI Note Map"), "MIDI Note Map", tr("Note"),
                parent) {
    setObjectName("noteMapDialog");
}

}  // namespace wqe
