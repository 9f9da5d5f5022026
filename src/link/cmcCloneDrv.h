#pragma once
// The clone driver: a state machine that carries one clone operation at a time between a
// memory image and the radio, over the serial link or the network link. An operation is
// reading the radio's clone information, reading memory ranges, writing memory ranges or
// writing the settings of the network adaptor accessory. The driver plays a wake-up script,
// builds request frames from hex templates, parses the radio's answer frames, checks data
// records byte by byte, and ends every operation with a result record handed to the
// completion callback.
//
// The state machine runs one step per tick of a 10 ms cmcTask on the window thread and
// never waits for the radio; the only busy waits are the 300 ms before a serial line is
// reopened with new settings, the 100 ms before its input is flushed and the 20 ms before
// each data frame on the network link. The driver never shows a message: the clone manager
// turns the result code into one.
#include "image/AddressRange.h"
#include "image/cmcBuff.h"
#include "link/cmcLink.h"
#include "link/dst_CDrv_Result.h"

#include "base/cmcTick.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class cmcTask;

class cmcCloneDrv {
public:
    // Called once at the end of an operation with its record, which the driver destroys
    // afterwards (take what is needed, keep no reference). The callback may start the next
    // operation.
    using Callback = std::function<void(dst_CDrv_Result& result)>;

    // Which link an operation uses.
    enum class LinkChoice { Serial, Network };

    static constexpr int ReadPieceSize = 256;
    static constexpr int MaxFrame = 520;     // longest answer frame (steps 9 and 19)
    static constexpr int MaxDataFrame = 521; // longest frame while receiving data
    static constexpr int MinDataFrame = 12;
    static constexpr int RxCompactAt = 4096;
    static constexpr int FramesPerStep = 8;
    static constexpr int WriteRequestAttempts = 8;
    static constexpr int AccessorySettingBytes = 13;
    static constexpr int AccessoryItems = 16;
    using AccessorySettings = std::array<std::uint8_t, AccessorySettingBytes>;

    // Steps of the state machine; the model driver's steps lie between ModelFirst and
    // ModelLast.
    enum Step : int {
        Idle = 0,
        Begin = 2,
        PlaySerialScript = 3,
        Reopen = 4,
        Connecting = 5,
        PlayScript = 6,
        Dispatch = 7,
        SendInfoRequest = 8,
        AwaitInfo = 9,
        SendReadRequest = 10,
        ReceiveData = 11,
        PrepareWrite = 12,
        SendWriteRequest = 13,
        AwaitWriteReady = 14,
        AwaitWriteReadyRetry = 15,
        SendData = 16,
        AwaitBlockAck = 17,
        SendEnd = 18,
        AwaitWriteDone = 19,
        ModelFirst = 20,
        ModelLast = 31,
        AccessoryStart = 32,
        AccessoryItem = 33,
        AwaitAccessoryAnswer = 34,
        AccessoryDone = 36,
        Finish = 37,
        Close = 38,
    };

    // The links come from the factory; the driver owns them from now on.
    explicit cmcCloneDrv(cmcLinkFactory& links);
    virtual ~cmcCloneDrv();
    cmcCloneDrv(const cmcCloneDrv&) = delete;
    cmcCloneDrv& operator=(const cmcCloneDrv&) = delete;

    // Configuration, by the clone manager before each operation.
    void SetModelWords(std::uint16_t word1, std::uint16_t word2);
    [[nodiscard]] std::uint16_t ModelWord1() const { return modelWord1_; }
    [[nodiscard]] std::uint16_t ModelWord2() const { return modelWord2_; }
    void SetImageSize(int size) { imageSize_ = size; }
    [[nodiscard]] int ImageSize() const { return imageSize_; }
    void SetLinkChoice(LinkChoice choice) { linkChoice_ = choice; }
    [[nodiscard]] LinkChoice GetLinkChoice() const { return linkChoice_; }
    // Serial port number and the settings string the exchange runs at.
    void SetLine(int portNumber, const std::string& baseSettings);
    [[nodiscard]] const std::string& BaseSettings() const { return baseSettings_; }
    // Network adaptor: TCP port and dotted IPv4 address.
    void SetNetwork(int tcpPort, const std::string& address);
    // 0xFE bytes before request frames on the serial link.
    void SetPreamble(int count) { preamble_ = count < 0 ? 0 : count; }
    // 0xFE bytes before the first and the later data frames on the serial link.
    void SetDataPreamble(int first, int later);
    void SetScript(const std::string& script) { script_ = script; }
    [[nodiscard]] const std::string& Script() const { return script_; }
    // A write waits for 0xFB when the next address modulo blockSize equals remainder; a
    // block size of 0 turns the waits off.
    void SetBlockAck(int blockSize, int remainder);
    // Time-outs in ms; a value of 0 or less keeps the previous one.
    void SetTimeouts(int general, int script, int info, int writeAck, int endAnswer);
    void SetSendFrameCount(bool on) { sendFrameCount_ = on; }
    // The wake-up script of the next operation carries the clone password: its time-outs
    // report PasswordTimeout. Holds for one operation.
    void SetPasswordSent(bool sent) { passwordSent_ = sent; }
    [[nodiscard]] bool PasswordSent() const { return passwordSent_; }
    // The main revision byte of the radio's clone information: not 0 selects the retry mode
    // of the write request.
    void SetMainRevision(std::uint8_t revision) { mainRevision_ = revision; }

    // Starting; each refused (false) while busy. The range lists are copied.
    bool StartInfo(Callback callback);
    bool StartRead(const AddressRangeList& ranges, Callback callback);
    // Refused also when a range in force lies outside the image.
    bool StartWrite(const cmcEeprom& image, const AddressRangeList& ranges, Callback callback);
    // Writes the accessory's settings: items 1, 2, 9, 10, 14, 15 and 16, and 11 to 13 (the
    // addresses) when the first byte (DHCP client mode) is 0.
    bool StartAccessoryWrite(const AccessorySettings& settings, Callback callback);
    // Items StartAccessoryWrite sends for these settings (the progress total).
    [[nodiscard]] static int AccessoryItemCount(const AccessorySettings& settings);

    [[nodiscard]] bool IsBusy() const { return step_ != Idle; }
    [[nodiscard]] int CurrentStep() const { return step_; }
    [[nodiscard]] cmcCloneKind Kind() const { return kind_; }
    // Data bytes (or accessory items) moved so far, and all bytes read and written.
    [[nodiscard]] long long Progress() const { return progress_; }
    [[nodiscard]] long long TotalBytes() const { return totalBytes_; }

    // The links, for the manager's checks and for tests.
    [[nodiscard]] cmcSerialLink& SerialLink() { return *serial_; }
    [[nodiscard]] cmcTcpLink& NetworkLink() { return *network_; }

protected:
    // Begins an operation of kind with a fresh result record; the task ticks every periodMs.
    bool startOperation(cmcCloneKind kind, Callback callback, int periodMs = 10);
    // The model driver's part: the first step of its kinds (step 7 goes there), one of its
    // steps, and the time-out of its steps. Without a model driver other kinds end at once.
    virtual int modelFirstStep(cmcCloneKind kind);
    virtual void runModelStep(int step, int& next, bool& active);
    virtual int modelTimeout(int step) const;

    // Helpers for the model driver's steps.
    [[nodiscard]] cmcLink& activeLink();
    [[nodiscard]] bool onNetwork() const { return linkChoice_ == LinkChoice::Network; }
    void sendBytes(const cmcBuff& bytes);
    void sendTemplate(const std::string& formatted, int preamble);
    // Ends the operation with code (it waits for the output to drain, then closes).
    void endWith(cmcCloneCode code, int& next);
    // Frame assembly (steps 9 and 19): reads what has arrived and answers whether a frame
    // (or an overlong one) completed; the last complete frame of the batch is kept in frame.
    enum class Assembly { Nothing, Frame, Overlong };
    [[nodiscard]] Assembly assembleLastFrame(cmcBuff& frame);
    // Single-byte answers: the next byte that has arrived, or -1.
    [[nodiscard]] int nextAnswerByte();
    [[nodiscard]] dst_CDrv_Result& result() { return *result_; }
    [[nodiscard]] int generalTimeout() const { return timeoutGeneral_; }
    void addProgress(long long n) { progress_ += n; }

private:
    void tick();
    void runStep();
    void finish();
    [[nodiscard]] int timeoutFor(int step) const;
    void playScriptSegment(bool reconnect, bool& active, int& next);
    [[nodiscard]] bool reopenSerial(const std::string& settings);
    void flushInput();
    int readLink();

    void stepAwaitInfo(int& next, bool& active);
    void stepReceiveData(int& next, bool& active);
    [[nodiscard]] cmcCloneCode checkDataFrame(const cmcBuff& frame);
    [[nodiscard]] cmcCloneCode checkEndFrame(const cmcBuff& frame) const;
    [[nodiscard]] cmcCloneCode coverage() const;
    void stepSendData(int& next, bool& active);
    void buildDataFrame(const AddressRange& range);
    void stepAwaitWriteReadyRetry(int& next, bool& active);
    void stepAccessoryItem(int& next, bool& active);
    void sendAccessoryItem(int item);

    std::unique_ptr<cmcSerialLink> serial_;
    std::unique_ptr<cmcTcpLink> network_;
    LinkChoice linkChoice_ = LinkChoice::Serial;

    std::uint16_t modelWord1_ = 0;
    std::uint16_t modelWord2_ = 0;
    int imageSize_ = 0;
    int portNumber_ = 0;
    std::string baseSettings_ = "9600,n,8,1";
    int tcpPort_ = 0;
    std::string address_;
    int preamble_ = 0;
    int dataPreambleFirst_ = 0;
    int dataPreambleLater_ = 0;
    cmcCloneKind kind_ = cmcCloneKind::None;
    bool sendFrameCount_ = true;
    int blockSize_ = 0;
    int blockRemainder_ = 0;
    int timeoutGeneral_ = 350;
    int timeoutScript_ = 350;
    int timeoutInfo_ = 350;
    int timeoutWriteAck_ = 350;
    int timeoutEnd_ = 2000;
    std::string script_;
    std::uint8_t mainRevision_ = 0;

    cmcBuff rx_;
    cmcBuff frame_;
    std::array<std::uint8_t, ReadPieceSize> readPiece_{};
    long long totalBytes_ = 0;
    long long progress_ = 0;
    int frameCount_ = 0;
    std::optional<AddressRangeList> ranges_;
    std::size_t rangeIndex_ = 0;
    int currentAddress_ = 0;
    bool firstDataFrame_ = true;
    int attempts_ = 0;
    bool expiredAtStart_ = false; // the deadline had expired when the step began

    AccessorySettings accessory_{};
    std::array<bool, AccessoryItems + 1> accessoryPending_{};
    int accessoryIndex_ = 0;
    int accessoryLastItem_ = 0;

    std::unique_ptr<dst_CDrv_Result> result_;
    Callback callback_;
    int step_ = Idle;
    cmcTick deadline_;
    bool passwordSent_ = false;
    std::unique_ptr<cmcTask> task_;
};
