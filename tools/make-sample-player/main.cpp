// Writes a real player tree with libgpod: DIR/iPod_Control/iTunes/iTunesDB and the song
// files it names. Deterministic for a given seed, so tests and benchmarks can rely on it.
#include <gpod/itdb.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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
    std::uint32_t fileSize = 4096;
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

gchar* dup(const std::string& s) {
    return g_strdup(s.c_str());
}

int usage() {
    std::fprintf(stderr, "usage: make-sample-player DIR [--tracks N] [--playlists P] "
                         "[--per-playlist K] [--seed S] [--no-files] [--file-size BYTES] "
                         "[--compressed]\n");
    return 2;
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
            o.fileSize = static_cast<std::uint32_t>(v);
        } else if (a == "--no-files") {
            o.files = false;
        } else if (a == "--compressed") {
            o.compressed = true;
        } else if (!a.empty() && a[0] != '-' && o.dir.empty()) {
            o.dir = a;
        } else {
            return false;
        }
    }
    return !o.dir.empty();
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

bool writeSongFile(const std::filesystem::path& path, std::uint32_t size, std::uint32_t id) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    Rng bytes{id * 2654435761u + 7u};
    std::vector<char> buf(size);
    for (auto& b : buf)
        b = static_cast<char>(bytes.next());
    out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o))
        return usage();

    namespace fs = std::filesystem;
    const fs::path root(o.dir);
    std::error_code ec;
    fs::create_directories(root / "iPod_Control" / "iTunes", ec);
    for (int f = 0; f < 20 && !ec; ++f) {
        char name[8];
        std::snprintf(name, sizeof name, "F%02d", f);
        fs::create_directories(root / "iPod_Control" / "Music" / name, ec);
    }
    if (ec) {
        std::fprintf(stderr, "make-sample-player: cannot create %s: %s\n", o.dir.c_str(),
                     ec.message().c_str());
        return 1;
    }

    Rng rng{o.seed};
    Itdb_iTunesDB* db = itdb_new();
    Itdb_Playlist* master = itdb_playlist_new("Sample iPod", FALSE);
    itdb_playlist_set_mpl(master);
    itdb_playlist_add(db, master, -1);
    Itdb_Playlist* podcasts = itdb_playlist_new("Podcasts", FALSE);
    itdb_playlist_set_podcasts(podcasts);
    itdb_playlist_add(db, podcasts, -1);

    std::vector<Itdb_Track*> tracks;
    for (int n = 0; n < o.tracks; ++n) {
        Itdb_Track* t = itdb_track_new();
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
        tracks.push_back(t);

        if (o.files) {
            const fs::path file =
                root / "iPod_Control" / "Music" / folder / (std::string(stem) + "." + ext);
            if (!writeSongFile(file, t->size, id)) {
                std::fprintf(stderr, "make-sample-player: cannot write %s\n", file.c_str());
                for (Itdb_Track* made : tracks) // not in the database yet
                    itdb_track_free(made);
                itdb_free(db);
                return 1;
            }
        }
    }

    // Every list is built by prepending (appending walks the whole list each time), each in one
    // run so that its links lie together in memory. libgpod's write puts the track list into
    // the master playlist's order by looking every member up from the front of the list and
    // moving it there, last member first: with the track list in the reverse order, each
    // look-up walks only the tracks moved already. That walk still grows with the square of
    // the track count, but runs through memory in order instead of jumping about.
    for (Itdb_Track* t : tracks)
        itdb_track_add(db, t, 0);
    for (auto it = tracks.rbegin(); it != tracks.rend(); ++it)
        itdb_playlist_add_track(master, *it, 0);
    for (auto it = tracks.rbegin(); it != tracks.rend(); ++it)
        if ((*it)->mediatype == ITDB_MEDIATYPE_PODCAST)
            itdb_playlist_add_track(podcasts, *it, 0);

    for (int p = 0; p < o.playlists; ++p) {
        const std::string name = (p % 2 ? "Mix Ñ " : "Playlist ") + std::to_string(p + 1);
        Itdb_Playlist* pl = itdb_playlist_new(name.c_str(), FALSE);
        itdb_playlist_add(db, pl, -1);
        for (int k = 0; k < o.perPlaylist && !tracks.empty(); ++k)
            itdb_playlist_add_track(
                pl, tracks[static_cast<size_t>(rng.below(static_cast<int>(tracks.size())))], 0);
        pl->members = g_list_reverse(pl->members);
    }

    const std::string file = (root / "iPod_Control" / "iTunes" / "iTunesDB").string();
    GError* err = nullptr;
    const bool ok = itdb_write_file(db, file.c_str(), &err);
    if (!ok) {
        std::fprintf(stderr, "make-sample-player: %s\n", err ? err->message : "write failed");
        if (err)
            g_error_free(err);
    }
    itdb_free(db);
    if (ok && o.compressed && !compressDatabase(root / "iPod_Control" / "iTunes")) {
        std::fprintf(stderr, "make-sample-player: cannot write the compressed database\n");
        return 1;
    }
    if (ok)
        std::printf("wrote %s: %d tracks, %d playlists\n", file.c_str(), o.tracks, o.playlists);
    return ok ? 0 : 1;
}
