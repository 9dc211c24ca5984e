#include "convert/qt/CPhrOpenDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "convert/FileConvert.h"
#include "maintenance/qt/CDirTreeCtrl.h"
#include "maintenance/qt/CDrvListBox.h"

namespace wqe {

namespace {

QString withSeparator(QString folder) {
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

}  // namespace

CPhrOpenDlg::CPhrOpenDlg(const QString& extension, int maxNumber, const QString& previousFolder,
                         QWidget* parent)
    : QDialog(parent), extension_(extension), max_(std::max(maxNumber, 1)) {
    setObjectName("phrOpenDialog");
    setWindowTitle(tr("Target Phrase Number Selected."));

    drives_ = new CDrvListBox(this);
    drives_->setObjectName("drives");
    tree_ = new CDirTreeCtrl(this);
    tree_->setObjectName("folders");
    numbers_ = new QComboBox(this);
    numbers_->setObjectName("numbers");
    files_ = new QListWidget(this);
    files_->setObjectName("files");
    files_->setSortingEnabled(true);
    selected_ = new QLabel(this);
    selected_->setObjectName("selectedFile");
    selected_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fileName_ = new QLabel(this);
    fileName_->setObjectName("fileName");
    auto* maxText = new QLabel(QString::number(max_), this);
    maxText->setObjectName("maxNumber");

    auto* driveLabel = new QLabel(tr("Drive:"), this);
    driveLabel->setBuddy(drives_);
    auto* folderLabel = new QLabel(tr("Folder:"), this);
    folderLabel->setBuddy(tree_);
    auto* numberLabel = new QLabel(tr("Phrase Number :"), this);
    numberLabel->setBuddy(numbers_);
    auto* filesLabel = new QLabel(tr("Phrase files:"), this);
    filesLabel->setBuddy(files_);

    auto* grid = new QGridLayout;
    grid->addWidget(driveLabel, 0, 0);
    grid->addWidget(drives_, 0, 1);
    grid->addWidget(folderLabel, 1, 0, Qt::AlignTop);
    grid->addWidget(tree_, 1, 1);
    grid->addWidget(numberLabel, 2, 0);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(numbers_);
    numberRow->addSpacing(16);
    numberRow->addWidget(new QLabel(tr("Max Phrase Num :"), this));
    numberRow->addWidget(maxText);
    numberRow->addStretch(1);
    grid->addLayout(numberRow, 2, 1);
    grid->addWidget(filesLabel, 3, 0, Qt::AlignTop);
    grid->addWidget(files_, 3, 1);
    grid->addWidget(new QLabel(tr("Selected File"), this), 4, 0);
    grid->addWidget(selected_, 4, 1);
    grid->addWidget(new QLabel(tr("File name :"), this), 5, 0);
    grid->addWidget(fileName_, 5, 1);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    auto* save = buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole);
    save->setObjectName("save");
    save->setDefault(true);
    buttons->addButton(tr("CLOSE"), QDialogButtonBox::RejectRole)->setObjectName("close");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addWidget(buttons);
    resize(520, 560);

    for (int n = 1; n <= max_; ++n) numbers_->addItem(QString("%1").arg(n, 4, 10, QChar('0')));
    numbers_->setCurrentIndex(0);

    connect(buttons, &QDialogButtonBox::accepted, this, &CPhrOpenDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPhrOpenDlg::reject);
    connect(numbers_, &QComboBox::currentIndexChanged, this, [this] {
        files_->clearSelection();
        refreshTexts();
    });
    connect(files_, &QListWidget::itemDoubleClicked, this, &CPhrOpenDlg::onFileActivated);
    connect(tree_, &CDirTreeCtrl::folderSelected, this, &CPhrOpenDlg::setFolder);
    connect(drives_, &QComboBox::activated, this, [this](int index) {
        if (index < 0) return;
        tree_->showDrive(drives_->rootPath(index), drives_->itemText(index));
        setFolder(drives_->rootPath(index));
    });

    QString start = previousFolder;
    if (start.isEmpty())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    start = QDir::cleanPath(start);
    drives_->fill();
    const int volume = drives_->indexOfPath(start);
    if (volume >= 0) {
        drives_->setCurrentIndex(volume);
        tree_->showDrive(drives_->rootPath(volume), drives_->itemText(volume));
        tree_->openToPath(start);
    }
    setFolder(start);
}

void CPhrOpenDlg::setFolder(const QString& folder) {
    folder_ = withSeparator(folder);
    files_->clear();
    for (const std::string& name : phraseDataFilesIn(folder.toStdString()))
        files_->addItem(QString::fromStdString(name));
    refreshTexts();
}

int CPhrOpenDlg::selectedNumber() const {
    // A list without a selection counts as number 1.
    return numbers_->currentIndex() < 0 ? 1 : numbers_->currentIndex() + 1;
}

void CPhrOpenDlg::refreshTexts() {
    const QString path = QString::fromStdString(
        chosenPhrasePath(folder_.toStdString(), selectedNumber(), extension_.toStdString()));
    selected_->setText(path);
    fileName_->setText(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

QString CPhrOpenDlg::selectedFileText() const { return selected_->text(); }

void CPhrOpenDlg::onFileActivated(QListWidgetItem* item) {
    if (!item) return;
    numbers_->setCurrentIndex(phraseNumberOfListedFile(item->text().toStdString(), max_) - 1);
    refreshTexts();
}

void CPhrOpenDlg::accept() {
    chosen_ = QString::fromStdString(
        chosenPhrasePath(folder_.toStdString(), selectedNumber(), extension_.toStdString()));
    QDialog::accept();
}

}  // namespace wqe
