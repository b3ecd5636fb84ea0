// Size texts of the song list and the free-space text of the status bar.

#include "text/SizeTexts.h"

#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

namespace {
const QLocale english(QLocale::English, QLocale::UnitedStates);
const QLocale german(QLocale::German, QLocale::Germany);
const QString freeWord = QStringLiteral("Free");
constexpr qint64 KB = 1024;
constexpr qint64 MB = KB * 1024;
constexpr qint64 GB = MB * 1024;
constexpr double TB = 1024.0 * GB;
} // namespace

class TestSizeTexts : public QObject {
    Q_OBJECT

private slots:
    void fileSize_data() {
        QTest::addColumn<double>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0.00 Bytes";
        QTest::newRow("1023 stays in bytes, no grouping") << 1023.0 << "1023.00 Bytes";
        QTest::newRow("1024") << 1024.0 << "1.00 KB";
        QTest::newRow("1536") << 1536.0 << "1.50 KB";
        QTest::newRow("just under 1 MB") << 1048575.0 << "1.00 MB";
        QTest::newRow("4.5 MB") << 4718592.0 << "4.50 MB";
        QTest::newRow("1 GB") << 1073741824.0 << "1.00 GB";
        QTest::newRow("above 1023 KB goes up a unit") << 1023.5 * KB << "1.00 MB";
        QTest::newRow("1023 KB stays") << 1023.0 * KB << "1023.00 KB";
        QTest::newRow("1 TB") << TB << "1.00 TB";
        QTest::newRow("beyond TB has no unit name") << TB * 1024 << "1.00 ";
        QTest::newRow("fraction keeps the leading zero") << 0.5 << "0.50 Bytes";
        QTest::newRow("negative stays in bytes") << -1536.0 << "-1536.00 Bytes";
    }
    void fileSize() {
        QFETCH(double, size);
        QFETCH(QString, text);
        QCOMPARE(FormatFileSize(size, english), text);
    }

    void fileSizeNeverHangs() {
        // Must return, whatever it shows.
        QVERIFY(!FormatFileSize(std::numeric_limits<double>::infinity(), english).isEmpty());
        QVERIFY(!FormatFileSize(std::nan(""), english).isEmpty());
        QCOMPARE(FormatFileSize(std::numeric_limits<double>::max(), english).back(), u' ');
    }

    void freeBytes_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("500 MB") << qint64(524288000) << "500 MB Free";
        QTest::newRow("15 GB") << qint64(16106127360) << "15.00 GB Free";
        QTest::newRow("1.2 GB") << qint64(1288490189) << "1.20 GB Free";
        QTest::newRow("grouped GB") << qint64(1500000000000) << "1,396.98 GB Free";
        QTest::newRow("300 KB shows no digit") << 300 * KB << " MB Free";
        QTest::newRow("600 KB rounds up") << 600 * KB << "1 MB Free";
        QTest::newRow("exactly 1 GB") << GB << "1.00 GB Free";
        QTest::newRow("one byte under 1 GB, grouped MB") << GB - 1 << "1,024 MB Free";
    }
    void freeBytes() {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(FreeBytesText(bytes, freeWord, english), text);
    }

    void localeIsUsed() {
        QCOMPARE(FormatFileSize(1536, german), "1,50 KB");
        QCOMPARE(FormatFileSize(1023, german), "1023,00 Bytes");
        QCOMPARE(FreeBytesText(1500000000000, "frei", german), "1.396,98 GB frei");
        QCOMPARE(FreeBytesText(GB - 1, "frei", german), "1.024 MB frei");
        // The C locale turns grouping off by default; the free-space text groups anyway.
        QCOMPARE(FreeBytesText(1500000000000, freeWord, QLocale::c()), "1,396.98 GB Free");
        QCOMPARE(FormatFileSize(1023, QLocale::c()), "1023.00 Bytes");
    }

    void driveFree() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString text = DriveFreeText(dir.path(), freeWord, english);
        QVERIFY2(text.endsWith(" Free"), qPrintable(text));
        QVERIFY(text.contains(" MB ") || text.contains(" GB "));
        // An output folder that is not made yet counts for the volume it will be on.
        QCOMPARE(DriveFreeText(dir.filePath("not/made/yet"), freeWord, english).isEmpty(), false);
        QCOMPARE(DriveFreeText(QString(), freeWord, english), QString());

        // The status bar's text is the last look's, for the folder the box reads then.
        OutputFreeSpace shown;
        QCOMPARE(shown.Refresh(dir.path(), freeWord, english), text);
        QCOMPARE(shown.Text(), text);
        shown.Refresh(QString(), freeWord, english);
        QCOMPARE(shown.Text(), QString());
    }
};

QTEST_GUILESS_MAIN(TestSizeTexts)
#include "test_sizetexts.moc"
