#include "view/qt/CPListCtrl.h"

#include <QEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QStyle>

#include "view/qt/PhraseListModel.h"

namespace wqe {

namespace {
constexpr int kRowsShown = 20;  // rows the list asks room for
}  // namespace

CPListCtrl::CPListCtrl(QWidget* parent) : QTableView(parent) {
    setObjectName("phraseList");
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setSortingEnabled(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // The cell texts are padded with blanks for a fixed-pitch font.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setFont(fixed);
    horizontalHeader()->setFont(fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(fixed).height() + 4);
}

void CPListCtrl::setPhraseModel(PhraseListModel* model) {
    model_ = model;
    setModel(model);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit selectionChangedTo(firstSelectedRow()); });
    connect(model, &QAbstractItemModel::modelReset, this, &CPListCtrl::applyColumnWidths);
    applyColumnWidths();
}

void CPListCtrl::applyColumnWidths() {
    if (!model_) return;
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // The cell's text margins on both sides, and the grid line.
    const int margins =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) +
        (showGrid() ? 1 : 0);
    const QFontMetrics metrics = fontMetrics();
    for (int c = 0; c < model_->columnCount(); ++c) {
        int width = std::max(model_->columnWidth(c), horizontalHeader()->sectionSizeHint(c));
        for (const QString& text : model_->columnSamples(c))
            width = std::max(width, metrics.horizontalAdvance(text) + margins);
        setColumnWidth(c, width);
    }
}

QSize CPListCtrl::sizeHint() const {
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < horizontalHeader()->count(); ++c) width += columnWidth(c);
    const int height = 2 * frameWidth() + horizontalHeader()->sizeHint().height() +
                       kRowsShown * verticalHeader()->defaultSectionSize() +
                       horizontalScrollBar()->sizeHint().height();
    return {width, height};
}

void CPListCtrl::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        horizontalHeader()->setFont(font());
        applyColumnWidths();
    }
}

int CPListCtrl::firstSelectedRow() const {
    if (!selectionModel()) return -1;
    int first = -1;
    for (const QModelIndex& i : selectionModel()->selectedRows()) {
        if (first < 0 || i.row() < first) first = i.row();
    }
    return first;
}

void CPListCtrl::showRow(int row) {
    if (!model_ || row < 0 || row >= model_->rowCount()) return;
    const QModelIndex index = model_->index(row, 0);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

}  // namespace wqe
