#include "maintenance/qt/CDrvListBox.h"

#include <QStyle>

namespace wqe {

namespace {

QIcon volumeIcon(const QStyle* style, VolumeKind kind) {
    switch (kind) {
        case VolumeKind::Root:
            return style->standardIcon(QStyle::SP_ComputerIcon);
        case VolumeKind::Home:
            return style->standardIcon(QStyle::SP_DirHomeIcon);
        case VolumeKind::Removable:
            return style->standardIcon(QStyle::SP_DriveFDIcon);
        case VolumeKind::Network:
            return style->standardIcon(QStyle::SP_DriveNetIcon);
        case VolumeKind::Fixed:
            break;
    }
    return style->standardIcon(QStyle::SP_DriveHDIcon);
}

}  // namespace

CDrvListBox::CDrvListBox(QWidget* parent) : QComboBox(parent) { setObjectName("driveList"); }

int CDrvListBox::fill() {
    if (filled_) return -1;
    std::string error;
    const auto volumes = listVolumes(error);
    if (!volumes) {
        error_ = QString::fromStdString(error);
        return -2;
    }
    fillFrom(*volumes);
    return 0;
}

void CDrvListBox::fillFrom(const std::vector<Volume>& volumes) {
    filled_ = true;
    volumes_ = volumes;
    clear();
    for (const Volume& v : volumes_) {
        addItem(volumeIcon(style(), v.kind), QString::fromStdString(v.displayName),
                QString::fromStdString(v.rootPath));
    }
}

QString CDrvListBox::rootPath(int index) const { return itemData(index).toString(); }

int CDrvListBox::indexOfPath(const QString& path) const {
    return volumeOfPath(volumes_, path.toStdString());
}

}  // namespace wqe
