#include "settings/Settings.h"
#include "songlist/SongListModel.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>";
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// False when the permissions do not stop this user (root).
bool SetReadOnly(const QString& path, bool readOnly) {
    const auto r = QFile::ReadOwner | QFile::ExeOwner;
    QFile::setPermissions(path, readOnly ? r : r | QFile::WriteOwner);
    QFile probe(path + "/probe"_L1);
    return !readOnly || !(probe.open(QIODevice::WriteOnly) && probe.remove());
}

struct Fixture {
    QTemporaryDir dir;
    QString ini = dir.filePath(u"store/Melvo.ini"_s);
    SettingsStore store{ini};
    QString cfg = dir.filePath(u"config.cfg"_s);
    QString get(const QString& key) const {
        return store.GetSetting(u"Melvo"_s, u"Settings"_s, key, u"<none>"_s);
    }
    void set(const QString& key, const QString& value) {
        QVERIFY(store.SaveSetting(u"Melvo"_s, u"Settings"_s, key, value));
    }
};

WindowSettings Preset() {
    return {u"preset"_s,
            u"preset"_s,
            true,
            ExistingFile::Skip,
            {100, 200, 300, 400, 500, 600, 700, 800, 900}};
}

bool Always(const QString&) {
    return true;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void storeKeepsText() {
        Fixture f;
        for (const QString& v : {QString(), u"%a\\%b\\%t"_s, u"C:\\a, b,c"_s, u"\"q\""_s,
                                 u"  padded "_s, u"Grüße ♫"_s, u"@Variant(x)"_s, u"007"_s}) {
            f.set(u"Output Folder"_s, v);
            QCOMPARE(SettingsStore(f.ini).GetSetting(u"Melvo"_s, u"Settings"_s, u"Output Folder"_s),
                     v);
        }
        // Hand-edited, with a comma Qt would have quoted.
        WriteAll(f.ini, "[Melvo]\nSettings\\Output%20Folder=/a,b c\n");
        QCOMPARE(f.get(u"output folder"_s), u"/a,b c"_s);
        QCOMPARE(f.get(u"Absent"_s), u"<none>"_s);
    }

    void storeIgnoresCase() {
        Fixture f;
        QVERIFY(f.store.SaveSetting(u"Melvo"_s, u"settings"_s, u"language"_s, u"german"_s));
        QCOMPARE(f.get(u"Language"_s), u"german"_s);
        f.set(u"LANGUAGE"_s, u"spanish"_s);
        QCOMPARE(f.store.GetSetting(u"melvo"_s, u"settings"_s, u"language"_s), u"spanish"_s);
        f.set(u"Output Folder"_s, u"x"_s);

        // One group, as first spelled, holding one value per key.
        QSettings raw(f.ini, QSettings::IniFormat);
        QCOMPARE(raw.allKeys(),
                 (QStringList{u"Melvo/settings/Output Folder"_s, u"Melvo/settings/language"_s}));
    }

    void storeRefusesWhatItCannotKeep() {
        Fixture f;
        QVERIFY(!f.store.SaveSetting(u"Melvo"_s, u"Settings"_s, u"a/b"_s, u"v"_s));
        QVERIFY(!f.store.SaveSetting(u"Melvo"_s, u"..\\x"_s, u"k"_s, u"v"_s));
        QVERIFY(!QFile::exists(f.ini));
        WriteAll(f.dir.filePath(u"file"_s), "x");
        SettingsStore blocked(f.dir.filePath(u"file/Melvo.ini"_s));
        QVERIFY(!blocked.SaveSetting(u"Melvo"_s, u"Settings"_s, u"k"_s, u"v"_s));
    }

    void hostileStoredFilesReadAsDefaults() {
        Fixture f;
        QVERIFY(QDir().mkpath(f.dir.filePath(u"store"_s)));
        // 50,000 nested lists (900 KB) in one value: Qt's variant decoder would overflow
        // the stack on it, whichever key is read.
        QByteArray nested = "[Melvo]\nSettings\\Language=german\nSettings\\x=@Variant(";
        for (int i = 0; i < 50000; ++i)
            nested += "\\0\\0\\0\\t\\0\\0\\0\\x1";
        nested += ")\n";
        WriteAll(f.ini, nested);
#ifdef Q_OS_UNIX
        // FIFOs as config.cfg and as the store's lock file: nothing waits for a writer.
        QCOMPARE(mkfifo(QFile::encodeName(f.cfg).constData(), 0600), 0);
        QCOMPARE(mkfifo(QFile::encodeName(f.ini + ".lock"_L1).constData(), 0600), 0);
#endif
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"not read .*serialised object"_s));
        QTest::failOnWarning(QRegularExpression(u"."_s)); // nothing else, and that once
        WindowSettings s = Preset();
        LoadSettings(f.store, f.cfg, s, Always);
        QCOMPARE(f.get(u"Language"_s), u"<none>"_s);
        QCOMPARE(s.OutputFormat, u"%a\\%b\\%t"_s);
        QCOMPARE(s.ColumnWidths, Preset().ColumnWidths);

        // The first save moves the file aside, the user's bytes whole, and starts afresh.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"Melvo.ini moved aside"_s));
#ifdef Q_OS_UNIX
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"Melvo.ini.lock moved aside"_s));
#endif
        QVERIFY(SaveSettings(f.store, f.cfg, Preset()));
        QCOMPARE(ReadAll(f.ini + ".damaged"_L1), nested);
        QCOMPARE(f.get(u"OutputString"_s), u"preset"_s);
        QCOMPARE(ReadAll(f.cfg), "100,200,300,400,500,600,700,800,900\r\n");

        // Each of these values would be read as an object, by escapes, quotes or a
        // continued line; the whole file then reads as empty. A value that is plainly a text
        // (Qt writes one starting with '@' as "@@") keeps the file.
        const QByteArray v = "\\0\\0\\0\\x2\\0\\0\\0\\a)"; // the number 7
        const QList<std::pair<QByteArray, bool>> values{
            {"@DateTime(" + v, false},    {"a, \"\" @Variant(" + v, false},
            {"\\x40Variant(" + v, false}, {"\\100Variant(" + v, false},
            {"\\\n@Variant(" + v, false}, {"@\\x56\\x61riant(" + v, false},
            {"@@Variant(" + v, true},     {"\"Rock, @Home\"", true},
            {"@Rect(1 2 3 4)", true}};
        for (const auto& [value, kept] : values) {
            WriteAll(f.ini, "[Melvo]\nSettings\\Language=german\nSettings\\x=" + value + "\n");
            if (!kept)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"not read"_s));
            QCOMPARE(SettingsStore(f.ini).GetSetting(u"Melvo"_s, u"Settings"_s, u"Language"_s),
                     kept ? u"german"_s : QString());
        }
        // Kept, but only a text is taken for one.
        QCOMPARE(f.get(u"x"_s), u"<none>"_s); // @Rect(1 2 3 4)
        WriteAll(f.ini, "[Melvo]\nSettings\\x=@@Variant(x)\n");
        QCOMPARE(f.get(u"x"_s), u"@Variant(x)"_s);

        // Larger than any store of ours: not read (217 MB took 45 s and 1.28 GB).
        WriteAll(f.ini, "[Melvo]\nSettings\\Language=german\nSettings\\x=" +
                            QByteArray(SettingsStore::MaxFileBytes, 'a') + "\n");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"larger than"_s));
        QCOMPARE(SettingsStore(f.ini).GetSetting(u"Melvo"_s, u"Settings"_s, u"Language"_s), u""_s);
#ifdef Q_OS_UNIX
        // A FIFO as the store itself.
        QVERIFY(QFile::remove(f.ini));
        QCOMPARE(mkfifo(QFile::encodeName(f.ini).constData(), 0600), 0);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"not read"_s));
        QCOMPARE(SettingsStore(f.ini).GetSetting(u"Melvo"_s, u"Settings"_s, u"Language"_s), u""_s);
#endif
    }

    void userStoreLocation() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
        QTemporaryDir home;
        const QByteArray old = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        const bool saved =
            SettingsStore::ForUser().SaveSetting(u"Melvo"_s, u"Settings"_s, u"Unattend"_s, u"2"_s);
        qputenv("XDG_CONFIG_HOME", old);
        QVERIFY(saved);
        QCOMPARE(ReadAll(home.filePath(u"Melvo/Melvo.ini"_s)), "[Melvo]\nSettings\\Unattend=2\n");
#endif
    }

    void firstRunDefaults() {
        Fixture f;
        WindowSettings s = Preset();
        LoadSettings(f.store, f.cfg, s);
        QCOMPARE(s.OutputFolder, DefaultOutputFolder());
        QVERIFY(!s.OutputFolder.isEmpty());
        QCOMPARE(s.OutputFormat, u"%a\\%b\\%t"_s);
        QCOMPARE(s.Unattended, false);
        QCOMPARE(s.Rule, ExistingFile::Overwrite);
        QCOMPARE(s.ColumnWidths, Preset().ColumnWidths);
    }

    void saveAndLoadAgain() {
        Fixture f;
        WindowSettings out{u"/music/out"_s,
                           u"%g\\%t"_s,
                           true,
                           ExistingFile::Skip,
                           {2000, 1234.5, 0, 15.25, 1000, 1000, 1000, 1000, 3528.4}};
        QVERIFY(SaveSettings(f.store, f.cfg, out));
        QCOMPARE(ReadAll(f.cfg), "2000,1234.5,0,15.25,1000,1000,1000,1000,3528\r\n");

        WindowSettings in{{}, {}, false, ExistingFile::Overwrite, {}};
        LoadSettings(f.store, f.cfg, in, Always);
        out.ColumnWidths[Column::SourcePath] = 3528;
        QCOMPARE(std::tie(in.OutputFolder, in.OutputFormat, in.Unattended, in.Rule),
                 std::tie(out.OutputFolder, out.OutputFormat, out.Unattended, out.Rule));
        QCOMPARE(in.ColumnWidths, out.ColumnWidths);

        // Neither option selected: the stored rule stays; the language is not ours.
        out.Rule = ExistingFile::Ask;
        QVERIFY(SaveSettings(f.store, f.cfg, out));
        QCOMPARE(f.get(u"Unattend"_s), u"2"_s);
        QCOMPARE(f.get(u"Language"_s), u"<none>"_s);
    }

    void loadReplacesUnusableValues() {
        Fixture f;
        f.set(u"Output Folder"_s, u"/gone"_s);
        f.set(u"OutputString"_s, {});
        f.set(u"UnattendSwitch"_s, u"7"_s);
        f.set(u"Unattend"_s, u"3"_s);
        QString asked;
        WindowSettings s = Preset();
        LoadSettings(f.store, f.cfg, s, [&](const QString& p) { return asked = p, false; });
        QCOMPARE(asked, u"/gone"_s);
        QCOMPARE(s.OutputFolder, DefaultOutputFolder());
        QCOMPARE(s.OutputFormat, u"%a\\%b\\%t"_s);
        QCOMPARE(std::pair(s.Unattended, s.Rule), std::pair(true, ExistingFile::Skip));

        f.set(u"Output Folder"_s, {});
        f.set(u"UnattendSwitch"_s, u"x"_s);
        LoadSettings(f.store, f.cfg, s, Always);
        QCOMPARE(s.OutputFolder, DefaultOutputFolder());
        QCOMPARE(s.Unattended, false);
    }

    void readColumnWidths_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<double>>("widths");
        const QList<double> none{100, 200, 300, 400, 500, 600, 700, 800, 900};
        QTest::newRow("five") << "1,2,3,4,5\r\n"_ba
                              << QList<double>{1, 2, 3, 4, 5, 600, 700, 800, 900};
        QTest::newRow("bad field")
            << "1,x,3,,5,6,7,8,9"_ba << QList<double>{1, 200, 3, 400, 5, 6, 7, 8, 9};
        QTest::newRow("blanks, extra")
            << " 1.5 ,2,3,4,5,6,7,8,9,10"_ba << QList<double>{1.5, 2, 3, 4, 5, 6, 7, 8, 9};
        QTest::newRow("first line")
            << "1,2\n3,4,5,6,7,8,9"_ba << QList<double>{1, 2, 300, 400, 500, 600, 700, 800, 900};
        QTest::newRow("unusable") << "inf,nan,-5,1e3,0,6,7,8,9"_ba
                                  << QList<double>{100, 200, 300, 1000, 0, 6, 7, 8, 9};
        QTest::newRow("empty") << QByteArray() << none;
        QTest::newRow("missing") << "<missing>"_ba << none;
    }

    void readColumnWidths() {
        QFETCH(QByteArray, content);
        QFETCH(QList<double>, widths);
        Fixture f;
        if (content != "<missing>")
            WriteAll(f.cfg, content);
        WindowSettings s = Preset();
        LoadSettings(f.store, f.cfg, s, Always);
        QCOMPARE(QList<double>(s.ColumnWidths.begin(), s.ColumnWidths.end()), widths);
    }

    void numberForms_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<double>("width");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 0 << 2000.0 << u"2000"_s;
        QTest::newRow("fraction") << 0 << 1234.5 << u"1234.5"_s;
        QTest::newRow("third") << 1 << 1.0 / 3 << u"0.3333333"_s;
        QTest::newRow("seven digits") << 2 << 123456.78 << u"123456.8"_s;
        QTest::newRow("float noise") << 3 << 0.1 << u"0.1"_s;
        QTest::newRow("small") << 4 << 0.00001 << u"0.00001"_s;
        QTest::newRow("large") << 5 << 123456789.0 << u"123456800"_s;
        QTest::newRow("negative") << 6 << -2.5 << u"-2.5"_s;
        QTest::newRow("ninth 2.5") << 8 << 2.5 << u"2"_s;
        QTest::newRow("ninth 3.5") << 8 << 3.5 << u"4"_s;
        QTest::newRow("ninth -0.4") << 8 << -0.4 << u"0"_s;
    }

    void numberForms() {
        QFETCH(int, field);
        QFETCH(double, width);
        QFETCH(QString, text);
        std::array<double, 9> w{};
        w[size_t(field)] = width;
        QLocale::setDefault(QLocale::German); // its decimal comma would split a field
        const QStringList fields = ConfigLine(w).split(u',');
        QLocale::setDefault(QLocale::c());
        QCOMPARE(fields.size(), 9);
        QCOMPARE(fields[field], text);
    }

    void nearestExistingFolder() {
        Fixture f;
        const QString native = QDir::toNativeSeparators(f.dir.path());
        QCOMPARE(NearestExistingFolder(native), native);
        QCOMPARE(NearestExistingFolder(QDir::toNativeSeparators(f.dir.filePath(u"a/b/c"_s))),
                 native);
        QCOMPARE(NearestExistingFolder(u""_s), u""_s);
        // Nothing of it there (an unplugged drive): the picker opens where it likes.
        QCOMPARE(NearestExistingFolder(native, [](const QString&) { return false; }), u""_s);
    }

    void configFileLocation() {
        QTemporaryDir dir;
        const QString program = dir.filePath(u"program"_s), user = dir.filePath(u"user"_s);
        const QString inProgram = program + "/config.cfg"_L1, inUser = user + "/config.cfg"_L1;
        QVERIFY(QDir().mkpath(program));
        // Linux and macOS keep it with the user's files even where the program's folder
        // could be written; Windows beside the program.
        QCOMPARE(ConfigFilePath(program, user, ConfigHome::UserFolder), inUser);
        QCOMPARE(ConfigFilePath(program, user),
                 PlatformConfigHome == ConfigHome::BesideProgram ? inProgram : inUser);
        const auto beside = [&] {
            return ConfigFilePath(program, user, ConfigHome::BesideProgram);
        };
        QCOMPARE(beside(), inProgram);
        QCOMPARE(ConfigFilePath(dir.filePath(u"absent"_s), user, ConfigHome::BesideProgram),
                 inUser);

        // The user folder is made by the save and read back by the load.
        Fixture f;
        WindowSettings s = Preset(), in;
        QVERIFY(SaveSettings(f.store, ConfigFilePath({}, user), s));
        LoadSettings(f.store, ConfigFilePath({}, user), in, Always);
        QCOMPARE(in.ColumnWidths, s.ColumnWidths);

        WriteAll(inProgram, "1\r\n");
        if (!SetReadOnly(program, true)) {
            SetReadOnly(program, false);
            QSKIP("permissions do not bind this user (root)");
        }
        // No new files there, but the writable config.cfg is rewritten in place.
        const QString writableFile = beside();
        const bool saved = SaveSettings(f.store, writableFile, s);
        const QByteArray written = ReadAll(inProgram);
        QFile::setPermissions(inProgram, QFile::ReadOwner);
        const QString readOnlyFile = beside();
        SetReadOnly(program, false);
        QFile::remove(inProgram);
        SetReadOnly(program, true);
        const QString noFile = beside();
        SetReadOnly(program, false);

        QCOMPARE(writableFile, inProgram);
        QVERIFY(saved);
        QCOMPARE(written, "100,200,300,400,500,600,700,800,900\r\n");
        QCOMPARE(readOnlyFile, inUser);
        QCOMPARE(noFile, inUser);
    }

    void saveCarriesOnAfterAFailure() {
        Fixture f;
        WriteAll(f.dir.filePath(u"file"_s), "x");
        const WindowSettings s = Preset();
        QVERIFY(!SaveSettings(f.store, f.dir.filePath(u"file/config.cfg"_s), s));
        QCOMPARE((QStringList{f.get(u"Output Folder"_s), f.get(u"OutputString"_s),
                              f.get(u"UnattendSwitch"_s), f.get(u"Unattend"_s)}),
                 (QStringList{u"preset"_s, u"preset"_s, u"1"_s, u"2"_s}));

        SettingsStore blocked(f.dir.filePath(u"file/Melvo.ini"_s));
        QVERIFY(!SaveSettings(blocked, f.cfg, s));
        QCOMPARE(ReadAll(f.cfg), "100,200,300,400,500,600,700,800,900\r\n");

        // A config.cfg that cannot be replaced is left whole.
        QFile::setPermissions(f.cfg, QFile::ReadOwner);
        if (!QFile(f.cfg).open(QIODevice::Append)) {
            QVERIFY(!SaveSettings(f.store, f.cfg, WindowSettings{}));
            QCOMPARE(ReadAll(f.cfg), "100,200,300,400,500,600,700,800,900\r\n");
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
