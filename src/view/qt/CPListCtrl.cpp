#include "view/qt/CPListCtrl.h"

#include <QDrag>
#include <QDropEvent>
#include <QEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMimeData>
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

// ---------------------------------------------------------------------------
// Drag and drop of phrase data files

void CPListCtrl::setDragFilesProvider(std::function<QList<QUrl>(int row)> provider) {
    dragFiles_ = std::move(provider);
    setDragEnabled(bool(dragFiles_));
    setAcceptDrops(bool(dragFiles_));
    setDragDropMode(dragFiles_ ? QAbstractItemView::DragDrop : QAbstractItemView::NoDragDrop);
}

int CPListCtrl::dropRow(const QPointF& position) const { return indexAt(position.toPoint()).row(); }

void CPListCtrl::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CPListCtrl::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls() && dropRow(event->position()) >= 0)
        event->acceptProposedAction();
    else
        event->ignore();
}

void CPListCtrl::dropEvent(QDropEvent* event) {
    const int row = dropRow(event->position());
    if (!event->mimeData()->hasUrls() || row < 0) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(row, event->mimeData()->urls());
}

void CPListCtrl::startDrag(Qt::DropActions supportedActions) {
    (void)supportedActions;
    const QList<QUrl> urls = dragFiles_ ? dragFiles_(firstSelectedRow()) : QList<QUrl>{};
    if (urls.isEmpty()) return;
    auto* mime = new QMimeData;
    mime->setUrls(urls);
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    // The files are handed over as they are; the card keeps its own.
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

}  // namespace wqe
