// The phrase list's model: one row per phrase slot of the open card, its
// columns and cell texts taken from the core's row texts. Rows are formatted
// when first shown and kept until they are filled again, so that a card of
// 1000 phrases opens without formatting rows nobody looks at.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "card/CWQEDoc.h"
#include "card/Language.h"

namespace wqe {

class PhraseListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    PhraseListModel(const CWQEDoc& doc, Language lang, QObject* parent = nullptr);

    // Columns of the card's model and phrase-count rows showing their slot
    // number and "---" (rows not filled yet).
    void rebuild();
    // Rebuild, then every row shows its phrase.
    void refreshAll();
    // Row `index` shows its phrase as the records hold it now.
    void fillRow(int index);

    // The column's own width in pixels (its least width).
    int columnWidth(int column) const;
    // Texts that can be the widest the column shows, for sizing it in the
    // font actually used.
    const QStringList& columnSamples(int column) const;
    Language language() const { return lang_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void resetRows(bool filled);
    const QStringList& rowTexts(int row) const;

    const CWQEDoc& doc_;
    Language lang_;
    QStringList headers_;
    std::vector<int> widths_;
    std::vector<QStringList> samples_;
    int rows_ = 0;
    bool filled_ = false;
    mutable std::vector<QStringList> cache_;  // empty list: not formatted yet
};

}  // namespace wqe
