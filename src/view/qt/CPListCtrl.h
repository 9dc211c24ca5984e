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
    // Applies the model's column widths (after its columns were rebuilt).
    void applyColumnWidths();
    // The first selected row, or -1.
    int firstSelectedRow() const;
    // Gives row `row` the selected and focused state and scrolls it into view.
    void showRow(int row);

signals:
    void selectionChangedTo(int row);

private:
    PhraseListModel* model_ = nullptr;
};

}  // namespace wqe
