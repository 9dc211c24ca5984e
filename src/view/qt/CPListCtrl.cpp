#include "view/qt/CPListCtrl.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>

#include "view/qt/PhraseListModel.h"

namespace wqe {

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
    for (int c = 0; c < model_->columnCount(); ++c) setColumnWidth(c, model_->columnWidth(c));
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
