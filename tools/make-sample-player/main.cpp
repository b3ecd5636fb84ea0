// Writes a real player tree with libgpod: DIR/iPod_Control/iTunes/iTunesDB and the song
// files it names, each a copy of a second of sound tagged with TagLib as the database says.
// Deterministic for a given seed, so tests and benchmarks can rely on it.
#include <gpod/itdb.h>
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string dir;
    int tracks = 60;
    int playlists = 4;
    int perPlaylist = 10;
    std::uint32_t seed = 1;
    bool files = true;
    bool compressed = false;
    bool database = true;
    bool shuffle = false;
    int forgetPercent = 0;
    std::uint32_t fileSize = 4096; // the database's sizes when no files are written
    bool fileSizeGiven = false;
};

// Small linear congruential generator: the same seed gives the same player everywhere.
struct Rng {
    std::uint32_t state;
    std::uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
};

// Titles in many scripts, with the awkward cases a real library holds.
const std::vector<std::string> kTitles = {
    "Hello",           "Straße",         "Canción de cuna",
    "Привет мир",      "こんにちは",     "음악",
    "مرحبا",           "שלום",           "音乐 𝄞 notes",
    "Don\u2019t Stop", " Leading space", "Trailing space ",
    "AC/DC: Live?",    "Tab\there",      "Ünïcödé",
};
const std::vector<std::string> kArtists = {"AC/DC",    "Björk",    "Sigur Rós",
                                           "坂本龍一", "The Band", ""};
const std::vector<std::string> kAlbums = {"Greatest Hits", "Ágætis byrjun", "Live *at* home",
                                          "Album <1>", ""};
const std::vector<std::string> kGenres = {"Rock", "Electronic", "Klassik", "Podcast", ""};
const std::vector<std::string> kExts = {"mp3", "wav", "acc", "m4a", "mp4",
                                        "m4p", "mov", "aa",  "m4v"};
const std::vector<int> kBitrates = {128, 192, 256, 320, 0, 96};

struct DbFree {
    void operator()(Itdb_iTunesDB* db) const { itdb_free(db); }
};
struct TrackFree {
    void operator()(Itdb_Track* track) const { itdb_track_free(track); }
};
using TrackPtr = std::unique_ptr<Itdb_Track, TrackFree>;

gchar* dup(const std::string& s) {
    return g_strdup(s.c_str());
}

const char* const kUsage =
    "usage: make-sample-player DIR [--tracks N] [--playlists P] [--per-playlist K] [--seed S]\n"
    "                          [--no-files] [--file-size BYTES] [--compressed]\n"
    "                          [--no-database] [--forget PERCENT] [--shuffle]\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int help() {
    std::fputs(kUsage, stdout);
    std::fputs(
        "\n"
        "Writes a player tree under DIR: iPod_Control/iTunes/iTunesDB and the song files it\n"
        "names under iPod_Control/Music/Fnn/. Each song file is a copy of a second of sound\n"
        "of its type (data/audio), tagged with the database's title, artist, album, genre,\n"
        "year, track number, album artist and disc; the database gives each file's real\n"
        "size, bit rate and length.\n"
        "The same seed gives the same player.\n"
        "\n"
        "  --tracks N          songs (default 60)\n"
        "  --playlists P       playlists besides the master and podcasts lists (default 4)\n"
        "  --per-playlist K    songs drawn into each playlist (default 10)\n"
        "  --seed S            the seed of every choice (default 1)\n"
        "  --no-files          the database only, no song files (quick for large players);\n"
        "                      its sizes are then BYTES (default 4096) plus 0 to 6\n"
        "  --file-size BYTES   each song file padded to about BYTES plus 0 to 6 where its\n"
        "                      tagged copy is smaller, so that its tags still read (padding in\n"
        "                      the ID3v2 tag, a free atom, a JUNK chunk)\n"
        "  --compressed        the database as newer players keep it: iTunesCDB beside an\n"
        "                      empty iTunesDB\n"
        "  --no-database       the song files only, no database (a player whose database is\n"
        "                      gone)\n"
        "  --forget PERCENT    the database leaves out that share of the songs, chosen by the\n"
        "                      seed; their files are still written\n"
        "  --shuffle           also writes a fourth-generation shuffle's iTunesSD of the\n"
        "                      database's songs (with --no-database, the only database)\n",
        stdout);
    return 0;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](long& out) {
            if (i + 1 >= argc)
                return false;
            char* end = nullptr;
            out = std::strtol(argv[++i], &end, 10);
            return end && *end == '\0' && out >= 0;
        };
        long v = 0;
        if (a == "--tracks") {
            if (!value(v))
                return false;
            o.tracks = static_cast<int>(v);
        } else if (a == "--playlists") {
            if (!value(v))
                return false;
            o.playlists = static_cast<int>(v);
        } else if (a == "--per-playlist") {
            if (!value(v))
                return false;
            o.perPlaylist = static_cast<int>(v);
        } else if (a == "--seed") {
            if (!value(v))
                return false;
            o.seed = static_cast<std::uint32_t>(v);
        } else if (a == "--file-size") {
            if (!value(v))
                return false;
            if (v > 0xFFFFFFFFL)
                return false;
            o.fileSize = static_cast<std::uint32_t>(v);
            o.fileSizeGiven = true;
        } else if (a == "--forget") {
            if (!value(v) || v > 100)
                return false;
            o.forgetPercent = static_cast<int>(v);
        } else if (a == "--no-files") {
            o.files = false;
        } else if (a == "--compressed") {
            o.compressed = true;
        } else if (a == "--no-database") {
            o.database = false;
        } else if (a == "--shuffle") {
            o.shuffle = true;
        } else if (!a.empty() && a[0] != '-' && o.dir.empty()) {
            o.dir = a;
        } else {
            return false;
        }
    }
    // Something must be written.
    return !o.dir.empty() && (o.files || o.database || o.shuffle);
}

// As newer players keep it: iTunesCDB holds the header (byte 0xA8 set to 1, the total
// length the file's) and the rest as one zlib stream; iTunesDB is left empty.
bool compressDatabase(const std::filesystem::path& folder) {
    std::ifstream in(folder / "iTunesDB", std::ios::binary);
    const std::vector<unsigned char> plain((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    if (plain.size() < 0xAC)
        return false;
    const std::uint32_t header =
        plain[4] | plain[5] << 8 | plain[6] << 16 | std::uint32_t(plain[7]) << 24;
    if (header <= 0xA8 || header > plain.size())
        return false;
    uLongf packedSize = compressBound(static_cast<uLong>(plain.size() - header));
    std::vector<unsigned char> out(header + packedSize);
    if (compress2(out.data() + header, &packedSize, plain.data() + header,
                  static_cast<uLong>(plain.size() - header), 6) != Z_OK)
        return false;
    std::copy_n(plain.begin(), header, out.begin());
    out[0xA8] = 1;
    const std::uint32_t total = header + static_cast<std::uint32_t>(packedSize);
    for (int i = 0; i < 4; ++i)
        out[8 + size_t(i)] = static_cast<unsigned char>(total >> (8 * i));
    std::ofstream cdb(folder / "iTunesCDB", std::ios::binary | std::ios::trunc);
    cdb.write(reinterpret_cast<const char*>(out.data()), total);
    std::ofstream empty(folder / "iTunesDB", std::ios::binary | std::ios::trunc);
    return static_cast<bool>(cdb) && static_cast<bool>(empty);
}

// A track's 64-bit database id, unique and never 0: libgpod scans every track added so far
// for a clash when it has to draw one at random itself, which a large player cannot wait for.
// The mixer is a bijection that keeps 0 at 0, and its input is never 0.
std::uint64_t trackDbid(std::uint32_t seed, int n) {
    std::uint64_t x = (std::uint64_t{seed} << 32) | (static_cast<std::uint64_t>(n) + 1);
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

// The containers the templates are in: the song's own type where there is a template,
// else the container it is kept in.
enum class Container { Mpeg, Mp4Audio, Mp4Video, Wav };

Container containerOf(const std::string& ext) {
    if (ext == "mp3")
        return Container::Mpeg;
    if (ext == "wav")
        return Container::Wav;
    if (ext == "mp4" || ext == "m4v" || ext == "mov")
        return Container::Mp4Video;
    return Container::Mp4Audio; // m4a, AAC, protected AAC, audiobooks
}

// The templates, each read once: a second of sound, untagged.
class Templates {
public:
    bool load() {
        const std::pair<Container, const char*> files[] = {{Container::Mpeg, "template.mp3"},
                                                           {Container::Mp4Audio, "template.m4a"},
                                                           {Container::Mp4Video, "template.mp4"},
                                                           {Container::Wav, "template.wav"}};
        for (const auto& [container, name] : files) {
            const std::string path = std::string(MELVO_AUDIO_DIR) + "/" + name;
            std::ifstream in(path, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            if (!in.good() && !in.eof()) {
                std::fprintf(stderr, "make-sample-player: cannot read %s\n", path.c_str());
                return false;
            }
            const auto i = static_cast<size_t>(container);
            audio_[i] = TagLib::ByteVector(bytes.data(), static_cast<unsigned>(bytes.size()));
            TagLib::ByteVectorStream stream(audio_[i]);
            const TagLib::FileRef ref(&stream);
            bitRate_[i] = ref.audioProperties() ? ref.audioProperties()->bitrate() : 0;
            length_[i] = ref.audioProperties() ? ref.audioProperties()->lengthInMilliseconds() : 0;
        }
        return true;
    }
    const TagLib::ByteVector& of(Container c) const { return audio_[static_cast<size_t>(c)]; }
    // What the template's audio reads as, tagged or padded alike.
    int bitRate(Container c) const { return bitRate_[static_cast<size_t>(c)]; }
    int length(Container c) const { return length_[static_cast<size_t>(c)]; }

private:
    TagLib::ByteVector audio_[4];
    int bitRate_[4] = {};
    int length_[4] = {}; // milliseconds
};

TagLib::String tagText(const gchar* utf8) {
    return TagLib::String(utf8 ? utf8 : "", TagLib::String::UTF8);
}

void setTags(TagLib::Tag* tag, const Itdb_Track& t) {
    tag->setTitle(tagText(t.title));
    tag->setArtist(tagText(t.artist));
    tag->setAlbum(tagText(t.album));
    tag->setGenre(tagText(t.genre));
    tag->setYear(static_cast<unsigned>(std::max(t.year, 0)));
    tag->setTrack(static_cast<unsigned>(std::max(t.track_nr, 0)));
}

// The album artist and disc, which only each format's own tag can hold; an ID3v2 or MP4 tag.
template <typename FormatTag> void setAlbumTags(FormatTag* tag, const Itdb_Track& t) {
    TagLib::PropertyMap properties = tag->properties();
    if (t.albumartist && *t.albumartist)
        properties.replace("ALBUMARTIST", tagText(t.albumartist));
    if (t.cd_nr > 0)
        properties.replace("DISCNUMBER", TagLib::String(std::to_string(t.cd_nr) +
                                                        (t.cds > 0 ? "/" + std::to_string(t.cds)
                                                                   : std::string())));
    tag->setProperties(properties);
}

// The template tagged with the track's fields, in memory; empty when TagLib cannot.
TagLib::ByteVector taggedSong(const TagLib::ByteVector& audio, Container container,
                              const Itdb_Track& t) {
    TagLib::ByteVectorStream stream(audio);
    bool saved = false;
    if (container == Container::Mpeg) {
        TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        setTags(file.ID3v2Tag(true), t);
        setAlbumTags(file.ID3v2Tag(), t);
        saved = file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v4,
                          TagLib::File::DoNotDuplicate);
    } else if (container == Container::Wav) {
        TagLib::RIFF::WAV::File file(&stream, false);
        setTags(file.ID3v2Tag(), t);
        setAlbumTags(file.ID3v2Tag(), t);
        saved = file.save(TagLib::RIFF::WAV::File::ID3v2);
    } else {
        TagLib::MP4::File file(&stream, false);
        setTags(file.tag(), t);
        setAlbumTags(file.tag(), t);
        saved = file.save();
    }
    return saved ? *stream.data() : TagLib::ByteVector();
}

void putBigEndian32(TagLib::ByteVector& bytes, unsigned at, std::uint32_t value) {
    for (unsigned i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * (3 - i)));
}

void putLittleEndian32(TagLib::ByteVector& bytes, unsigned at, std::uint32_t value) {
    for (unsigned i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// A tagged song grown to about size bytes (never shrunk), with what each format skips:
// zeros in the ID3v2 tag's padding, a "free" atom, a "JUNK" chunk. An MPEG-4 or WAV file
// grows by at least 8 bytes, a chunk's header, and a WAV file by an even number; past the
// ID3v2 tag's largest size, the rest follows the audio.
void padTo(TagLib::ByteVector& bytes, Container container, std::uint32_t size) {
    if (bytes.size() >= size)
        return;
    std::uint32_t extra = size - bytes.size();
    if (container == Container::Mpeg) {
        const auto byte = [&](unsigned i) { return static_cast<std::uint32_t>(bytes[i] & 0x7F); };
        if (bytes.size() < 10 || !bytes.startsWith("ID3") || (bytes[5] & 0x10) != 0) {
            // Not as TagLib writes it: the rest follows the audio.
            bytes.resize(size, 0);
            return;
        }
        const std::uint32_t tag = byte(6) << 21 | byte(7) << 14 | byte(8) << 7 | byte(9);
        if (10 + tag > bytes.size()) {
            bytes.resize(size, 0);
            return;
        }
        const std::uint32_t grown = std::min<std::uint32_t>(tag + extra, 0x0FFFFFFF);
        TagLib::ByteVector out = bytes.mid(0, 10 + tag);
        out.resize(10 + grown, 0);
        out.append(bytes.mid(10 + tag));
        for (unsigned i = 0; i < 4; ++i)
            out[6 + i] = static_cast<char>((grown >> (7 * (3 - i))) & 0x7F);
        out.resize(std::max(out.size(), size), 0);
        bytes = out;
        return;
    }
    extra = std::max<std::uint32_t>(extra, 8);
    if (container == Container::Wav) {
        const std::uint32_t body = extra - 8;
        TagLib::ByteVector chunk(8 + body + (body & 1u), 0); // an odd body takes a pad byte
        std::copy_n("JUNK", 4, chunk.begin());
        putLittleEndian32(chunk, 4, body);
        bytes.append(chunk);
        putLittleEndian32(bytes, 4, bytes.size() - 8);
    } else {
        TagLib::ByteVector chunk(extra, 0);
        putBigEndian32(chunk, 0, extra);
        std::copy_n("free", 4, chunk.begin() + 4);
        bytes.append(chunk);
    }
}

bool writeSongFile(const std::filesystem::path& path, const TagLib::ByteVector& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// The tracks the database forgets: percent of them, chosen by the seed with a generator of
// their own, so that the songs themselves are the same with or without forgetting.
std::vector<bool> forgotten(int tracks, int percent, std::uint32_t seed) {
    std::vector<int> order(static_cast<size_t>(tracks));
    for (int n = 0; n < tracks; ++n)
        order[static_cast<size_t>(n)] = n;
    Rng pick{seed ^ 0x5EEDF0u};
    const int count = static_cast<int>(std::int64_t{tracks} * percent / 100);
    std::vector<bool> out(static_cast<size_t>(tracks), false);
    for (int i = 0; i < count; ++i) {
        std::swap(order[static_cast<size_t>(i)],
                  order[static_cast<size_t>(i + pick.below(tracks - i))]);
        out[static_cast<size_t>(order[static_cast<size_t>(i)])] = true;
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h")
            return help();
    Options o;
    if (!parse(argc, argv, o))
        return usage();

    namespace fs = std::filesystem;
    const fs::path root(o.dir);
    const fs::path itunes = root / "iPod_Control" / "iTunes";
    std::error_code ec;
    fs::create_directories(itunes, ec);
    for (int f = 0; f < 20 && !ec; ++f) {
        char name[8];
        std::snprintf(name, sizeof name, "F%02d", f);
        fs::create_directories(root / "iPod_Control" / "Music" / name, ec);
    }
    // What an earlier run left of another kind goes, so that the player is what was asked.
    for (const char* name : {"iTunesDB", "iTunesCDB", "iTunesSD"})
        if (!ec)
            fs::remove(itunes / name, ec);
    if (ec) {
        std::fprintf(stderr, "make-sample-player: cannot prepare %s: %s\n", o.dir.c_str(),
                     ec.message().c_str());
        return 1;
    }
    Templates templates;
    if (o.files && !templates.load())
        return 1;

    Rng rng{o.seed};
    const std::unique_ptr<Itdb_iTunesDB, DbFree> db(itdb_new());
    Itdb_Playlist* master = itdb_playlist_new("Sample iPod", FALSE);
    itdb_playlist_set_mpl(master);
    itdb_playlist_add(db.get(), master, -1);
    Itdb_Playlist* podcasts = itdb_playlist_new("Podcasts", FALSE);
    itdb_playlist_set_podcasts(podcasts);
    itdb_playlist_add(db.get(), podcasts, -1);

    std::vector<TrackPtr> made;
    made.reserve(static_cast<size_t>(o.tracks));
    for (int n = 0; n < o.tracks; ++n) {
        TrackPtr t(itdb_track_new());
        const std::uint32_t id = 100 + static_cast<std::uint32_t>(n) * 3;
        t->id = id;
        t->dbid = trackDbid(o.seed, n);
        t->title = dup(kTitles[static_cast<size_t>(n) % kTitles.size()] + " " + std::to_string(n));
        t->artist =
            dup(kArtists[static_cast<size_t>(rng.below(static_cast<int>(kArtists.size())))]);
        t->album = dup(kAlbums[static_cast<size_t>(rng.below(static_cast<int>(kAlbums.size())))]);
        t->genre = dup(kGenres[static_cast<size_t>(rng.below(static_cast<int>(kGenres.size())))]);
        t->year = rng.below(5) == 0 ? 0 : 1960 + rng.below(60);
        t->track_nr = rng.below(6) == 0 ? 0 : 1 + rng.below(20);
        t->bitrate = kBitrates[static_cast<size_t>(rng.below(static_cast<int>(kBitrates.size())))];
        t->size = o.fileSize + static_cast<std::uint32_t>(n % 7);
        // Compilations and albums of two discs, chosen by the number alone so that every
        // other field stays what the seed made it.
        if (n % 4 == 1)
            t->albumartist = dup("Various Artists");
        if (n % 3 == 0) {
            t->cd_nr = 1 + (n / 3) % 2;
            t->cds = 2;
        } else if (n % 3 == 1) {
            t->cd_nr = 1;
            t->cds = 1;
        }
        t->tracklen = 30000 + (n * 7919) % 300000;
        const std::string& ext = kExts[static_cast<size_t>(n) % kExts.size()];
        t->filetype = dup(ext + " file");
        if (n % 5 == 0)
            t->description = dup("Episode notes for " + std::to_string(n));
        char folder[8];
        std::snprintf(folder, sizeof folder, "F%02d", n % 20);
        char stem[16];
        std::snprintf(stem, sizeof stem, "S%04X", static_cast<unsigned>(n));
        t->ipod_path = dup(std::string(":iPod_Control:Music:") + folder + ":" + stem + "." + ext);
        const bool isPodcast = n % 11 == 10;
        if (isPodcast)
            t->mediatype = ITDB_MEDIATYPE_PODCAST;

        if (o.files) {
            const fs::path file =
                root / "iPod_Control" / "Music" / folder / (std::string(stem) + "." + ext);
            const Container container = containerOf(ext);
            TagLib::ByteVector song = taggedSong(templates.of(container), container, *t);
            if (o.fileSizeGiven)
                padTo(song, container, t->size);
            t->size = song.size();
            t->bitrate = templates.bitRate(container);
            t->tracklen = templates.length(container);
            if (song.isEmpty() || !writeSongFile(file, song)) {
                std::fprintf(stderr, "make-sample-player: cannot write %s\n", file.c_str());
                return 1;
            }
        }
        made.push_back(std::move(t));
    }

    // The forgotten tracks stay out of the database and go with made.
    const std::vector<bool> forget = forgotten(o.tracks, o.forgetPercent, o.seed);
    std::vector<Itdb_Track*> tracks;
    tracks.reserve(made.size());
    for (size_t n = 0; n < made.size(); ++n)
        if (!forget[n])
            tracks.push_back(made[n].release());
    made.clear();

    // Every list is built by prepending (appending walks the whole list each time), each in one
    // run so that its links lie together in memory. libgpod's write puts the track list into
    // the master playlist's order by looking every member up from the front of the list and
    // moving it there, last member first: with the track list in the reverse order, each
    // look-up walks only the tracks moved already. That walk still grows with the square of
    // the track count, but runs through memory in order instead of jumping about.
    for (Itdb_Track* t : tracks)
        itdb_track_add(db.get(), t, 0);
    for (auto it = tracks.rbegin(); it != tracks.rend(); ++it)
        itdb_playlist_add_track(master, *it, 0);
    for (auto it = tracks.rbegin(); it != tracks.rend(); ++it)
        if ((*it)->mediatype == ITDB_MEDIATYPE_PODCAST)
            itdb_playlist_add_track(podcasts, *it, 0);

    for (int p = 0; p < o.playlists; ++p) {
        const std::string name = (p % 2 ? "Mix Ñ " : "Playlist ") + std::to_string(p + 1);
        Itdb_Playlist* pl = itdb_playlist_new(name.c_str(), FALSE);
        itdb_playlist_add(db.get(), pl, -1);
        for (int k = 0; k < o.perPlaylist && !tracks.empty(); ++k)
            itdb_playlist_add_track(
                pl, tracks[static_cast<size_t>(rng.below(static_cast<int>(tracks.size())))], 0);
        pl->members = g_list_reverse(pl->members);
    }

    const auto failed = [](GError* err, const char* what) {
        std::fprintf(stderr, "make-sample-player: %s\n", err ? err->message : what);
        if (err)
            g_error_free(err);
        return 1;
    };
    GError* err = nullptr;
    if (o.database) {
        const std::string file = (itunes / "iTunesDB").string();
        if (!itdb_write_file(db.get(), file.c_str(), &err))
            return failed(err, "cannot write the database");
        if (o.compressed && !compressDatabase(itunes))
            return failed(nullptr, "cannot write the compressed database");
    }
    if (o.shuffle) {
        // A fourth-generation shuffle, which libgpod gives the newer format with playlists;
        // set only now, so that the iTunesDB is the same with or without a shuffle's.
        itdb_device_set_sysinfo(db->device, "ModelNumStr", "xC584");
        const std::string file = (itunes / "iTunesSD").string();
        if (!itdb_shuffle_write_file(db.get(), file.c_str(), &err))
            return failed(err, "cannot write the shuffle's database");
    }

    std::printf("wrote %s:", o.dir.c_str());
    if (o.database || o.shuffle)
        std::printf(" %s%s%s of %zu tracks and %d playlists",
                    o.database ? (o.compressed ? "iTunesCDB" : "iTunesDB") : "",
                    o.database && o.shuffle ? " and " : "", o.shuffle ? "iTunesSD" : "",
                    tracks.size(), o.playlists);
    else
        std::printf(" no database");
    if (o.files)
        std::printf(", %d song files", o.tracks);
    std::printf("\n");
    return 0;
}
