// The language table: the texts of each language, and what a load does and does not change.

#include "settings/LanguageTable.h"

#include <QTest>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace {

// The numbers that carry a text, written out here so that a dropped row shows up.
constexpr int Listed[] = {0,   1,   2,   3,   7,   8,   9,   10,  11,  13,  14,  15,  16,  22,  23,
                          27,  28,  29,  30,  32,  33,  34,  35,  36,  37,  38,  39,  42,  43,  44,
                          45,  46,  48,  51,  53,  54,  55,  56,  57,  58,  61,  62,  63,  64,  65,
                          66,  68,  69,  70,  71,  72,  73,  77,  78,  79,  80,  81,  82,  84,  85,
                          87,  88,  89,  90,  91,  92,  93,  94,  96,  97,  98,  99,  100, 101, 102,
                          103, 104, 110, 111, 112, 113, 114, 115, 116, 117, 118, 130, 131, 140, 141,
                          142, 143, 144, 145, 146, 150, 151, 152, 153, 154, 155, 156};

LanguageTable loaded(const QString& key) {
    LanguageTable table;
    table.LoadLanguage(key);
    return table;
}

QStringList allEntries(const LanguageTable& table) {
    QStringList entries;
    for (int n = 0; n < LanguageTable::SlotCount; ++n)
        entries.append(table.Entry(n));
    return entries;
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private slots:
    void texts_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* key, int number, const QString& text) {
            QTest::addRow("%s %d", key, number) << QString::fromLatin1(key) << number << text;
        };
        row("english", 48,
            u"The File below already exists on the destination drive, "
            u"Would you like to Overwrite it?\""_s);
        row("english", 54, u"Transfer Started: "_s);
        row("english", 64, u"Status: Loading Songs\u2026"_s);
        row("english", 98, u"Example:<OutputDir>\\"_s);
        row("german", 10, u"Fertig"_s);
        row("german", 15, u"Fertig"_s);
        row("german", 30, u"Nein zu allen "_s);
        row("german", 35, u"Beenden"_s);
        row("german", 79, u"Beenden"_s);
        row("german", 54, u"Transfer gestartet: "_s);
        row("german", 91, u"Dateigr\u00f6\u00dfe"_s);
        row("german", 93, u"Bewertung"_s);
        row("german", 100, u"\u00dcbertragung mit Fehlern abgeschlossen"_s);
        row("spanish", 9, u"Canelar"_s);
        row("spanish", 35, u"Salir"_s);
        row("spanish", 79, u"Salir"_s);
        row("spanish", 54, u"Transferencia iniciada:"_s);
        row("spanish", 65, u"Todas las Canciones"_s);
        row("spanish", 96, u"volver al orgininal"_s);
    }
    void texts() {
        QFETCH(QString, key);
        QFETCH(int, number);
        QFETCH(QString, text);
        QCOMPARE(loaded(key).Entry(number), text);
    }

    void everyListedNumberIsFilledAndNoOther() {
        for (const QString& key : {u"english"_s, u"german"_s, u"spanish"_s}) {
            const LanguageTable table = loaded(key);
            QCOMPARE(table.Key(), key);
            for (int n = 0; n < LanguageTable::SlotCount; ++n) {
                const bool listed =
                    std::find(std::begin(Listed), std::end(Listed), n) != std::end(Listed);
                QVERIFY2(table.Entry(n).isEmpty() != listed,
                         qPrintable(u"%1 entry %2"_s.arg(key).arg(n)));
            }
        }
    }

    void unknownKeysChangeNothing() {
        const QString keys[] = {u"German"_s, u"ENGLISH"_s, u"english "_s, u""_s, u"french"_s};
        LanguageTable table;
        for (const QString& key : keys)
            QVERIFY(!table.LoadLanguage(key));
        QCOMPARE(allEntries(table), QStringList(LanguageTable::SlotCount));

        QVERIFY(table.LoadLanguage(u"english"_s));
        const QStringList english = allEntries(table);
        for (const QString& key : keys)
            QVERIFY(!table.LoadLanguage(key));
        QCOMPARE(allEntries(table), english);
    }

    void laterLoadReplacesEveryEntry() {
        LanguageTable table = loaded(u"english"_s);
        for (const QString& key : {u"german"_s, u"spanish"_s, u"english"_s}) {
            QVERIFY(table.LoadLanguage(key));
            QCOMPARE(table.Key(), key);
            QCOMPARE(allEntries(table), allEntries(loaded(key)));
        }
    }

    void outOfRangeNumbersGiveEmptyText() {
#ifdef QT_NO_DEBUG
        const LanguageTable table = loaded(u"english"_s);
        for (const int n : {-1, LanguageTable::SlotCount, INT_MIN, INT_MAX})
            QVERIFY(table.Entry(n).isEmpty());
#else
        QSKIP("Q_ASSERT stops a debug build on an out-of-range number");
#endif
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "test_language.moc"
