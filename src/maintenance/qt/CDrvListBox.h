// The drive list: a drop-down list of the machine's volumes (the root, the
// home folder, mounted devices and shares) with their icons.
#pragma once

#include <QComboBox>
#include <vector>

#include "maintenance/DriveList.h"

namespace wqe {

class CDrvListBox : public QComboBox {
    Q_OBJECT
public:
    explicit CDrvListBox(QWidget* parent = nullptr);

    // Fills the list once: 0 on success, -1 when it was filled before, -2
    // when the volumes cannot be read (the list then stays empty).
    int fill();
    // Fills from a given list instead of the machine's (used by fill).
    void fillFrom(const std::vector<Volume>& volumes);

    QString rootPath(int index) const;
    // The entry of the volume that holds `path`, or -1.
    int indexOfPath(const QString& path) const;
    const QString& lastError() const { return error_; }

private:
    std::vector<Volume> volumes_;
    bool filled_ = false;
    QString error_;
};

}  // namespace wqe
