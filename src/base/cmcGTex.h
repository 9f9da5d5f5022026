#pragma once
// The overlay text table: answers "entry n of key K" from an overlay (.OVL) file or from an
// array of lines in memory.
//
// An overlay is a text of lines (LF or CR LF ends, UTF-8). A line "#Key" starts the key
// "Key"; the lines after it are its entries 0, 1, 2 ... whatever they hold. The line
// "#End_Of_Ovl" ends the key index. Overlay files are large and most keys are never asked
// for in one run, so the table reads lazily: the key index grows one key line at a time
// only as far as the lookups need, every key remembers where its entries start and where
// the last read stopped, keys asked for often move to the front of the key list, and a
// 64-line cache serves repeated reads of the same lines.
//
// A key that is not there, a source that cannot be opened and a read past the end of the
// source are definition errors: they end the program through cmcFatalStop.
#include <cstdint>
#include <cstdio>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

enum class cmcGTexSource { None, Lines, File };

class cmcGTex {
public:
    // One read takes at most MaxLineChars characters, its line end included: a line of
    // more than MaxLineChars - 1 characters reads as several consecutive entries.
    static constexpr std::size_t LineBufferSize = 8193;
    static constexpr std::size_t MaxLineChars = LineBufferSize - 1;
    static constexpr std::size_t CacheLines = 64;
    // A key found this far down the key list (from 0) moves to its head.
    static constexpr int MoveToFrontPosition = 11;

    // Reads counted since the source was set, for tests and benchmarks.
    struct Stats {
        std::int64_t sourceReads = 0; // lines read from the source, key scan included
        std::int64_t cacheHits = 0;
    };

    cmcGTex();
    virtual ~cmcGTex();
    cmcGTex(const cmcGTex&) = delete;
    cmcGTex& operator=(const cmcGTex&) = delete;

    // Forgets keys, cache and open file and reads fileName from the next lookup on. The file
    // is opened only then. Always true here; the help table refuses a second file.
    virtual bool SetFile(const std::string& fileName);
    // Reads from these lines (one entry each, no line ends) instead of a file. False, and
    // nothing changes, when the table already has a source.
    bool SetLines(std::vector<std::string> lines);

    // Entry n (from 0) of key, without its line end. Reading past the key's record returns
    // the following lines as they are (the next key line included). Fatal when the key is
    // missing, the source cannot be opened, n is negative or the source ends first.
    [[nodiscard]] std::string GetEntry(std::string_view key, int n);
    [[nodiscard]] std::string GetText(std::string_view key) { return GetEntry(key, 0); }
    // Entries 0, 1, ... up to the first non-empty entry that begins with "#", joined with
    // "\n"; empty entries stay empty lines.
    [[nodiscard]] std::string GetMultiLineText(std::string_view key);
    // Whether key exists, for optional keys: scans exactly like a lookup, but a missing key
    // or a source that cannot be opened answers false instead of stopping.
    [[nodiscard]] bool HasKey(std::string_view key);

    [[nodiscard]] cmcGTexSource Source() const { return source_; }
    [[nodiscard]] const std::string& FileName() const { return fileName_; }
    // Keys indexed so far, in key-list order (head first).
    [[nodiscard]] std::vector<std::string> IndexedKeys() const;
    // True until the key scan has reached "#End_Of_Ovl" or the end of the source.
    [[nodiscard]] bool IsScanPending() const { return scanPending_; }
    [[nodiscard]] std::size_t CachedLineCount() const { return cache_.size(); }
    [[nodiscard]] const Stats& GetStats() const { return stats_; }

private:
    struct KeyRecord {
        std::string key;
        std::int64_t entry0 = 0;         // position of entry 0
        int cursorIndex = 0;             // entry after the last one read
        std::int64_t cursorPosition = 0; // position of that entry
    };
    struct CachedLine {
        std::int64_t offset = 0;
        std::int64_t length = 0; // bytes in the file, line end included
        std::string text;
    };
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    void reset();
    bool ensureOpen();
    KeyRecord* findKey(std::string_view key);
    KeyRecord* scanStep();
    [[noreturn]] static void fail(std::string_view key);

    bool readCachedLine(std::string& text);
    bool readLine(std::string& text);
    bool readFileLine(std::string& text);
    // Byte of the file at position, or -1 past its end.
    int byteAt(std::int64_t position)
    {
        const std::int64_t inChunk = position - chunkStart_;
        if (inChunk >= 0 && inChunk < chunkLength_)
            return static_cast<unsigned char>(chunk_[static_cast<std::size_t>(inChunk)]);
        return fillChunk(position) ? static_cast<unsigned char>(chunk_[0]) : -1;
    }
    bool fillChunk(std::int64_t position);

    cmcGTexSource source_ = cmcGTexSource::None;
    std::string fileName_;
    std::vector<std::string> lines_;
    bool openTried_ = false;
    bool open_ = false;
    std::unique_ptr<std::FILE, FileCloser> file_;
    // Read-ahead over the file: bytes [chunkStart_, chunkStart_ + chunkLength_).
    std::vector<char> chunk_;
    std::int64_t chunkStart_ = 0;
    std::int64_t chunkLength_ = 0;
    std::int64_t filePosition_ = -1; // where the next fread reads; -1 when unknown
    std::int64_t position_ = 0;      // current read position: file offset or line index
    std::string line_;               // text of the last line read

    std::int64_t scanPosition_ = 0;
    bool scanPending_ = true;
    std::list<KeyRecord> keys_; // discovery order, except keys moved to the front

    std::list<CachedLine> cache_; // most recently used first
    std::unordered_map<std::int64_t, std::list<CachedLine>::iterator> cacheIndex_;

    Stats stats_;
};
