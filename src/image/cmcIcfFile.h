#pragma once
// The clone file: the radio memory area of an image kept on disk as a text file of hex
// lines. A header line carries the model's two words ("%04X%04X"), two remark lines carry a
// comment and the map revision, and every data line holds one run of bytes: start address
// (4 digits), count (2 digits), then the bytes (2 digits each). Runs never cross a
// multiple of 16. The same format serves clone files, the initial file and repeater data
// files; what differs is the range list and the checks the caller sets.
//
// Every operation that fails reports its result code once, through the overlay message of
// the code (GI_Mess_FileErr_*), and a failed read or write changes nothing: the target
// image is restored, and a file is replaced only once its successor is complete.
#include "image/AddressRange.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class cmcEeprom;

// Result codes of the clone file operations; every code but Ok has its own message.
enum class cmcIcfResult : int {
    Ok = 0,
    FileOpen = 1,   // the file cannot be opened (or read)
    FileAccess = 2, // writing the file failed
    Model = 3,      // header word 1 is not the model's
    Extra = 4,      // header word 1 is accepted, word 2 is not
    MapRev = 5,     // the file's map revision is refused
    Format = 6,     // a missing or malformed header or data line
    Coverage = 7,   // expected addresses are missing from the file
    Data = 8,       // data outside the image or the expected addresses; failed image check
    Newer = 9,      // the image carries data of a newer program version
};

// Decides whether a file's model words are accepted; on reject it sets code to Model or
// Extra (Model when it leaves code alone).
using cmcIcfModelCheck = std::function<bool(int word1, int word2, cmcIcfResult& code)>;
// Decides whether a file's map revision (-1 when the file has none) is accepted.
using cmcIcfMapRevCheck = std::function<bool(int mapRev)>;

class cmcIcfFile {
public:
    // Data lines of the writer end at multiples of this many bytes.
    static constexpr int LineLength = 16;
    // The reader takes a line in pieces of at most this many characters, line end included;
    // every piece counts as a line of its own.
    static constexpr int PieceChars = 767;
    // Longest data line: 6 digits of address and count plus 255 bytes.
    static constexpr int MaxDataLineChars = 516;
    static constexpr int MinDataLineChars = 8;

    cmcIcfFile() = default;
    cmcIcfFile(const cmcIcfFile&) = delete;
    cmcIcfFile& operator=(const cmcIcfFile&) = delete;

    // Binds the target image (not owned) and sizes both address bitmaps for it.
    void SetImage(cmcEeprom& image);
    // The header words written, and expected when no model check is set.
    void SetModelWords(std::uint16_t word1, std::uint16_t word2);
    void SetComment(std::string_view comment);
    // The map revision written; a read sets it from the file's "MapRev=" line.
    void SetMapRev(int mapRev) { mapRev_ = mapRev; }
    [[nodiscard]] int MapRev() const { return mapRev_; }
    void SetMapRevCheck(cmcIcfMapRevCheck check) { mapRevCheck_ = std::move(check); }
    void SetModelCheck(cmcIcfModelCheck check) { modelCheck_ = std::move(check); }

    // Writes the ranges of the bound image to path (ranges stop at the first pair that ends
    // the list or names an address outside the image). The file is written under a
    // temporary name in the same folder and renamed over path only when complete, so a
    // failed save keeps the previous file and leaves nothing behind. Shows the message of
    // a non-zero code. Result: Ok, FileOpen or FileAccess.
    [[nodiscard]] cmcIcfResult WriteCloneFile(const std::string& path, const AddressRangeList& ranges);
    // Reads path into the bound image; with ranges, the coverage test is the last step.
    // Any failure restores the image as it was. Shows the message of a non-zero code.
    [[nodiscard]] cmcIcfResult ReadCloneFile(const std::string& path, const AddressRangeList* ranges);
    // Whether the last read loaded exactly the addresses of ranges: Ok, Coverage (some are
    // missing) or Data (data outside them). Shows nothing.
    [[nodiscard]] cmcIcfResult CheckCoverage(const AddressRangeList* ranges);

    // The message box of a code: headline, blank line, the code's text; nothing for Ok or a
    // value outside 1 to 9.
    static void ShowFileResult(cmcIcfResult code);
    // The overlay key of a code's message; null for Ok or a value outside 1 to 9.
    [[nodiscard]] static const char* MessageKey(cmcIcfResult code);

    // For tests: the writer fails as on a full disk once the file would grow beyond this
    // many bytes; negative means no limit.
    void SetWriteLimitForTests(std::int64_t bytes) { writeLimit_ = bytes; }

private:
    [[nodiscard]] cmcIcfResult writeFile(const std::string& path, const AddressRangeList& ranges) const;
    [[nodiscard]] cmcIcfResult readFile(const std::string& path, const AddressRangeList* ranges);
    [[nodiscard]] cmcIcfResult checkHeader(const std::string& line) const;
    [[nodiscard]] cmcIcfResult readDataLine(std::string& line);
    void ensureBitmaps();
    void markLoaded(int start, int count);

    cmcEeprom* image_ = nullptr;
    std::uint16_t modelWord1_ = 0;
    std::uint16_t modelWord2_ = 0;
    std::string comment_;
    int mapRev_ = -1;
    cmcIcfMapRevCheck mapRevCheck_;
    cmcIcfModelCheck modelCheck_;
    // One bit per image address: address a is bit (a mod 8) of byte a / 8.
    std::vector<std::uint8_t> expected_;
    std::vector<std::uint8_t> loaded_;
    std::int64_t writeLimit_ = -1;
};
