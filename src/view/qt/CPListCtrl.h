// The phrase list control: a report-style table with single full-row
// selection, fixed-pitch cells, a fixed row height and the columns' own widths.
#pragma once

#include <QList>
#include <QTableView>
#include <QUrl>
#include <functional>

namespace wqe {

class PhraseListModel;

class CPListCtrl : public QTableView {
    Q_OBJECT
public:
    explicit CPListCtrl(QWidget* parent = nullptr);

    void setPhraseModel(PhraseListModel* model);
    // Sizes every column: at least the model's own width, and wide enough
    // for its header and its widest texts in the list's font. Done again
    // when the columns are rebuilt or the font changes.
    void applyColumnWidths();
    // Room for every column and about twenty rows.
    QSize sizeHint() const override;
    // The first selected row, or -1.
    int firstSelectedRow() const;
    // Gives row `row` the selected and focused state and scrolls it into view.
    void showRow(int row);

    // Dragging phrases out: the files handed over for the selected row
    // (none: no drag starts). Files dropped on a row are announced by
    // filesDropped; the list itself changes nothing.
    void setDragFilesProvider(std::function<QList<QUrl>(int row)> provider);

signals:
    void selectionChangedTo(int row);
    void filesDropped(int row, const QList<QUrl>& urls);

protected:
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    PhraseListModel* model_ = nullptr;
    std::function<QList<QUrl>(int row)> dragFiles_;
    // The row under a drop position, or -1.
    int dropRow(const QPointF& position) const;
};

}  // namespace wqe
