#pragma once

#include <QString>

#include <array>

// The table's entries by what they say; the numbers are the table's own.
enum class Text : int {
    LanguageKey = 0,
    CreatePlaylist = 1,
    TitleTokenNeeded = 2,
    MissingSongTitle = 3,
    Browse = 7,
    BuildingTransferList = 8,
    Cancel = 9,
    Completed = 10,
    ErrorsWhileExtracting = 11,
    FileExistsCaption = 13,
    FileOutputFormat = 14,
    Finish = 15,
    FolderTrackOptions = 16,
    OverwriteRule = 22,
    SkipRule = 23,
    MissingIPod = 27,
    No = 28,
    NoIPodFound = 29,
    NoToAll = 30,
    OutputDirectory = 32,
    OutputOptions = 33,
    Playlists = 34,
    Quit = 35,
    Retry = 36,
    Search = 37,
    SelectFolder = 38,
    Selected = 39,
    Songs = 42,
    StartCopy = 43,
    StatusUnplugged = 44,
    StatusOk = 45,
    StatusLooking = 46,
    FileExistsQuestion = 48,
    UnattendedExplained = 51,
    TransferSucceeded = 53,
    TransferStarted = 54,
    TransferStopped = 55,
    TransferingSongs = 56,
    UnattendedTransfer = 57,
    UnattendedOptions = 58,
    Yes = 61,
    YesToAll = 62,
    FolderNeeded = 63,
    StatusLoading = 64,
    AllSongs = 65,
    Unknown = 66,
    Free = 68,
    Title = 69,
    Select = 70,
    Deselect = 71,
    SelectAll = 72,
    DeselectAll = 73,
    File = 77,
    Help = 78,
    Exit = 79,
    About = 80,
    Language = 81,
    Tools = 82,
    CopyMelvoToIPod = 84,
    Year = 85,
    StatusBuilding = 87,
    Artist = 88,
    Album = 89,
    Genre = 90,
    FileSize = 91,
    Track = 92,
    BitRate = 93,
    SourcePath = 94,
    Default = 96,
    TrackNr = 97,
    PreviewExample = 98,
    Play = 99,
    TransferHadErrors = 100,
    Details = 101,
    Copied = 102,
    Skipped = 103,
    Failed = 104,
    StatusCannotRead = 110,
    OpenFolder = 111,
    NoPlayerInFolder = 112,
    NotInDatabase = 113,
    Podcasts = 114,
    Audiobooks = 115,
    Playlist = 116,
    StatusReadingTags = 117, // %1 of %2
    StatusFromTags = 118,
    AlreadyThere = 130, // the overwrite prompt's file at the destination
    ReplaceWith = 131,  // and the player's song that would replace it
    OpenOutputFolder = 140,
    EjectIPod = 141,
    PlayerEjected = 142,
    EjectNotADrive = 143,
    EjectNoService = 144,
    EjectFailed = 145,
    PlayerMenu = 146,
    AlbumArtist = 150,
    DiscNr = 151,
    ExportAllPlaylists = 152,
    PlaylistsWritten = 153,    // %1 playlists, %2 the folder
    MembersLeftOut = 154,      // %1 songs
    PlaylistsNotWritten = 155, // followed by each file and its reason
    Destination = 156,         // %1 the first song's destination
};

// The texts of the interface in one language at a time: 201 numbered slots, 0..200.
class LanguageTable {
public:
    static constexpr int SlotCount = 201;

    // Fills the entries of "english", "german" or "spanish" (the key compared exactly,
    // case matters). Any other key changes nothing and returns false.
    bool LoadLanguage(const QString& key);

    // Entry n; a number outside 0..200 is a programming error: Q_ASSERT in debug, and an
    // empty text (never a crash) in release.
    const QString& Entry(int number) const;
    const QString& Entry(Text entry) const { return Entry(static_cast<int>(entry)); }

    const QString& Key() const { return Entry(Text::LanguageKey); } // "" before the first load

private:
    std::array<QString, SlotCount> entries_;
};
