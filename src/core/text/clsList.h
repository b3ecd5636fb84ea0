#pragma once

#include <QString>
#include <vector>

// An ordered list of texts in the manner of a list box's item list. Playlists keep
// their members' track ids in one. Indices out of range throw std::out_of_range.
class clsList {
public:
    static constexpr int NoSelection = -99;

    void setSelected(int Index, bool vData);
    bool Selected(int Index) const { return Index == current_; }

    void AddItem(const QString& Item);
    QString Text() const;
    void setText(const QString& vNewValue);
    void Clear();
    int ListCount() const { return last_ + 1; }
    int ListIndex() const { return current_; }
    void setListIndex(int vNewValue);
    void RemoveItem(int Index);
    const QString& List(int Index) const;
    void setList(int Index, const QString& NewVal);
    QString GetWholeList(const QString& PrintNumbers = QString()) const;
    void BuBBleSort();
    void InsertionSort();
    void SwapValues(int Index1, int Index2);
    int LinearSearch(const QString& SearchFor, int CompareType = 0) const;
    int BinarySearch(const QString& SearchFor, int UpLimit, int DownLimit = NoSelection,
                     bool ValSearch = false) const;

    // OtherList is anything with Clear(), AddItem(text), ListCount() and List(i).
    template <typename ListControl> void CopyToList(ListControl& OtherList) const {
        OtherList.Clear();
        for (int i = 0; i <= last_; ++i)
            OtherList.AddItem(entries_[static_cast<size_t>(i)]);
    }
    template <typename ListControl> void CopyFromList(const ListControl& OtherList) {
        Clear();
        const int n = OtherList.ListCount();
        for (int i = 0; i < n; ++i)
            AddItem(OtherList.List(i));
    }

private:
    QString& at(int Index);
    const QString& at(int Index) const;

    // A new list has no storage at all; after Clear it holds one uncounted empty text.
    std::vector<QString> entries_;
    int last_ = -1;
    int current_ = NoSelection;
};
