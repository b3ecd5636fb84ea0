#include "transfer/OutputPath.h"

#include "platform/PlayerPath.h"
#include "settings/OutputFormat.h"
#include "text/Blanks.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

void ensureValidFileString(QString& text, bool isPath) {
    // One pass over the text, and none that writes when there is nothing to change: this
    // runs several times for every song of a copy.
    const auto removed = [isPath](char16_t c) {
        switch (c) {
        case u'?':
        case u'/':
        case u'*':
        case u'<':
        case u'>':
        case u'|':
        case u'"':
            return true;
        case u'.':
        case u':':
            return !isPath;
        default:
            return false;
        }
    };
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && !removed(text[i].unicode()) && text[i].unicode() >= 32)
        ++i;
    if (i == n)
        return;
    QChar* data = text.data();
    qsizetype kept = i;
    for (; i < n; ++i) {
        const char16_t c = data[i].unicode();
        if (!removed(c))
            data[kept++] = c < 32 ? QChar(u'_') : QChar(c);
    }
    text.truncate(kept);
}

BackslashPath ProcessOutputFolder(const QString& nativeText) {
    QString typed = ExpandHome(TrimBlanks(nativeText));
    // Songs and playlist lines name absolute paths: a relative folder is the working
    // folder's.
    if (QDir::isRelativePath(typed))
        typed = QDir::toNativeSeparators(QDir::current().absoluteFilePath(typed));
    QString folder = FromNativeSeparators(typed);
    if (!folder.endsWith(u'\\'))
        folder += u'\\';
    ensureValidFileString(folder, true);
    return BackslashPath(folder);
}

qsizetype NameLength(QStringView name) {
#ifdef Q_OS_WIN
    return name.size();
#else
    qsizetype bytes = 0;
    for (const QChar c : name)
        bytes += c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : c.isSurrogate() ? 2 : 3;
    return bytes; // a surrogate pair is 4 bytes, 2 for each half
#endif
}

namespace {

// Drops the blanks and dots at the end: FAT, exFAT, NTFS and Windows refuse such names.
void dropTrailingBlanksAndDots(QString& name) {
    qsizetype end = name.size();
    while (end > 0 && (name[end - 1] == u' ' || name[end - 1] == u'.'))
        --end;
    name.truncate(end);
}

// The longest start of name, cut between two characters as a reader sees them, whose
// length is at most room.
QString shortened(const QString& name, qsizetype room) {
    if (NameLength(name) <= room)
        return name;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, name);
    qsizetype keep = 0;
    qsizetype length = 0;
    for (qsizetype next = characters.toNextBoundary(); next > 0;
         next = characters.toNextBoundary()) {
        length += NameLength(QStringView(name).sliced(keep, next - keep));
        if (length > room)
            break;
        keep = next;
    }
    return name.left(keep);
}

// Every component as every disk takes it; the last one is the file's name before the
// extension.
QString fitComponents(const QString& path, const QString& extension) {
    // Most paths need nothing: no component ends in a blank or a dot, and the whole is
    // shorter than one name may be.
    bool fits = NameLength(path) + NameLength(extension) <= NameLimit;
    for (qsizetype i = 0, n = path.size(); fits && i < n; ++i)
        fits = !((path[i] == u' ' || path[i] == u'.') && (i + 1 == n || path[i + 1] == u'\\'));
    if (fits)
        return path;
    QStringList components = path.split(u'\\');
    for (qsizetype i = 0; i < components.size(); ++i) {
        QString& name = components[i];
        const bool last = i == components.size() - 1;
        dropTrailingBlanksAndDots(name);
        name = shortened(name, NameLimit - (last ? NameLength(extension) : 0));
        dropTrailingBlanksAndDots(name);
    }
    return components.join(u'\\');
}

// Blanks beside a folder separator go, and a run of blanks elsewhere shrinks to one.
QString tidyBlanks(const QString& text) {
    bool tidy = true; // no blank beside another blank or a separator
    for (qsizetype i = 0; tidy && i + 1 < text.size(); ++i) {
        const QChar a = text[i];
        const QChar b = text[i + 1];
        tidy = !((a == u' ' && (b == u' ' || b == u'\\')) || (a == u'\\' && b == u' '));
    }
    if (tidy)
        return text;
    QString tidied;
    tidied.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        if (text[i] != u' ') {
            tidied += text[i++];
            continue;
        }
        qsizetype end = i;
        while (end < n && text[end] == u' ')
            ++end;
        if (!(i > 0 && text[i - 1] == u'\\') && !(end < n && text[end] == u'\\'))
            tidied += u' ';
        i = end;
    }
    return tidied;
}

QString playerFileBaseName(const QString& location) {
    QString name = location.mid(location.lastIndexOf(u'\\') + 1);
    name = name.mid(name.lastIndexOf(u':') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

} // namespace

QString SongExtension(const QString& location) {
    const qsizetype dot = location.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    // A location is a text of the database like any tag: cleaned like them, it puts no line
    // break into a playlist and no escape into a name.
    QString extension = location.mid(dot + 1, 9);
    ensureValidFileString(extension, false);
    dropTrailingBlanksAndDots(extension);
    return extension.isEmpty() ? QString() : u'.' + extension;
}

const QString& SongTags::ForToken(size_t token) const {
    const std::array<const QString*, FormatTokens.size()> tags = {
        &Artist, &Album, &Title, &Genre, &TrackNumber, &Year, &AlbumArtist, &Disc};
    return *tags[token];
}

SongTags SongTags::FromRow(const SongTexts::Array& texts) {
    SongTags tags{texts[Column::Title],
                  texts[Column::Artist],
                  texts[Column::Album],
                  texts[Column::Genre],
                  texts[Column::Track],
                  texts[Column::Year],
                  playerFileBaseName(texts[Column::SourcePath]),
                  texts[Column::AlbumArtist],
                  texts[Column::Disc]};
    // An album of one artist names none of its own: it is the song's artist's.
    if (TrimBlanks(tags.AlbumArtist).isEmpty())
        tags.AlbumArtist = tags.Artist;
    // "???" or "..." would name a hidden ".mp3", the same for every such song.
    QString cleaned = TrimBlanks(tags.Title);
    ensureValidFileString(cleaned, false);
    dropTrailingBlanksAndDots(cleaned);
    if (cleaned.isEmpty())
        tags.Title = tags.FileName;
    return tags;
}

namespace {

// The order the tokens are replaced in. The album artist and disc go first, so that a tag
// holding "%r" or "%d" gives the name it gave before those tokens were there.
using TokenOrder = std::array<size_t, FormatTokens.size()>;
constexpr TokenOrder kReplaceOrder = {6, 7, 0, 1, 2, 3, 4, 5};
// For the log's folder lines: the title before the album, as always.
constexpr TokenOrder kFolderOrder = {6, 7, 0, 2, 1, 3, 4, 5};
constexpr size_t kTitleToken = 2;

// The token "%" + letter stands for, if any.
std::optional<size_t> tokenOf(QChar letter) {
    for (size_t i = 0; i < FormatTokens.size(); ++i)
        if (letter == QLatin1Char(FormatTokens[i].Token[1]))
            return i;
    return std::nullopt;
}

// The format with its optional parts settled: a part in braces keeps its text when every
// token in it has a value and loses it otherwise; the braces themselves go. Parts may hold
// parts; a "{" never closed closes at the end and a lone "}" is dropped.
QString withOptionalParts(const QString& format, const SongTags& tags) {
    if (!format.contains(u'{') && !format.contains(u'}'))
        return format;
    struct Part {
        qsizetype start;
        bool shown;
    };
    std::vector<Part> open;
    QString out;
    out.reserve(format.size());
    const auto close = [&] {
        if (!open.back().shown)
            out.truncate(open.back().start);
        open.pop_back();
    };
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'{') {
            open.push_back({out.size(), true});
            continue;
        }
        if (c == u'}') {
            if (!open.empty())
                close();
            continue;
        }
        if (c == u'%' && !open.empty() && i + 1 < format.size())
            if (const auto token = tokenOf(format[i + 1]);
                token && TrimBlanks(tags.ForToken(*token)).isEmpty())
                open.back().shown = false;
        out += c;
    }
    while (!open.empty())
        close();
    return out;
}

// Each token replaced in turn over the text as the one before left it, so a tag that holds
// a later token has that token replaced too. order lists FormatTokens' indexes; a tag left
// out of tags stands for nothing.
QString withTags(QString text, const SongTags& tags, const TokenOrder& order,
                 std::optional<size_t> leftOut = {}) {
#ifndef Q_OS_WIN
    text.replace(u'/', u'\\');
#endif
    for (const size_t token : order) {
        // Most formats hold few of the tokens: the others cost no tag's trim.
        const QLatin1String name(FormatTokens[token].Token);
        if (text.contains(name))
            text.replace(name, token == leftOut ? QString() : TrimBlanks(tags.ForToken(token)));
    }
    return text;
}

} // namespace

QString RelativePath(const QString& format, const SongTags& tags, const QString& extension) {
    QString text = tidyBlanks(withTags(withOptionalParts(format, tags), tags, kReplaceOrder));
    ensureValidFileString(text, false);
    text = fitComponents(text, extension);
    // A name cut to nothing (one character longer than a name may be) would be a hidden
    // file named by its extension alone: it takes the song's file name instead.
    if (text.isEmpty() || text.endsWith(u'\\')) {
        QString name = tags.FileName;
        ensureValidFileString(name, false);
        text += fitComponents(name, extension);
    }
    return text;
}

QString FolderText(const QString& format, const SongTags& tags) {
    // The title goes to nothing: the log names the folder only.
    return withTags(withOptionalParts(format, tags), tags, kFolderOrder, kTitleToken);
}

QString SongDestination::Native() const {
    return (Base + Extension).Native();
}

SongDestination DestinationOf(const BackslashPath& outputFolder, const QString& format,
                              const SongTexts::Array& texts) {
    SongDestination destination{
        SongTags::FromRow(texts), SongExtension(texts[Column::SourcePath]), {}};
    destination.Base = outputFolder + RelativePath(format, destination.Tags, destination.Extension);
    return destination;
}

std::optional<BackslashPath> RunOutputFolder(const QString& nativeText) {
    if (TrimBlanks(nativeText).isEmpty())
        return std::nullopt;
    return ProcessOutputFolder(nativeText);
}

std::optional<SongDestination> SampleDestination(const QString& outputFolderText,
                                                 const QString& format,
                                                 const std::vector<SongRow>& rows) {
    const auto ticked =
        std::find_if(rows.begin(), rows.end(), [](const SongRow& row) { return row.Ticked; });
    const auto sample = ticked != rows.end() ? ticked : rows.begin();
    const std::optional<BackslashPath> folder = RunOutputFolder(outputFolderText);
    if (sample == rows.end() || !folder)
        return std::nullopt;
    return DestinationOf(*folder, FormatAsBuilt(format), sample->Texts);
}

QString FitName(QString name, const QString& extension) {
    dropTrailingBlanksAndDots(name);
    name = shortened(name, NameLimit - NameLength(extension));
    dropTrailingBlanksAndDots(name);
    return name;
}

QList<FolderFailure> makeFolderPath(const BackslashPath& folders) {
    const QString& path = folders.Text();
    QList<FolderFailure> failures;
    // Under a folder that could not be made none can be: the first failure says it all.
    for (qsizetype pos = path.indexOf(u'\\'); pos >= 0; pos = path.indexOf(u'\\', pos + 1)) {
        const QString prefix = ToNativeSeparators(path.left(pos + 1));
        if (QFileInfo(prefix).isDir())
            continue;
        const QString folder = ToNativeSeparators(path.left(pos));
        if (folder.isEmpty())
            continue;
        std::error_code error;
        if (std::filesystem::create_directory(FileSystemPath(folder), error) || !error)
            continue;
        const QFileInfo existing(folder);
        const QFileInfo parent(existing.absolutePath());
        // The classic texts where they fit, the system's own words for the rest (a name
        // too long for the disk, a disk that is full or read-only).
        failures.append(
            {folder,
             existing.exists() ? QStringLiteral("File already exists")
             : error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory
                 ? QStringLiteral("Path not found")
             : error == std::errc::permission_denied || (parent.isDir() && !parent.isWritable())
                 ? QStringLiteral("Permission denied")
                 : QString::fromStdString(error.message())});
        break;
    }
    return failures;
}
