// The phrase list control: a report-style table with single full-row
// selection, fixed-pitch cells, a fixed row height and the columns' own widths.
#pragma once

#include <QTableView>

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

signals:
    void selectionChangedTo(int row);

protected:
    void changeEvent(QEvent* event) override;

private:
    PhraseListModel* model_ = nullptr;
};

}  // namespace wqe
