#include "text/clsList.h"

#include "text/NumericPrefix.h"

#include <stdexcept>
#include <utility>

QString& clsList::at(int Index) {
    if (Index < 0 || static_cast<size_t>(Index) >= entries_.size())
        throw std::out_of_range("clsList: index out of range");
    return entries_[static_cast<size_t>(Index)];
}

const QString& clsList::at(int Index) const {
    return const_cast<clsList*>(this)->at(Index);
}

void clsList::setSelected(int Index, bool vData) {
    if (vData)
        current_ = Index;
    else if (current_ == Index)
        current_ = NoSelection;
}

void clsList::AddItem(const QString& Item) {
    ++last_;
    if (entries_.size() <= static_cast<size_t>(last_))
        entries_.push_back(Item);
    else
        entries_[static_cast<size_t>(last_)] = Item;
}

QString clsList::Text() const {
    return current_ >= 0 ? at(current_) : QString();
}

void clsList::setText(const QString& vNewValue) {
    if (current_ >= 0)
        at(current_) = vNewValue;
}

void clsList::Clear() {
    entries_.assign(1, QString());
    last_ = -1;
    current_ = NoSelection;
}

void clsList::setListIndex(int vNewValue) {
    if (vNewValue <= static_cast<int>(entries_.size()) - 1)
        current_ = vNewValue;
}

void clsList::RemoveItem(int Index) {
    // Only counted entries can be removed; the spare slot left by Clear is not one.
    if (Index < 0 || Index > last_)
        throw std::out_of_range("clsList: index out of range");
    at(Index).clear();
    for (int i = Index + 1; i <= last_; ++i)
        entries_[static_cast<size_t>(i - 1)] = std::move(entries_[static_cast<size_t>(i)]);
    if (last_ == 0) {
        last_ = -1;
        current_ = NoSelection;
        return;
    }
    entries_.pop_back();
    --last_;
}

const QString& clsList::List(int Index) const {
    return at(Index);
}

void clsList::setList(int Index, const QString& NewVal) {
    at(Index) = NewVal;
}

QString clsList::GetWholeList(const QString& PrintNumbers) const {
    QString result;
    for (int i = 0; i <= last_; ++i) {
        QString prefix = PrintNumbers;
        prefix.replace(QStringLiteral("NUMBER"), QString::number(i + 1));
        if (result.isEmpty())
            result = prefix + entries_[static_cast<size_t>(i)];
        else
            result += QStringLiteral("\r\n") + prefix + entries_[static_cast<size_t>(i)];
    }
    return result;
}

void clsList::BuBBleSort() {
    int exchanges = 0;
    do {
        exchanges = 0;
        for (int i = 0; i < last_; ++i) {
            if (entries_[static_cast<size_t>(i)] > entries_[static_cast<size_t>(i + 1)]) {
                SwapValues(i, i + 1);
                ++exchanges;
            }
        }
    } while (exchanges > 0);
}

void clsList::InsertionSort() {
    for (int i = 0; i < last_; ++i) {
        int m = i;
        for (int j = i; j <= last_; ++j)
            if (entries_[static_cast<size_t>(m)] > entries_[static_cast<size_t>(j)])
                m = j;
        SwapValues(i, m);
    }
}

void clsList::SwapValues(int Index1, int Index2) {
    std::swap(at(Index1), at(Index2));
}

int clsList::LinearSearch(const QString& SearchFor, int CompareType) const {
    const auto cs = CompareType == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int i = 0; i <= last_; ++i)
        if (SearchFor.compare(entries_[static_cast<size_t>(i)], cs) == 0)
            return i;
    return -1;
}

int clsList::BinarySearch(const QString& SearchFor, int UpLimit, int DownLimit,
                          bool ValSearch) const {
    if (DownLimit == NoSelection)
        DownLimit = last_;
    if (UpLimit < 0 || DownLimit < UpLimit || DownLimit > last_)
        throw std::out_of_range("clsList: search range out of range");
    // Each step keeps a strictly smaller range, so a search for a missing text ends
    // on a one-index range and returns that index.
    while (UpLimit != DownLimit) {
        const int middle = UpLimit + (DownLimit - UpLimit) / 2;
        const QString& entry = entries_[static_cast<size_t>(middle)];
        int order = 0;
        if (ValSearch) {
            const double a = NumericPrefix(SearchFor), b = NumericPrefix(entry);
            order = a < b ? -1 : (a > b ? 1 : 0);
        } else {
            order = SearchFor.compare(entry);
        }
        if (order == 0)
            return middle;
        if (order < 0)
            DownLimit = middle;
        else
            UpLimit = middle + 1;
    }
    return UpLimit;
}
