#include "maintenance/qt/CDirTreeCtrl.h"

#include <QStyle>

#include "maintenance/DriveList.h"

namespace wqe {

namespace {
constexpr int kPlaceholderRole = Qt::UserRole + 1;
}

CDirTreeCtrl::CDirTreeCtrl(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("folderTree");
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemExpanded, this, &CDirTreeCtrl::populate);
    connect(this, &QTreeWidget::itemCollapsed, this, &CDirTreeCtrl::depopulate);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current && !current->data(0, kPlaceholderRole).toBool())
            emit folderSelected(fullPath(current));
    });
}

void CDirTreeCtrl::resetTree() {
    clear();
    rootPath_.clear();
}

void CDirTreeCtrl::showDrive(const QString& rootPath, const QString& displayName) {
    resetTree();
    rootPath_ = rootPath;
    auto* root = new QTreeWidgetItem(this, {displayName});
    root->setIcon(0, style()->standardIcon(QStyle::SP_DriveHDIcon));
    root->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

QString CDirTreeCtrl::fullPath(const QTreeWidgetItem* item) const {
    std::vector<std::string> parts;
    for (const QTreeWidgetItem* i = item; i && i->parent(); i = i->parent()) {
        parts.insert(parts.begin(), i->text(0).toStdString());
    }
    return QString::fromStdString(joinBelow(rootPath_.toStdString(), parts));
}

void CDirTreeCtrl::populate(QTreeWidgetItem* item) {
    qDeleteAll(item->takeChildren());
    const QIcon folder = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const std::string& name : listSubfolders(fullPath(item).toStdString())) {
        auto* child = new QTreeWidgetItem(item, {QString::fromStdString(name)});
        child->setIcon(0, folder);
        child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    if (item->parent()) item->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
}

void CDirTreeCtrl::depopulate(QTreeWidgetItem* item) {
    // Keep a selected descendant reachable: select the closed item instead.
    for (QTreeWidgetItem* i = currentItem(); i; i = i->parent()) {
        if (i->parent() == item) {
            setCurrentItem(item);
            break;
        }
    }
    qDeleteAll(item->takeChildren());
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    if (item->parent()) item->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
}

bool CDirTreeCtrl::openToPath(const QString& path) {
    QTreeWidgetItem* item = topLevelItem(0);
    if (!item) return false;
    const auto parts = componentsBelow(rootPath_.toStdString(), path.toStdString());
    bool found = parts.has_value();
    if (parts) {
        for (const std::string& part : *parts) {
            item->setExpanded(true);  // lists the item's folders
            std::vector<std::string> names;
            for (int c = 0; c < item->childCount(); ++c)
                names.push_back(item->child(c)->text(0).toStdString());
            const int hit = findNameIgnoringCase(names, part);
            if (hit < 0) {
                found = false;
                break;
            }
            item = item->child(hit);
        }
    }
    setCurrentItem(item);
    scrollToItem(item);
    return found;
}

}  // namespace wqe
