#pragma once
// The model's data preparation, shared by the main window and the command-line tool: the
// model's identity, the address ranges by mode, the file model check, the image check, the
// newer-data check, the fix-ups after a load and before a save or write, and the repeater
// record of repeater data files. No window code: messages go through cmcMessageBox.
#include "image/AddressRange.h"
#include "image/cmcImageGeometry.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

class cmcEeprom;

// Model identity.
inline constexpr char indOverlayBaseName[] = "RB8826T";
inline constexpr int indModelWord1 = 0x8826;
inline constexpr int indModelWord2 = 0x0000;
inline constexpr int indAltModelWord1 = 0; // this family declares no alternative word 1
inline constexpr int indAcceptedFileWord2 = 0x0100;
inline constexpr int indModelImageSize = cmcImageSize;
inline constexpr int indModelRadioMemoryEnd = cmcRadioMemoryEnd;
inline constexpr int indStartLcdFontSize = 2;

// The model words that clone files and radio answers are checked against, and what the last
// accepted check noted about the alternative word 1.
struct indModelWords {
    int word1 = indModelWord1;
    int word2 = indModelWord2;
    int altWord1 = indAltModelWord1; // 0: none
    bool altMatched = false;         // the last accepted word 1 was the alternative word
    bool altFrozen = false;          // altMatched is kept as it is

    // File model check: 0 accepted, 3 when word 1 is neither the model's word 1 nor its
    // (non-zero) alternative, 4 when word 2 is neither the model's word 2 nor 0x0100.
    [[nodiscard]] int CheckFileModel(int fileWord1, int fileWord2);
    void ClearAlternativeFlags()
    {
        altMatched = false;
        altFrozen = false;
    }
};

// Address ranges by mode: 0 clone write in normal mode (0x02A0-0xFF7F); 1 clone read and
// maker-mode write, 2 clone file save, 3 clone file open and initial file, and any other mode
// (0x0000-0xFF7F); 5 repeater data file (0x0000-0x00D6). Each list ends with the pair (1, 0).
[[nodiscard]] AddressRangeList indAddressRanges(int mode);

// Image check: 0 valid, 1 invalid. The word at 0x180 must be 0x8824 and the mode byte at
// 0x2A8 at most 1; strict also wants the signature at 0x2A0, the word 0x8826 at 0x2AA and
// the signature that ends the used dynamic area.
[[nodiscard]] int indCheckImage(const cmcEeprom& image, bool strict);

// Newer-data check: 1 when the data must be refused: the lockout is on (not 0) and the
// unpacked image carries a non-zero byte at 0x11A7D. The image itself is not changed.
[[nodiscard]] int indCheckNewerData(const cmcEeprom& image, int lockoutNewerData);
// The same with the lockout read from GI_Sys_LockoutNewerData of the main text table.
[[nodiscard]] int indCheckNewerData(const cmcEeprom& image);

// An overlay entry read as an integer (leading blanks, a sign and digits; what follows the
// digits is ignored); whenNotNumber when the entry does not start with a number.
[[nodiscard]] int indOverlayInteger(std::string_view key, int whenNotNumber);

// The two stages of the data preparation.
enum class indSaveStage {
    AfterLoad = 0,  // the image was just loaded or read: fill the newer layout's fields
    BeforeSave = 1, // the image goes to a file or the radio: fold them back and pack
};

// After a file open or a clone read: unpack the image, then the AfterLoad preparation.
// (The caller sends event 27 afterwards.)
void indAfterLoad(cmcEeprom& image, const cmcEeprom& defaultImage, indModelWords& words, int lcdFontSize);

// The preparation before a save or write (BeforeSave) and after a load (AfterLoad): the
// older-layout fill or fold-back, the identification copied from the default image, the
// summary fields, the two sorted index lists, and bytes 0x11A7D (cleared) and 0x11A7E
// (the default image's). BeforeSave ends by packing the image.
void indBeforeSave(cmcEeprom& image, const cmcEeprom& defaultImage, indSaveStage stage, indModelWords& words,
                   int lcdFontSize);

// Step 3 of the preparation on its own: the summary fields that derive from the records
// (the list is at the definition) and the two sorted index lists.
void indRecomputeSummaryFields(cmcEeprom& image, const cmcEeprom& defaultImage, int lcdFontSize);
// The sorted index lists of the individual IDs (at 0x15E7C) and talk groups (at 0x164F8):
// the 1000 bytes come from the default image, then the numbers of the used entries, 16-bit
// big-endian, ordered by ID, entries with equal IDs in entry order.
void indRebuildSortedIndexLists(cmcEeprom& image, const cmcEeprom& defaultImage);

// The repeater record of repeater data files (214 bytes, image addresses 0x0000 to 0x00D5 of
// the file): byte 0 the site's area bit (bit 7), byte 1 the site's home repeater (from 1,
// 0 for none), byte 2 the value 24, byte 3 the site, byte 4 the number of entries, bytes 5
// to 13 zero, then 20 entries of 10 bytes, the repeater records as the image holds them;
// entries beyond the number of entries are zero.
inline constexpr int indRepeaterRecordSize = 214;
inline constexpr int indRepeaterSites = 1;
inline constexpr int indRepeatersPerSite = 20;
using indRepeaterRecord = std::array<std::uint8_t, indRepeaterRecordSize>;

[[nodiscard]] indRepeaterRecord indBuildRepeaterRecord(const cmcEeprom& image, int site);

struct indRepeaterImport {
    bool imported = false;
    int oldCount = 0; // repeaters of the site before
    int newCount = 0; // and after (the caller shows or hides rows for the difference)
};
// Imports a repeater record into the site's repeater table: count, home repeater, area bit
// and entries; slots past the record's entries take the default image's blank records. A
// record that is not a repeater record (wrong length, marker, count or home repeater)
// shows GI_AppMess_RptFile_BadData and changes nothing.
indRepeaterImport indImportRepeaterRecord(cmcEeprom& image, const cmcEeprom& defaultImage, int site,
                                          std::span<const std::uint8_t> record);

// The start-up self check of the model's definitions (the table list and the record
// layouts, the settings map): the first problem is a fatal stop.
void indSelfCheck();
