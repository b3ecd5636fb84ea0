#pragma once

#include "songlist/SongRow.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QLocale>
#include <QString>
#include <array>
#include <memory>
#include <vector>

// The collation ranks of one column's texts, remembered by the texts' identity: the rows of
// one load share their texts, so the ranks made for one list serve every list made later
// from the same load, and a sort compares numbers instead of texts.
class SortRanks {
public:
    // The rank of each row's text in column: equal ranks for texts the collation holds
    // equal. Texts not ranked yet are ranked together with those ranked before that some
    // row still shows.
    std::vector<int> Of(const std::vector<SongRow>& rows, int column);
    // One more than the highest rank given.
    int Count() const { return count_; }

private:
    void make(const std::vector<SongRow>& rows, int column);

    int column_ = -1;
    QLocale locale_; // whose collation the ranks follow
    int count_ = 0;
    QHash<const void*, int> ranks_;
    // Held, so that no other texts take their identity; those of a list no longer shown go
    // when the next ranks are made.
    std::vector<SongTexts> ranked_;
};

// The rows of the song list `LV`, for a view to show. Knows no widgets: the bold text of
// ticked rows and the icon pictures are given as plain values through the roles below,
// and the window turns them into fonts and pictures.
class SongListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ColumnCount = int(Column::Count);
    enum Role { BoldRole = Qt::UserRole + 1, IconIndexRole };
    // How column's texts line up: sizes and bit rates right, years and track numbers in
    // the middle, the rest left.
    static Qt::Alignment Alignment(int column);

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Replaces every row at once: one reset for the view, however many rows.
    void SetRows(std::vector<SongRow> rows);
    const std::vector<SongRow>& Rows() const { return rows_; }
    void SetHeaderTexts(const std::array<QString, ColumnCount>& texts);
    // The one way to tick or untick a row: keeps the bold text equal to the tick.
    void SetRowTicked(int row, bool ticked);
    // The same for many rows, with one notice to the view and one TicksChanged.
    void SetRowsTicked(const std::vector<int>& rows, bool ticked);
    void SetAllTicked(bool ticked);

    // The ticked rows: how many, and their sizes in bytes (the tenth column read as a
    // number) added up.
    struct Totals {
        qint32 Count = 0;
        qint64 Bytes = 0;
        // Start Copy is offered only for ticked songs that have something to copy.
        bool CanCopy() const { return Count > 0 && Bytes > 0; }
    };
    Totals SelectionTotals() const;

    // A click on the header of column (0-based). Switches sorting on for good; the same
    // column again flips the direction, another column sorts it ascending. The rows are
    // ordered by the displayed text of that column, and rows set later take the same order.
    void HeaderClicked(int column);
    bool Sorting() const { return sorting_; }
    int SortColumn() const { return sortColumn_; }
    Qt::SortOrder SortOrder() const { return sortOrder_; }

signals:
    // A tick changed, by the mouse or by SetRowTicked.
    void TicksChanged();

private:
    // Row positions in the order of the sort column and direction.
    std::vector<size_t> sortedOrder(const std::vector<SongRow>& rows);
    static std::vector<SongRow> reordered(std::vector<SongRow> rows,
                                          const std::vector<size_t>& order);

    std::vector<SongRow> rows_;
    SortRanks ranks_;
    bool sorting_ = false;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::array<QString, ColumnCount> headers_ = {
        QStringLiteral("Title"), QStringLiteral("Artist"),   QStringLiteral("Album"),
        QStringLiteral("Genre"), QStringLiteral("FileSize"), QStringLiteral("Year"),
        QStringLiteral("Track"), QStringLiteral("BitRate"),  QStringLiteral("Source Path"),
        QStringLiteral("Bytes")};
};
