#include "view/qt/PhraseListModel.h"

#include "view/PhraseListText.h"

namespace wqe {

PhraseListModel::PhraseListModel(const CWQEDoc& doc, Language lang, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc), lang_(lang) {}

void PhraseListModel::rebuild() { resetRows(false); }

void PhraseListModel::refreshAll() { resetRows(true); }

void PhraseListModel::resetRows(bool filled) {
    beginResetModel();
    headers_.clear();
    widths_.clear();
    for (const PhraseListColumn& c : phraseListColumns(doc_.model(), lang_)) {
        headers_ << QString::fromStdString(c.header);
        widths_.push_back(c.width);
    }
    samples_.clear();
    for (const auto& texts : phraseListWidestTexts(doc_.model(), lang_)) {
        QStringList list;
        for (const std::string& t : texts) list << QString::fromStdString(t);
        samples_.push_back(list);
    }
    rows_ = phraseListRowCount(doc_);
    filled_ = filled;
    cache_.assign(static_cast<std::size_t>(rows_), QStringList());
    endResetModel();
}

void PhraseListModel::fillRow(int index) {
    if (index < 0 || index >= rows_) return;
    // Only this row changes: the others keep what they showed, so they are
    // formatted now if they have not been yet.
    for (int r = 0; r < rows_; ++r) rowTexts(r);
    filled_ = true;
    cache_[static_cast<std::size_t>(index)] = QStringList();
    emit dataChanged(this->index(index, 0), this->index(index, columnCount() - 1),
                     {Qt::DisplayRole});
}

int PhraseListModel::columnWidth(int column) const {
    return column >= 0 && column < static_cast<int>(widths_.size())
               ? widths_[static_cast<std::size_t>(column)]
               : 0;
}

const QStringList& PhraseListModel::columnSamples(int column) const {
    static const QStringList none;
    return column >= 0 && column < static_cast<int>(samples_.size())
               ? samples_[static_cast<std::size_t>(column)]
               : none;
}

int PhraseListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int PhraseListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

const QStringList& PhraseListModel::rowTexts(int row) const {
    QStringList& texts = cache_[static_cast<std::size_t>(row)];
    if (!texts.isEmpty()) return texts;
    const std::vector<std::string> cells =
        filled_ ? phraseListRow(doc_, row, lang_) : phraseListEmptyRow(doc_.model(), row);
    for (const std::string& cell : cells) texts << QString::fromStdString(cell);
    return texts;
}

QVariant PhraseListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= columnCount()) return {};
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const QStringList& texts = rowTexts(index.row());
    return index.column() < texts.size() ? texts[index.column()] : QString();
}

QVariant PhraseListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) return headers_[section];
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

}  // namespace wqe
