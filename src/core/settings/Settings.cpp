#include "settings/Settings.h"

#include "platform/PlayerPath.h"
#include "platform/RegularFile.h"
#include "settings/OutputFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <cmath>

namespace {

const QString& App = ApplicationName;
const QString& Section = SettingsSection;
const QString KeyFolder = QStringLiteral("Output Folder");
const QString KeyFormat = QStringLiteral("OutputString");
const QString KeySwitch = QStringLiteral("UnattendSwitch");
const QString KeyRule = QStringLiteral("Unattend");
const QString KeyGeometry = QStringLiteral("WindowGeometry");
const QString ConfigFileName = QStringLiteral("config.cfg");

// Nobody writes a longer line; a damaged or foreign file is not read whole.
constexpr qint64 MaxLineBytes = 64 * 1024;

QString myMusicIn(const QString& folder) {
    return QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral("My Music")));
}

// Permission bits and ACLs tell only part of the story on some platforms; trying does not.
bool canCreateFilesIn(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".melvo-probe-XXXXXX")));
    return probe.open();
}

bool canWriteFile(const QString& path) {
    // Opening a FIFO to write would wait for a reader.
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::Append);
}

// Plain decimal with at most seven significant digits, as a float holds it: no exponent,
// no trailing zeros, '.' whatever the locale.
QString sevenDigits(double width) {
    const double value = static_cast<float>(width);
    if (!std::isfinite(value) || value == 0)
        return QStringLiteral("0");
    // "d.dddddde±x" from Qt's locale-free conversion, correctly rounded.
    const QString sci = QString::number(std::fabs(value), 'e', 6);
    const qsizetype e = sci.indexOf(QLatin1Char('e'));
    QString digits = sci.left(1) + sci.mid(2, e - 2);
    const int exponent = sci.mid(e + 1).toInt();
    while (digits.endsWith(QLatin1Char('0')))
        digits.chop(1);

    QString out;
    if (exponent < 0) {
        out = QStringLiteral("0.") + QString(-exponent - 1, QLatin1Char('0')) + digits;
    } else if (digits.size() <= exponent + 1) {
        out = digits + QString(exponent + 1 - digits.size(), QLatin1Char('0'));
    } else {
        out = digits.left(exponent + 1) + QLatin1Char('.') + digits.mid(exponent + 1);
    }
    return value < 0 ? QLatin1Char('-') + out : out;
}

// A whole number, halves to the even neighbour.
QString wholeNumber(double width) {
    if (!std::isfinite(width))
        return QStringLiteral("0");
    return QString::number(std::nearbyint(width) + 0.0, 'f', 0); // + 0.0 drops "-0"
}

void readColumnWidths(const QString& path, std::array<double, 9>& widths) {
    // A FIFO or a device in its place is not waited on, a large file not read whole.
    QFile file;
    if (!OpenRegularFile(file, path).isEmpty())
        return;
    QByteArray line = file.read(MaxLineBytes);
    if (const qsizetype end = line.indexOf('\n'); end >= 0)
        line.truncate(end);
    const QStringList fields = QString::fromLatin1(line).split(QLatin1Char(','));
    const qsizetype n = std::min<qsizetype>(fields.size(), qsizetype(widths.size()));
    for (qsizetype k = 0; k < n; ++k) {
        bool ok = false;
        const double w = fields[k].trimmed().toDouble(&ok);
        // A width the list cannot take is as good as no width.
        if (ok && std::isfinite(w) && w >= 0)
            widths[size_t(k)] = w;
    }
}

bool writeConfigFile(const QString& path, const std::array<double, 9>& widths) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QSaveFile file(path);
    // Only used when the folder takes no new files but the file itself may be rewritten;
    // never into a FIFO or a device, which would wait for a reader. A new file replaces them.
    file.setDirectWriteFallback(!info.exists() || info.isFile());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(ConfigLine(widths).toLatin1() + "\r\n");
    return file.commit();
}

} // namespace

QString DefaultOutputFolder() {
#ifdef Q_OS_WIN
    const QString music;
#else
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
#endif
    if (!music.isEmpty())
        return QDir::toNativeSeparators(music);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return myMusicIn(documents.isEmpty() ? QDir::homePath() : documents);
}

QString ConfigFilePath(const QString& programFolder, const QString& userConfigFolder,
                       ConfigHome home) {
    if (home == ConfigHome::BesideProgram && !programFolder.isEmpty()) {
        const QString inProgram = QDir(programFolder).filePath(ConfigFileName);
        const bool usable = QFileInfo::exists(inProgram) ? canWriteFile(inProgram)
                                                         : canCreateFilesIn(programFolder);
        if (usable)
            return inProgram;
    }
    return QDir(userConfigFolder).filePath(ConfigFileName);
}

QString ConfigFilePath(const QString& programFolder) {
    return ConfigFilePath(programFolder, SettingsStore::UserFolder());
}

QString DebugLogPath(const QString& configPath) {
    return QFileInfo(configPath).dir().filePath(QStringLiteral("debug.txt"));
}

bool FolderExists(const QString& path) {
    return QFileInfo(path).isDir();
}

QString NearestExistingFolder(const QString& nativePath,
                              const std::function<bool(const QString&)>& folderExists) {
    if (nativePath.trimmed().isEmpty())
        return {};
    QString folder =
        QDir::cleanPath(QDir(QDir::fromNativeSeparators(ExpandHome(nativePath))).absolutePath());
    while (!folderExists(folder)) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder) // a root that is not there (a drive unplugged)
            return {};
        folder = parent;
    }
    return QDir::toNativeSeparators(folder);
}

QByteArray LoadWindowGeometry(const SettingsStore& store) {
    const auto decoded =
        QByteArray::fromBase64Encoding(store.GetSetting(App, Section, KeyGeometry).toLatin1(),
                                       QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? *decoded : QByteArray();
}

bool SaveWindowGeometry(SettingsStore& store, const QByteArray& geometry) {
    return store.SaveSetting(App, Section, KeyGeometry, QString::fromLatin1(geometry.toBase64()));
}

void LoadSettings(const SettingsStore& store, const QString& configPath, WindowSettings& controls,
                  const std::function<bool(const QString&)>& folderExists) {
    const QString defaultFolder = DefaultOutputFolder();
    QString folder = store.GetSetting(App, Section, KeyFolder, defaultFolder);
    const QString rule = store.GetSetting(App, Section, KeyRule, QStringLiteral("1"));

    controls.OutputFormat = store.GetSetting(App, Section, KeyFormat, DefaultOutputFormat);
    if (controls.OutputFormat.isEmpty())
        controls.OutputFormat = DefaultOutputFormat;

    if (folder.isEmpty() || !folderExists(ExpandHome(folder)))
        folder = defaultFolder;
    controls.OutputFolder = folder;

    // Text that is not a number counts as 0; numbers other than 0 and 1 leave the box.
    const int unattended =
        store.GetSetting(App, Section, KeySwitch, QStringLiteral("0")).trimmed().toInt();
    if (unattended == 0)
        controls.Unattended = false;
    else if (unattended == 1)
        controls.Unattended = true;

    const int ruleNumber = rule.trimmed().toInt();
    if (ruleNumber == 1 || ruleNumber == 2)
        controls.Rule = static_cast<ExistingFile>(ruleNumber);

    readColumnWidths(configPath, controls.ColumnWidths);
}

bool SaveSettings(SettingsStore& store, const QString& configPath, const WindowSettings& controls) {
    bool ok = writeConfigFile(configPath, controls.ColumnWidths);
    ok &= store.SaveSetting(App, Section, KeyFolder, controls.OutputFolder);
    ok &= store.SaveSetting(App, Section, KeyFormat, controls.OutputFormat);
    ok &= store.SaveSetting(App, Section, KeySwitch,
                            controls.Unattended ? QStringLiteral("1") : QStringLiteral("0"));
    if (controls.Rule != ExistingFile::Ask)
        ok &= store.SaveSetting(App, Section, KeyRule,
                                QString::number(static_cast<int>(controls.Rule)));
    return ok;
}

QString ConfigLine(const std::array<double, 9>& widths) {
    QStringList fields;
    for (size_t k = 0; k < 8; ++k)
        fields << sevenDigits(widths[k]);
    fields << wholeNumber(widths[8]);
    return fields.join(QLatin1Char(','));
}
