#pragma once

#include "songlist/SongRow.h"

#include <QIcon>
#include <QMap>

class QPainter;
class QRectF;

// The Union flag filling r: the English language's flag in the menu and the language window.
void PaintUnionFlag(QPainter& p, const QRectF& r);

// `ImageList1`: the small icons of the menus and of the song list's file types, drawn by
// the program itself. The file-type icons have the numbers the song list's rows name
// (FileTypeIcons); the menu icons follow from 30.
class ImageList {
public:
    enum Index {
        Acc = FileTypeIcons::Aac,
        Mp3 = FileTypeIcons::Mp3,
        Wav = FileTypeIcons::Wav,
        Mpeg4 = FileTypeIcons::Mpeg4,
        Movie = FileTypeIcons::Movie,
        Exit = 30,
        StartCopy,
        CopyToPlayer,
        LanguageEnglish,
        LanguageGerman,
        LanguageSpanish,
        HelpDoc,
        WebLink,
        Donate,
        About,
    };

    ImageList();
    // The icon at index; a null icon for an index the list does not hold.
    QIcon Icon(int index) const { return icons_.value(index); }
    int Count() const { return static_cast<int>(icons_.size()); }
    // A transparent icon of the same size: rows without a file-type icon keep their text
    // where the others have it.
    QIcon Blank() const { return blank_; }

private:
    QMap<int, QIcon> icons_;
    QIcon blank_;
};
