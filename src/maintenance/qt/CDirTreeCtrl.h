// The folder tree: the folders under one volume root, listed when an item is
// opened and dropped again when it is closed.
#pragma once

#include <QTreeWidget>

namespace wqe {

class CDirTreeCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CDirTreeCtrl(QWidget* parent = nullptr);

    void resetTree();
    // Shows the tree of the volume at `rootPath`, its root item named `displayName`.
    void showDrive(const QString& rootPath, const QString& displayName);
    // Opens the tree down to `path` (letter case ignored, as on the card's
    // file system) and selects its last folder. False when a component is
    // not found; the walk then stops at the last folder found.
    bool openToPath(const QString& path);
    // The full path of an item: the root path and the item texts below it.
    QString fullPath(const QTreeWidgetItem* item) const;
    QString rootPath() const { return rootPath_; }

signals:
    void folderSelected(const QString& path);

private:
    void populate(QTreeWidgetItem* item);
    void depopulate(QTreeWidgetItem* item);

    QString rootPath_;
};

}  // namespace wqe
