#include "songlist/SongListModel.h"

int SongListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SongListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SongListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return {};
    const SongRow& row = rows_[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.Texts[static_cast<size_t>(index.column())];
    case Qt::CheckStateRole:
        if (index.column() == 0)
            return row.Ticked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ToolTipRole:
        return row.ToolTip.isEmpty() ? QVariant() : QVariant(row.ToolTip);
    case BoldRole:
        return row.Ticked;
    case IconIndexRole:
        return index.column() == 0 ? QVariant(row.Icon) : QVariant();
    default:
        return {};
    }
}

bool SongListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0 ||
        index.row() >= rowCount())
        return false;
    SetRowTicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant SongListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return headers_[static_cast<size_t>(section)];
}

Qt::ItemFlags SongListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

void SongListModel::SetRows(std::vector<SongRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
    emit TicksChanged();
}

void SongListModel::SetHeaderTexts(const std::array<QString, ColumnCount>& texts) {
    headers_ = texts;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void SongListModel::SetRowTicked(int row, bool ticked) {
    if (row < 0 || row >= rowCount())
        return;
    SongRow& r = rows_[static_cast<size_t>(row)];
    if (r.Ticked == ticked)
        return;
    r.Ticked = ticked;
    // The whole row: its bold text follows the tick in every column.
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    emit TicksChanged();
}
