#pragma once
// The clone sequences the user starts: reading the radio, writing it (the memory image, or
// the accessory's network settings from the accessory dialog) and showing its clone
// information. Each runs on the clone manager: an information exchange first, the checks
// of the radio's answer, the confirmations and the clone password when the radio has one,
// another information exchange after each prompt (the radio may have given up meanwhile),
// then the read or write. The working image, its file name and its modified state change
// only when a read succeeded; a failure or a cancelled prompt leaves everything as it was.
//
// The program and the command-line tool share this; they differ only in their
// indCloneHost (windows or standard error) and in who answers the message boxes.
#include "link/cmcCloneDrv.h"

#include <functional>

class indCloneHost;
class indCloneMan;
class indDocument;
struct indCloneInfo;

class indCloneSequences {
public:
    // How a sequence ended: the result code of its last operation (0 on success), or
    // cancelled when the user declined a prompt.
    struct Outcome {
        int code = 0;
        bool cancelled = false;
    };
    using Done = std::function<void(const Outcome& outcome)>;

    // Installs the manager's information and read handlers.
    indCloneSequences(indCloneMan& manager, indDocument& document, indCloneHost& host);
    indCloneSequences(const indCloneSequences&) = delete;
    indCloneSequences& operator=(const indCloneSequences&) = delete;

    void SetMakerMode(bool on) { makerMode_ = on; }
    [[nodiscard]] bool MakerMode() const { return makerMode_; }

    // Each answers false when nothing started (a driver is busy, or the write was refused
    // with its message); otherwise done is called once when the sequence ends.
    // The read command (the caller has offered to save unsaved changes first).
    bool ReadRadio(Done done = {});
    bool WriteRadio(Done done = {});
    bool ShowCloneInfo(Done done = {});
    // The write of the accessory dialog: no data checks, confirmations or password; the
    // manager must have the accessory dialog marked open.
    bool WriteAccessorySettings(const cmcCloneDrv::AccessorySettings& settings, Done done = {});
    // Opens the clone information window on the built-in sample record.
    void ShowSampleCloneInfo();

    [[nodiscard]] const indCloneInfo& Info() const;

    // The checks of the manager's handlers, on a finished information exchange and a
    // finished read (they set codes 11 and 14, 15 and 16).
    void CheckInfoAnswer(dst_CDrv_Result& result);
    void CheckReadImage(dst_CDrv_Result& result);

private:
    using Pass = void (indCloneSequences::*)(dst_CDrv_Result&);
    bool begin(Done done);
    bool exchangeInfo(Pass pass);
    void setModelWords();
    // The clone password step: true when it took over (asked and restarted the exchange,
    // or ended the sequence).
    bool passwordStep(bool due, Pass pass);
    void readPass(dst_CDrv_Result& result);
    void readDone(dst_CDrv_Result& result);
    void writePass(dst_CDrv_Result& result);
    void writeDone(dst_CDrv_Result& result);
    void infoDone(dst_CDrv_Result& result);
    void finish(int code, bool cancelled = false);

    indCloneMan& man_;
    indDocument& document_;
    indCloneHost& host_;
    Done done_;
    bool makerMode_ = false;
    bool confirmed_ = false;     // the write's confirmations were answered
    bool passwordAsked_ = false; // the password step of this command is done
    cmcCloneDrv::AccessorySettings accessory_{};
};
