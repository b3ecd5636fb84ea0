#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <memory>

// The song list's ten columns, by their numbers: the last, the size in bytes, is never shown.
namespace Column {
enum : size_t {
    Title,
    Artist,
    Album,
    Genre,
    FileSize, // as a readable size
    Year,
    Track,
    BitRate,
    SourcePath, // the location on the player
    Bytes,      // the size in bytes, for the totals
    Count,
    // Texts a row carries for the output format, never columns of the list.
    AlbumArtist = Count,
    Disc, // the disc's number, only for an album of several discs
    TextCount
};
}

// A row's ten column texts and the format's hidden ones, shared by the copies of the row
// until one of them is changed: a search on a large player copies and drops a hundred
// thousand rows per keystroke. Walked, they are the ten columns.
class SongTexts {
public:
    using Array = std::array<QString, Column::TextCount>;

    SongTexts() = default;
    explicit SongTexts(Array texts) : d_(std::make_shared<Array>(std::move(texts))) {}
    SongTexts& operator=(Array texts) {
        d_ = std::make_shared<Array>(std::move(texts));
        return *this;
    }

    const QString& operator[](size_t column) const { return array()[column]; }
    // For writing: the texts become this copy's own (reads go through a const SongTexts).
    QString& operator[](size_t column) { return detached()[column]; }
    const QString* begin() const { return array().data(); }
    const QString* end() const { return array().data() + Column::Count; }
    operator const Array&() const { return array(); }

    // The same for every copy of these texts, and for no other texts while one copy lives.
    const void* Identity() const { return d_.get(); }
    // Whether copies other than this one live.
    bool Shared() const { return d_.use_count() > 1; }

private:
    const Array& array() const {
        static const Array none;
        return d_ ? *d_ : none;
    }
    Array& detached() {
        if (!d_ || d_.use_count() > 1)
            d_ = std::make_shared<Array>(array());
        return *d_;
    }

    std::shared_ptr<Array> d_;
};

// One row of the song list: the ten column texts, the tick, the file-type icon and the
// tooltip.
struct SongRow {
    SongTexts Texts;
    bool Ticked = false;
    int Icon = 0; // index into the window's image list; 0 for none
    QString ToolTip;
};

// The image list's numbers of the file-type icons a song-list row names; 0 is none.
namespace FileTypeIcons {
enum : int { None = 0, Aac = 1, Mp3 = 2, Wav = 3, Mpeg4 = 20, Movie = 21 };
}
