#pragma once
// The record editing that a record's popup menu offers: copy, paste, carry up, carry down,
// clear, delete and insert, plus the menu's item states and the change of a bank's
// channel count. The cell logic fills a request from the cell and its sheet, runs one
// operation and applies the answer: repaint flags, the rows to select, where the cursor
// goes and the status text to show.
//
// Questions and refusals are message boxes (cmcMessageBox) captioned GI_Sys_AppTitle;
// only OK proceeds. Adding and removing channels, repeaters, individual IDs and talk groups
// goes through events 28 to 35 of the event manager, which the record-table service
// (datRecordService) handles, so every window follows.
#include <cstdint>
#include <string>

class cmcEeprom;
class cmcEvMan;
class datClipCh;

struct datEditRequest {
    cmcEeprom* image = nullptr;
    const cmcEeprom* defaultImage = nullptr; // blank records for clear and insert
    int kind = 0;
    // The records the table allows (datAllowedRange): the kind's range, for channels the
    // used range of the bank.
    int lowest = 0;
    int highest = -1;
    int record = 0; // the cell's record
    // A block of rows is selected: the operated records are selFirst .. selLast, else the
    // cell's record alone.
    bool multiSel = false;
    int selFirst = 0;
    int selLast = 0;
    int bank = 0;                   // channels: the bank; repeaters: the site
    datClipCh* clipboard = nullptr; // the program's clipboard (copy and paste)
    cmcEvMan* events = nullptr;     // null: the process's event manager
};

enum class datSelect { Keep, Set, Clear };

struct datEditResult {
    bool done = false; // something was copied or changed
    int flags = 0;     // result flags (datRecordOps.h)
    datSelect select = datSelect::Keep;
    int selFirst = 0;
    int selLast = 0;
    int cursor = -1;       // record the sheet's cursor moves to; -1 stays
    std::string statusKey; // overlay key of the status text to show, empty for none
};

enum class datEditCommand { Copy, Paste, CarryUp, CarryDown, Clear, Delete, Insert };

[[nodiscard]] datEditResult datEditCopy(const datEditRequest& request);
[[nodiscard]] datEditResult datEditPaste(const datEditRequest& request);
[[nodiscard]] datEditResult datEditCarryUp(const datEditRequest& request);
[[nodiscard]] datEditResult datEditCarryDown(const datEditRequest& request);
[[nodiscard]] datEditResult datEditClear(const datEditRequest& request);
[[nodiscard]] datEditResult datEditDelete(const datEditRequest& request);
[[nodiscard]] datEditResult datEditInsert(const datEditRequest& request);
[[nodiscard]] datEditResult datRunEdit(const datEditRequest& request, datEditCommand command);

// Which popup-menu items are enabled for the request's record (Flag2 clear).
struct datPopupStates {
    bool copy = false;
    bool paste = false;
    bool carryUp = false;
    bool carryDown = false;
    bool clear = false;
    bool del = false;
    bool insert = false;
};
[[nodiscard]] datPopupStates datPopupStatesOf(const datEditRequest& request);

// The range a kind's edits work in: for channels the used channels of the bank (an empty
// range, highest below lowest, when it has none), for any other kind its index range.
struct datRange {
    int lowest = 0;
    int highest = -1;
};
[[nodiscard]] datRange datAllowedRange(const cmcEeprom& image, int kind, int bankOrSite);

// The bank channel count (the cell CL_Mch_Bank): channels that can go from the bank's end
// (not in use, not a priority channel, not the third channel reference), and channels
// that can be added (at most 32 in all, and room in the radio's memory).
[[nodiscard]] int datRemovableChannels(const cmcEeprom& image, int bank);
[[nodiscard]] int datAddableChannels(const cmcEeprom& image, int bank);
// Sets bank's channel count to count as far as it can: appends blank channels or removes
// the removable ones from the end, with the messages GI_AppMess_ChErr_Overflow,
// GI_AppMess_ChErr_NoCh and GI_AppMess_ChErr_NotBlank for what it cannot do.
[[nodiscard]] datEditResult datChangeChannelCount(cmcEeprom& image, int bank, int count,
                                                  cmcEvMan* events = nullptr);

// Shows the status text of key on the main window's status bar (event 4 of the event
// manager), in the window text colour on the button face colour; an empty key shows nothing.
void datShowStatus(const std::string& key, cmcEvMan* events = nullptr);
// System colours in the platform's colour encoding (0x800000nn: system colour nn).
inline constexpr std::intptr_t datColourWindowText = 0x80000008;
inline constexpr std::intptr_t datColourButtonFace = 0x8000000F;

// Status text keys.
inline constexpr const char* datStatusCopy = "GI_AppMess_S_Copy";
inline constexpr const char* datStatusPaste = "GI_AppMess_S_Paste";
inline constexpr const char* datStatusClear = "GI_AppMess_S_Clear";
inline constexpr const char* datStatusDelete = "GI_AppMess_S_Delete";
inline constexpr const char* datStatusInsert = "GI_AppMess_S_Insert";
