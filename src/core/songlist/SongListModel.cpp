#include "songlist/SongListModel.h"

#include "text/NumericPrefix.h"

#include <QCollator>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

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
        if (index.column() == int(Column::Title))
            return row.Ticked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        return static_cast<int>(Alignment(index.column()));
    case Qt::ToolTipRole:
        return row.ToolTip.isEmpty() ? QVariant() : QVariant(row.ToolTip);
    case BoldRole:
        return row.Ticked;
    case IconIndexRole:
        return index.column() == int(Column::Title) ? QVariant(row.Icon) : QVariant();
    default:
        return {};
    }
}

Qt::Alignment SongListModel::Alignment(int column) {
    // Sizes and bit rates line up on their units, years and track numbers in the middle.
    switch (column) {
    case Column::FileSize:
    case Column::BitRate:
        return Qt::AlignRight | Qt::AlignVCenter;
    case Column::Year:
    case Column::Track:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

bool SongListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != int(Column::Title) ||
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
    if (index.column() == int(Column::Title))
        f |= Qt::ItemIsUserCheckable;
    return f;
}

void SongListModel::SetRows(std::vector<SongRow> rows) {
    beginResetModel();
    // The old rows go first: texts that nothing shows any more are not ranked again.
    rows_.clear();
    if (sorting_) {
        const std::vector<size_t> order = sortedOrder(rows);
        rows = reordered(std::move(rows), order);
    }
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

void SongListModel::SetRowsTicked(const std::vector<int>& rows, bool ticked) {
    bool changed = false;
    for (int row : rows) {
        if (row < 0 || row >= rowCount())
            continue;
        SongRow& r = rows_[static_cast<size_t>(row)];
        changed = changed || r.Ticked != ticked;
        r.Ticked = ticked;
    }
    if (!changed)
        return;
    emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    emit TicksChanged();
}

void SongListModel::SetAllTicked(bool ticked) {
    std::vector<int> all(rows_.size());
    std::iota(all.begin(), all.end(), 0);
    SetRowsTicked(all, ticked);
}

SongListModel::Totals SongListModel::SelectionTotals() const {
    Totals totals;
    for (const SongRow& row : rows_) {
        if (!row.Ticked)
            continue;
        ++totals.Count;
        // Whole bytes in 64 bits: a few thousand songs already pass 2 GB.
        const double bytes = std::round(NumericPrefix(row.Texts[Column::Bytes]));
        if (std::isfinite(bytes) && std::abs(bytes) < 9e15)
            totals.Bytes += static_cast<qint64>(bytes);
    }
    return totals;
}

void SongListModel::HeaderClicked(int column) {
    if (column < 0 || column >= ColumnCount)
        return;
    sorting_ = true;
    if (sortColumn_ == column) {
        sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        sortOrder_ = Qt::AscendingOrder;
        sortColumn_ = column;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<size_t> order = sortedOrder(rows_);
    // The view's current row and highlights follow their rows to the new places.
    std::vector<int> newRow(rows_.size());
    for (size_t i = 0; i < order.size(); ++i)
        newRow[order[i]] = static_cast<int>(i);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after << (old.isValid() ? index(newRow[static_cast<size_t>(old.row())], old.column())
                                : QModelIndex());
    rows_ = reordered(std::move(rows_), order);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::vector<size_t> SongListModel::sortedOrder(const std::vector<SongRow>& rows) {
    // By the displayed text in the user's collation; equal texts keep their order. A counting
    // sort on the texts' ranks, so it is stable and takes time in proportion to the rows.
    const std::vector<int> rank = ranks_.Of(rows, sortColumn_);
    const int count = ranks_.Count();
    const bool ascending = sortOrder_ == Qt::AscendingOrder;
    std::vector<size_t> next(static_cast<size_t>(count) + 1, 0); // first place of each rank
    const auto key = [&](size_t row) {
        return static_cast<size_t>(ascending ? rank[row] : count - 1 - rank[row]);
    };
    for (size_t i = 0; i < rows.size(); ++i)
        ++next[key(i) + 1];
    std::partial_sum(next.begin(), next.end(), next.begin());
    std::vector<size_t> order(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        order[next[key(i)]++] = i;
    return order;
}

std::vector<int> SortRanks::Of(const std::vector<SongRow>& rows, int column) {
    std::vector<int> rank;
    rank.reserve(rows.size());
    if (column == column_ && locale_ == QLocale()) {
        for (const SongRow& row : rows) {
            const auto it = ranks_.constFind(row.Texts.Identity());
            if (it == ranks_.cend())
                break;
            rank.push_back(*it);
        }
        if (rank.size() == rows.size())
            return rank;
        rank.clear();
    }
    make(rows, column);
    for (const SongRow& row : rows)
        rank.push_back(ranks_.value(row.Texts.Identity()));
    return rank;
}

void SortRanks::make(const std::vector<SongRow>& rows, int column) {
    // Those ranked before that some row still shows (a catalog's rows, say) stay ranked, so
    // that a wider list later finds them.
    std::vector<SongTexts> texts;
    QHash<const void*, int> place;
    const auto add = [&](const SongTexts& t) {
        if (!place.contains(t.Identity())) {
            place.insert(t.Identity(), static_cast<int>(texts.size()));
            texts.push_back(t);
        }
    };
    for (const SongTexts& t : ranked_)
        if (t.Shared())
            add(t);
    for (const SongRow& row : rows)
        add(row.Texts);
    ranked_.clear();

    // Many rows show the same artist or genre: each distinct text is collated once.
    const auto c = static_cast<size_t>(column);
    QHash<QString, int> distinctPlace;
    std::vector<QString> distinct;
    std::vector<int> distinctOf(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        const QString& text = std::as_const(texts[i])[c];
        auto it = distinctPlace.find(text);
        if (it == distinctPlace.end()) {
            it = distinctPlace.insert(text, static_cast<int>(distinct.size()));
            distinct.push_back(text);
        }
        distinctOf[i] = *it;
    }
    locale_ = QLocale();
    QCollator collator(locale_);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(distinct.size());
    for (const QString& text : distinct)
        keys.push_back(collator.sortKey(text));
    std::vector<int> order(distinct.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    std::vector<int> distinctRank(distinct.size());
    int r = -1;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k == 0 || keys[size_t(order[k - 1])].compare(keys[size_t(order[k])]) != 0)
            ++r;
        distinctRank[size_t(order[k])] = r;
    }

    column_ = column;
    count_ = r + 1;
    ranks_.clear();
    ranks_.reserve(static_cast<qsizetype>(texts.size()));
    for (size_t i = 0; i < texts.size(); ++i)
        ranks_.insert(texts[i].Identity(), distinctRank[size_t(distinctOf[i])]);
    ranked_ = std::move(texts);
}

std::vector<SongRow> SongListModel::reordered(std::vector<SongRow> rows,
                                              const std::vector<size_t>& order) {
    std::vector<SongRow> sorted;
    sorted.reserve(rows.size());
    for (size_t i : order)
        sorted.push_back(std::move(rows[i]));
    return sorted;
}
