#include "dialogs/qt/CPthPhEdit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/qt/CPhSel2.h"
#include "dialogs/qt/Choosers.h"
#include "dialogs/qt/DialogParts.h"
#include "view/PatternStepText.h"

namespace wqe {

namespace {

// Column widths in average characters: the texts are short and fixed.
constexpr int kPatternColumnChars[] = {5, 8, 7, 8};
constexpr int kSongColumnChars[] = {5, 8, 15};

std::vector<std::string> playItems() {
    std::vector<std::string> items;
    for (int n = 1; n <= kPlayCountItems; ++n) items.push_back(std::to_string(n));
    return items;
}

}  // namespace

CPthPhEdit::CPthPhEdit(PatternEditor editor, Model model, Language lang, int mtcType,
                       QWidget* parent)
    : QDialog(parent), editor_(std::move(editor)), model_(model), lang_(lang), mtcType_(mtcType) {
    setObjectName("patternEditor");
    setWindowTitle(editor_.isSong() ? tr("Editing Song Phrases") : tr("Editing Pattern Phrases"));

    list_ = new QTreeWidget(this);
    list_->setObjectName("steps");
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->header()->setSectionsClickable(false);
    QStringList headers;
    for (const std::string& h : patternStepHeaders(editor_.kind(), lang_))
        headers << QString::fromStdString(h);
    list_->setHeaderLabels(headers);
    const int charWidth = fontMetrics().averageCharWidth();
    int total = 0;
    for (int c = 0; c < headers.size(); ++c) {
        const int chars = editor_.isSong() ? kSongColumnChars[c] : kPatternColumnChars[c];
        const int width =
            std::max(chars * charWidth + 12,
                     list_->header()->fontMetrics().horizontalAdvance(headers[c]) + 16);
        list_->setColumnWidth(c, width);
        total += width;
    }
    list_->setMinimumWidth(total + list_->verticalScrollBar()->sizeHint().width() + 8);
    list_->setMinimumHeight(16 * list_->fontMetrics().height());
    auto* listLabel = new QLabel(tr("Steps:"), this);
    listLabel->setBuddy(list_);
    fillAll();
    selectRow(0);
    connect(list_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { editRow(list_->indexOfTopLevelItem(item)); });

    auto* insert = new QPushButton(tr("INSERT"), this);
    insert->setObjectName("insert");
    auto* remove = new QPushButton(tr("DELETE"), this);
    remove->setObjectName("delete");
    auto* clear = new QPushButton(tr("CLEAR"), this);
    clear->setObjectName("clear");
    for (QPushButton* b : {insert, remove, clear}) b->setAutoDefault(false);
    connect(insert, &QPushButton::clicked, this, [this] { act(&PatternEditor::insertRow); });
    connect(remove, &QPushButton::clicked, this, [this] { act(&PatternEditor::deleteRow); });
    connect(clear, &QPushButton::clicked, this, [this] { act(&PatternEditor::clearBlock); });

    play_ = dialogs::makeList(this, playItems(), editor_.playCountPosition());
    play_->setObjectName("playCount");
    playLabel_ = new QLabel(tr("PLAY:"), this);
    playLabel_->setBuddy(play_);
    play_->setVisible(editor_.playCountShown());
    playLabel_->setVisible(editor_.playCountShown());
    play_->setEnabled(editor_.playCountEnabled());
    playLabel_->setEnabled(editor_.playCountEnabled());

    auto* side = new QVBoxLayout;
    side->addWidget(dialogs::enterCloseButtons(this, tr("ENTER"), tr("CLOSE")));
    side->addSpacing(16);
    side->addWidget(insert);
    side->addWidget(remove);
    side->addWidget(clear);
    side->addSpacing(16);
    side->addWidget(playLabel_);
    side->addWidget(play_);
    side->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addWidget(listLabel);
    left->addWidget(list_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addSpacing(8);
    layout->addLayout(side);
}

void CPthPhEdit::fillRow(int r) {
    QTreeWidgetItem* item = list_->topLevelItem(r);
    if (!item) return;
    const auto texts = patternStepRowTexts(editor_.kind(), r, editor_.row(r), lang_, mtcType_);
    for (std::size_t c = 0; c < texts.size(); ++c)
        item->setText(static_cast<int>(c), QString::fromStdString(texts[c]));
}

void CPthPhEdit::fillAll() {
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (int r = 0; r < editor_.rowCount(); ++r) items << new QTreeWidgetItem;
    list_->addTopLevelItems(items);
    for (int r = 0; r < editor_.rowCount(); ++r) fillRow(r);
}

int CPthPhEdit::selectedRow() const {
    const auto selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front());
}

void CPthPhEdit::selectRow(int r) {
    if (QTreeWidgetItem* item = list_->topLevelItem(r)) {
        list_->setCurrentItem(item);
        list_->scrollToItem(item);
    }
}

void CPthPhEdit::act(void (PatternEditor::*op)(int)) {
    const int r = selectedRow();
    if (r < 0) return;
    const auto [first, last] = editor_.blockOf(r);
    (editor_.*op)(r);
    for (int i = first; i <= last; ++i) fillRow(i);
}

void CPthPhEdit::editRow(int r) {
    if (r < 0 || r >= editor_.rowCount()) return;
    if (editor_.isSong()) {
        const auto point =
            CMtcSel::choose(startPointOfRow(editor_.row(r), mtcType_), mtcType_, lang_, this);
        if (!point) return;
        editor_.setRow(r, rowOfStartPoint(*point, mtcType_));
    } else {
        CPhSel2 dialog(model_, editor_.kind(), editor_.row(r), editor_.isInterruptRow(r), this);
        if (dialog.exec() != QDialog::Accepted) return;
        editor_.setRow(r, dialog.value());
    }
    fillRow(r);
}

PatternData CPthPhEdit::storedData() const { return editor_.stored(selectedRow()); }

std::optional<std::uint8_t> CPthPhEdit::playCountByte() const {
    if (!editor_.playCountShown()) return std::nullopt;
    return editor_.playCountByte(play_->currentIndex());
}

}  // namespace wqe
