// The ordered text list that holds playlist members.

#include "text/NumericPrefix.h"
#include "text/clsList.h"

#include <QTest>
#include <stdexcept>

namespace {

clsList of(std::initializer_list<const char*> items) {
    clsList list;
    for (const char* item : items)
        list.AddItem(QString::fromUtf8(item));
    return list;
}

QStringList entries(const clsList& list) {
    QStringList out;
    for (int i = 0; i < list.ListCount(); ++i)
        out.append(list.List(i));
    return out;
}

// Any object with the four list-box operations can take part in a copy.
struct FakeListBox {
    QStringList items{"old"};
    void Clear() { items.clear(); }
    void AddItem(const QString& s) { items.append(s); }
    int ListCount() const { return static_cast<int>(items.size()); }
    QString List(int i) const { return items.at(i); }
};

} // namespace

class TestClsList : public QObject {
    Q_OBJECT

private slots:
    void newAndClearedLists() {
        clsList fresh;
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, fresh.List(0)); // no storage yet
        clsList cleared = of({"a", "b"});
        cleared.setListIndex(1);
        cleared.Clear();
        for (const clsList* list : {&fresh, &cleared}) {
            QCOMPARE(list->ListCount(), 0);
            QCOMPARE(list->ListIndex(), -99);
            QCOMPARE(list->Text(), "");
            QCOMPARE(list->GetWholeList(), "");
            QCOMPARE(list->LinearSearch("a"), -1);
        }
        QCOMPARE(cleared.List(0), ""); // the uncounted spare slot
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, cleared.RemoveItem(0));
    }

    void selectionAndCurrentText() {
        clsList list = of({"p", "q", "r", "s"});
        list.setSelected(3, true);
        list.setSelected(2, false);
        QCOMPARE(list.ListIndex(), 3);
        QVERIFY(list.Selected(3));
        QCOMPARE(list.Text(), "s");
        list.setText("S");
        QCOMPARE(list.List(3), "S");
        list.setSelected(3, false);
        QCOMPARE(list.ListIndex(), -99);
        list.setText("ignored");
        QCOMPARE(entries(list), QStringList({"p", "q", "r", "S"}));
        list.setListIndex(10); // beyond the entries: ignored
        QCOMPARE(list.ListIndex(), -99);
        list.setListIndex(1);
        QCOMPARE(list.Text(), "q");
    }

    void removeItem() {
        clsList list = of({"p", "q", "r"});
        list.setListIndex(2);
        list.RemoveItem(0);
        QCOMPARE(entries(list), QStringList({"q", "r"}));
        QCOMPARE(list.ListIndex(), 2);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.RemoveItem(2));
        QCOMPARE(entries(list), QStringList({"q", "r"}));
        clsList one = of({"only"});
        one.setListIndex(0);
        one.RemoveItem(0);
        QCOMPARE(one.ListCount(), 0);
        QCOMPARE(one.ListIndex(), -99);
        one.AddItem("again");
        QCOMPARE(entries(one), QStringList({"again"}));
    }

    void wholeList() {
        QCOMPARE(of({"a", "b"}).GetWholeList("NUMBER. "), "1. a\r\n2. b");
        QCOMPARE(of({"", "x"}).GetWholeList(), "x");
        QCOMPARE(of({"a"}).GetWholeList("(NUMBER) "), "(1) a");
        QCOMPARE(of({"a", "b"}).GetWholeList("number "), "number a\r\nnumber b");
    }

    void sorts() {
        clsList bubble = of({"b", "B", "a", "ab", "a"});
        bubble.BuBBleSort();
        QCOMPARE(entries(bubble), QStringList({"B", "a", "a", "ab", "b"}));
        clsList selection = of({"b", "B", "a", "ab", "a"});
        selection.InsertionSort();
        QCOMPARE(entries(selection), QStringList({"B", "a", "a", "ab", "b"}));
        clsList single = of({"z"});
        single.BuBBleSort();
        single.InsertionSort();
        QCOMPARE(entries(single), QStringList({"z"}));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, single.SwapValues(0, 5));
    }

    void searches() {
        const clsList list = of({"abc", "ABC", "x"});
        QCOMPARE(list.LinearSearch("ABC"), 1);
        QCOMPARE(list.LinearSearch("ABC", 1), 0);
        QCOMPARE(of({"abc"}).LinearSearch("ABC"), -1);

        const clsList sorted = of({"a", "c", "e", "g", "i"});
        for (int i = 0; i < sorted.ListCount(); ++i)
            QCOMPARE(sorted.BinarySearch(sorted.List(i), 0), i);
        QCOMPARE(sorted.BinarySearch("zzz", 3, 3), 3); // one-index range: no comparison
        for (const char* missing : {"b", "d", "h", "0", "z"}) {
            const int found = sorted.BinarySearch(missing, 0); // ends, within the range
            QVERIFY(found >= 0 && found < sorted.ListCount());
        }
        const clsList numbers = of({"2", "10", " 33abc", "400"});
        QCOMPARE(numbers.BinarySearch("33", 0, -99, true), 2);
        QCOMPARE(numbers.BinarySearch("10", 0, -99, true), 1);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, numbers.BinarySearch("1", 0, 9));
    }

    void copiesWithAListBox() {
        FakeListBox box;
        of({"1", "2"}).CopyToList(box);
        QCOMPARE(box.items, QStringList({"1", "2"}));
        box.items = {"x", "y", "z"};
        clsList list = of({"gone"});
        list.CopyFromList(box);
        QCOMPARE(entries(list), QStringList({"x", "y", "z"}));
    }

    void growsPastSixteenBits() {
        clsList list;
        for (int i = 0; i < 40000; ++i)
            list.AddItem(QString::number(i));
        QCOMPARE(list.ListCount(), 40000);
        QCOMPARE(list.List(39999), "39999");
    }

    void numericPrefix() {
        QCOMPARE(NumericPrefix(u"  8716"), 8716.0);
        QCOMPARE(NumericPrefix(u"12abc"), 12.0);
        QCOMPARE(NumericPrefix(u"-3.5x"), -3.5);
        QCOMPARE(NumericPrefix(u"2e3"), 2000.0);
        QCOMPARE(NumericPrefix(u""), 0.0);
        QCOMPARE(NumericPrefix(u"abc"), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestClsList)
#include "test_clslist.moc"
