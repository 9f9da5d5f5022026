#pragma once
// The result record of one clone operation and the result codes. The driver hands the
// record to the completion callback and destroys it afterwards; the image the user works
// on is never touched by the driver: a read fills the record's own image.
#include "image/cmcBuff.h"
#include "image/cmcEeprom.h"

#include <cstdint>

// Result codes of a clone operation. The driver sets 0, 2, 5 to 10, 17 and 18; the clone
// manager and the model add 11 and 14 to 16 in their completion handlers. Every code but Ok
// has a message: item [code] of GI_Mess_CloneErr_Head, followed by check lines.
enum class cmcCloneCode : int {
    Ok = 0,
    Accepted = 1,        // internal answer of the data frame check: the record was taken
    LinkOpen = 2,        // the link cannot be opened or reopened; also "ended before a code"
    Timeout = 5,         // no answer in time, or no 0xFB after the eighth write request
    Frame = 6,           // a malformed or unexpected frame, bad data text, or a refusal
    FrameCount = 7,      // the radio's end frame counts a different number of frames
    Missing = 8,         // read: addresses of the range list were not received
    Outside = 9,         // read: a record outside the image or outside the range list
    WriteFailed = 10,    // write: the completion answer is missing or reports a failure
    Model = 11,          // the radio is not this model (information handler)
    MapRevision = 14,    // the radio's memory map revision is refused (information handler)
    ImageCheck = 15,     // the image read fails the model's image check (read handler)
    NewerData = 16,      // the image read carries newer data that is refused (read handler)
    WriteError = 17,     // the serial link failed to write
    PasswordTimeout = 18 // as Timeout, when the wake-up script carried the clone password
};

// Operation kinds; 4 to 8 are the model driver's adjustment exchanges.
enum class cmcCloneKind : int {
    None = 0,
    Info = 1,
    Read = 2,
    Write = 3,
    AdjustSet = 4,
    AdjustList = 5,
    AdjustSweep = 7,
    AdjustSearch = 8,
    Accessory = 10,
};

// The overlay key whose item [code] heads the message of a code.
inline constexpr char cmcCloneMessageHeadKey[] = "GI_Mess_CloneErr_Head";
// The overlay key whose items are the check lines that follow the head.
inline constexpr char cmcCloneMessageCheckKey[] = "GI_Mess_CloneErr_Check";

// True for the codes a finished operation can report with a message of their own (every
// code above but Ok and Accepted).
[[nodiscard]] bool cmcCloneCodeHasMessage(int code);

struct dst_CDrv_Result {
    cmcCloneKind kind = cmcCloneKind::None;
    cmcCloneCode code = cmcCloneCode::LinkOpen;
    // From the radio's 0xE1 answer; the driver's own words before that.
    std::uint16_t modelWord1 = 0;
    std::uint16_t modelWord2 = 0;
    // The 0xE1 body after the model words (the clone information record).
    cmcBuff info;
    // A read fills it; a write sends from it.
    cmcEeprom image;
    // One bit per address received: bit a mod 8 of byte a / 8.
    cmcBuff receivedMap;
    // The write request is repeated up to 8 times (radios whose main revision is not 0).
    bool retryMode = false;
};
