// Small pieces the settings dialogs share: a drop-down list filled from core
// texts, and the ENTER / CLOSE column.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QListView>
#include <QPushButton>
#include <string>
#include <vector>

namespace wqe::dialogs {

inline QComboBox* makeList(QWidget* parent, const std::vector<std::string>& items, int position) {
    auto* combo = new QComboBox(parent);
    combo->setMaxVisibleItems(20);
    if (items.size() > 100) {
        // Long lists (fades, phrase numbers): uniform rows keep the popup quick.
        if (auto* view = qobject_cast<QListView*>(combo->view())) view->setUniformItemSizes(true);
    }
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) texts << QString::fromStdString(item);
    combo->addItems(texts);
    combo->setCurrentIndex(position);
    return combo;
}

// "ENTER" (accepts, the default button) and "CLOSE" (rejects) stacked.
inline QDialogButtonBox* enterCloseButtons(QDialog* dialog, const QString& enter,
                                           const QString& close) {
    auto* box = new QDialogButtonBox(Qt::Vertical, dialog);
    QPushButton* ok = box->addButton(enter, QDialogButtonBox::AcceptRole);
    ok->setObjectName("enter");
    ok->setDefault(true);
    box->addButton(close, QDialogButtonBox::RejectRole)->setObjectName("close");
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

}  // namespace wqe::dialogs
