#pragma once
// The clone manager: what the program and the command-line tool use to talk to the radio.
// It owns the two clone drivers (the plain one for information, read, write and the
// accessory items; the model's one for adjustment), prepares each operation (wake-up
// script, line settings, clone password, time-outs, progress total), shows the progress
// while memory moves, turns every failing result code into one message, and hands the
// result record to the caller's continuation.
//
// An operation ends in this order: the information or read handler checks a successful
// answer (and may set a failing code), the code's message is shown once, the windows are
// enabled and the progress closed, then the continuation runs once with the record.
#include "cells/indCloneInfo.h"
#include "link/cmcCloneDrv.h"
#include "link/indLinkSettings.h"

#include <functional>
#include <memory>
#include <string>

class cmcTask;
class imcCloneDrv;
class indCloneHost;

class indCloneMan {
public:
    using Continuation = std::function<void(dst_CDrv_Result& result)>;
    // Checks of a successful answer; they may set a failing code in the record.
    using Handler = std::function<void(dst_CDrv_Result& result)>;

    static constexpr int ProgressPeriodMs = 30;
    static constexpr int GeneralTimeout = 350;
    static constexpr int WriteGeneralTimeout = 5000;
    static constexpr int WriteAckTimeout = 20000;
    static constexpr int BlockSize = 128;
    static constexpr int HighSpeedPreamble = 48;
    static constexpr int LowSpeedPreamble = 12;
    static constexpr int MaxPasswordLength = 16;

    indCloneMan(cmcLinkFactory& links, indCloneHost& host);
    ~indCloneMan();
    indCloneMan(const indCloneMan&) = delete;
    indCloneMan& operator=(const indCloneMan&) = delete;

    // Set once at start: the information handler runs first with every successful
    // information exchange, the read handler with every successful read. Without one such
    // an answer fails with code 11 or 8.
    void SetHandlers(Handler info, Handler read);

    [[nodiscard]] bool IsBusy() const;
    // Model words for the frames, passed to both drivers.
    void SetModelWords(std::uint16_t word1, std::uint16_t word2);
    // Size of the image a read fills (the plain driver's).
    void SetImageSize(int size);
    void SetLinkSettings(const indLinkSettings& settings) { settings_ = settings; }
    [[nodiscard]] const indLinkSettings& LinkSettings() const { return settings_; }

    // The clone password stays stored for the rest of the run; armed, the next read or
    // write sends it (and is disarmed by that).
    void SetPassword(const std::string& password) { password_ = password; }
    [[nodiscard]] const std::string& Password() const { return password_; }
    void ArmPassword() { armed_ = true; }
    [[nodiscard]] bool PasswordArmed() const { return armed_; }

    // The radio's latest clone information record (held here, replaced by the information
    // handler); its main revision decides the older write handshake.
    [[nodiscard]] indCloneInfo& Info() { return info_; }
    [[nodiscard]] const indCloneInfo& Info() const { return info_; }

    // While the accessory settings dialog is open its write sends the accessory items, a
    // successful information exchange keeps the windows disabled (the write follows) and
    // no password is sent.
    void SetAccessoryDialogOpen(bool open) { accessoryOpen_ = open; }
    [[nodiscard]] bool AccessoryDialogOpen() const { return accessoryOpen_; }
    // The adjustment mode marker: cleared by every operation that fails.
    void SetAdjustMode(bool on) { adjustMode_ = on; }
    [[nodiscard]] bool AdjustMode() const { return adjustMode_; }

    // Each refused (false, nothing changes) while busy.
    // Information exchange: low speed, no password, reading direction; no progress.
    bool StartInfoExchange(Continuation continuation);
    // Reads the ranges at the link speed of the settings, with the password when armed.
    bool StartReadRadio(const AddressRangeList& ranges, Continuation continuation);
    // Writes the ranges of image, with the password when armed (not from the accessory dialog).
    bool StartWriteRadio(const cmcEeprom& image, const AddressRangeList& ranges, Continuation continuation);
    // Writes the accessory's network settings (the progress counts the items sent).
    bool StartAccessoryWrite(const cmcCloneDrv::AccessorySettings& settings, Continuation continuation);

    // The wake-up script and line settings of the next operation of the plain driver.
    void ConfigureLink(bool highSpeed, bool password, bool writing);

    // The message of a result code, once, with the error icon; nothing for 0.
    void ShowCloneError(int code) const;
    // Its text: item [code] of GI_Mess_CloneErr_Head (for code 2 with the serial port
    // number and the link's reason), a blank line, then the check lines of the code.
    [[nodiscard]] std::string CloneErrorText(int code) const;

    [[nodiscard]] long long ProgressTotal() const { return total_; }
    [[nodiscard]] cmcCloneDrv& Driver() { return *plain_; }
    [[nodiscard]] imcCloneDrv& ModelDriver() { return *model_; }

private:
    void begin(long long total, Continuation continuation);
    void completed(dst_CDrv_Result& result);
    void showProgress(const char* itemKey, int item);
    void tickProgress();

    indCloneHost& host_;
    std::unique_ptr<cmcCloneDrv> plain_;
    std::unique_ptr<imcCloneDrv> model_;
    std::unique_ptr<cmcTask> progressTask_;
    indLinkSettings settings_;
    indCloneInfo info_;
    Handler infoHandler_;
    Handler readHandler_;
    Continuation continuation_;
    long long total_ = 0;
    std::string password_;
    bool armed_ = false;
    bool accessoryOpen_ = false;
    bool adjustMode_ = false;
    bool progressShown_ = false;
};
