// The clone driver's configuration, starts, step dispatch, time-outs, wake-up script,
// link handling and the information exchange. The data transfer steps are in
// cmcCloneDrvData.cpp.
#include "link/cmcCloneDrv.h"

#include "base/cmcTask.h"
#include "base/cmcText.h"
#include "link/cmcCloneFrames.h"

#include <utility>

namespace {
constexpr int flushLimit = 65535;
constexpr std::uint32_t reconnectWaitMs = 300;
constexpr std::uint32_t flushWaitMs = 100;
constexpr int retryWaitMs = 1000;
constexpr int accessoryDoneMs = 5000;

bool isBcd(std::uint8_t b)
{
    return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}
} // namespace

cmcCloneDrv::cmcCloneDrv(cmcLinkFactory& links)
    : serial_(links.CreateSerial()), network_(links.CreateTcp()), task_(std::make_unique<cmcTask>())
{
    task_->SetHandler([this](cmcTask&) { tick(); });
}

cmcCloneDrv::~cmcCloneDrv()
{
    // The task may be running the very callback that destroys the driver: it is released
    // the deferred way then.
    task_->Clear();
    cmcTask::Release(std::move(task_));
    if (serial_)
        serial_->Close();
    if (network_)
        network_->Close();
}

void cmcCloneDrv::SetModelWords(std::uint16_t word1, std::uint16_t word2)
{
    modelWord1_ = word1;
    modelWord2_ = word2;
}

void cmcCloneDrv::SetLine(int portNumber, const std::string& baseSettings)
{
    portNumber_ = portNumber;
    baseSettings_ = baseSettings;
}

void cmcCloneDrv::SetNetwork(int tcpPort, const std::string& address)
{
    tcpPort_ = tcpPort;
    address_ = address;
}

void cmcCloneDrv::SetDataPreamble(int first, int later)
{
    dataPreambleFirst_ = first < 0 ? 0 : first;
    dataPreambleLater_ = later < 0 ? 0 : later;
}

void cmcCloneDrv::SetBlockAck(int blockSize, int remainder)
{
    blockSize_ = blockSize < 0 ? 0 : blockSize;
    blockRemainder_ = remainder;
}

void cmcCloneDrv::SetTimeouts(int general, int script, int info, int writeAck, int endAnswer)
{
    const auto keep = [](int& field, int value) {
        if (value > 0)
            field = value;
    };
    keep(timeoutGeneral_, general);
    keep(timeoutScript_, script);
    keep(timeoutInfo_, info);
    keep(timeoutWriteAck_, writeAck);
    keep(timeoutEnd_, endAnswer);
}

bool cmcCloneDrv::startOperation(cmcCloneKind kind, Callback callback, int periodMs)
{
    if (IsBusy())
        return false;
    kind_ = kind;
    callback_ = std::move(callback);
    progress_ = 0;
    totalBytes_ = 0;
    frameCount_ = 0;
    firstDataFrame_ = true;
    attempts_ = 0;
    rx_.Clear();
    frame_.Clear();
    result_ = std::make_unique<dst_CDrv_Result>();
    result_->kind = kind;
    result_->code = cmcCloneCode::LinkOpen;
    result_->modelWord1 = modelWord1_;
    result_->modelWord2 = modelWord2_;
    result_->image.SetSize(imageSize_);
    step_ = Begin;
    deadline_.Start(static_cast<std::uint32_t>(timeoutGeneral_));
    task_->SetPeriod(periodMs);
    return true;
}

bool cmcCloneDrv::StartInfo(Callback callback)
{
    if (IsBusy())
        return false;
    ranges_.reset();
    return startOperation(cmcCloneKind::Info, std::move(callback));
}

bool cmcCloneDrv::StartRead(const AddressRangeList& ranges, Callback callback)
{
    if (IsBusy())
        return false;
    ranges_ = ranges;
    return startOperation(cmcCloneKind::Read, std::move(callback));
}

bool cmcCloneDrv::StartWrite(const cmcEeprom& image, const AddressRangeList& ranges, Callback callback)
{
    if (IsBusy())
        return false;
    // A record addresses 16 bits of the image; anything else is a fault of the caller and
    // must not reach the radio.
    for (const AddressRange& range : ranges)
        if (range.start < 0 || range.end >= image.GetSize() || range.end > 0xFFFF)
            return false;
    ranges_ = ranges;
    rangeIndex_ = 0;
    currentAddress_ = ranges_->IsEmpty() ? 0 : ranges_->Ranges().front().start;
    if (!startOperation(cmcCloneKind::Write, std::move(callback)))
        return false;
    result_->image.CopyFrom(image);
    return true;
}

int cmcCloneDrv::AccessoryItemCount(const AccessorySettings& settings)
{
    return settings[0] == 0 ? 10 : 7;
}

bool cmcCloneDrv::StartAccessoryWrite(const AccessorySettings& settings, Callback callback)
{
    if (IsBusy())
        return false;
    ranges_.reset();
    accessory_ = settings;
    accessoryPending_.fill(false);
    for (const int item : {1, 2, 9, 10, 14, 15, 16})
        accessoryPending_[static_cast<std::size_t>(item)] = true;
    if (settings[0] == 0)
        for (const int item : {11, 12, 13})
            accessoryPending_[static_cast<std::size_t>(item)] = true;
    accessoryIndex_ = 0;
    accessoryLastItem_ = 0;
    return startOperation(cmcCloneKind::Accessory, std::move(callback));
}

cmcLink& cmcCloneDrv::activeLink()
{
    if (onNetwork())
        return *network_;
    return *serial_;
}

void cmcCloneDrv::tick()
{
    if (step_ != Idle)
        runStep();
    if (step_ != Idle && step_ != Close && !onNetwork() && serial_->WriteError()) {
        result_->code = cmcCloneCode::WriteError;
        step_ = Close;
    }
    if (step_ == Close)
        finish();
    if (step_ == Idle)
        task_->SetPeriod(-1);
}

int cmcCloneDrv::timeoutFor(int step) const
{
    switch (step) {
    case PlaySerialScript:
    case PlayScript:
        return script_.empty() ? timeoutGeneral_ : timeoutScript_;
    case AwaitInfo:
        return timeoutInfo_;
    case AwaitWriteReady:
        return timeoutWriteAck_;
    case AwaitWriteReadyRetry:
        return retryWaitMs;
    case AwaitWriteDone:
        return timeoutEnd_;
    case AccessoryDone:
        return accessoryDoneMs;
    default:
        break;
    }
    if (step >= ModelFirst && step <= ModelLast)
        return modelTimeout(step);
    return timeoutGeneral_;
}

void cmcCloneDrv::endWith(cmcCloneCode code, int& next)
{
    result_->code = code;
    next = Finish;
}

void cmcCloneDrv::runStep()
{
    const bool expired = deadline_.Remaining() == 0;
    int next = step_ + 1;
    bool active = true;
    const auto stay = [&](bool didSomething) {
        next = step_;
        active = didSomething;
    };

    switch (step_) {
    case Begin:
        next = onNetwork() ? Reopen : PlaySerialScript;
        break;
    case PlaySerialScript:
    case PlayScript: {
        const bool played = !script_.empty();
        if (played) {
            playScriptSegment(step_ == PlaySerialScript, active, next);
            if (next == Finish)
                break;
        }
        if (!script_.empty() || activeLink().OutputPending() > 0)
            stay(played);
        else
            next = step_ == PlaySerialScript ? Reopen : Dispatch;
        break;
    }
    case Reopen:
        if (onNetwork()) {
            network_->Close();
            if (network_->Open(tcpPort_, address_))
                next = Connecting;
            else
                endWith(cmcCloneCode::LinkOpen, next);
        } else {
            serial_->Close();
            if (serial_->Open(portNumber_, baseSettings_)) {
                flushInput();
                next = PlayScript;
            } else {
                endWith(cmcCloneCode::LinkOpen, next);
            }
        }
        break;
    case Connecting:
        if (!network_->IsConnected())
            stay(false);
        break;
    case Dispatch:
        switch (kind_) {
        case cmcCloneKind::Info:
            next = SendInfoRequest;
            break;
        case cmcCloneKind::Read:
            next = SendReadRequest;
            break;
        case cmcCloneKind::Write:
            next = PrepareWrite;
            break;
        case cmcCloneKind::Accessory:
            next = AccessoryStart;
            break;
        default:
            next = modelFirstStep(kind_);
            break;
        }
        break;
    case SendInfoRequest:
        sendTemplate(Format("FEFE EE EF E0 %04X %04X FD", modelWord1_, modelWord2_), preamble_);
        frame_.Clear();
        break;
    case AwaitInfo:
        stepAwaitInfo(next, active);
        break;
    case SendReadRequest:
        sendTemplate(Format("FEFE EE EF E2 %04X %04X FD", modelWord1_, modelWord2_), preamble_);
        frame_.Clear();
        break;
    case ReceiveData:
        stepReceiveData(next, active);
        break;
    case PrepareWrite:
        result_->retryMode = mainRevision_ != 0;
        attempts_ = 0;
        break;
    case SendWriteRequest:
        sendTemplate(Format("FEFE EE EF E3 %04X %04X FD", modelWord1_, modelWord2_), preamble_);
        frame_.Clear();
        next = result_->retryMode ? AwaitWriteReadyRetry : AwaitWriteReady;
        break;
    case AwaitWriteReady:
    case AwaitBlockAck: {
        const int b = nextAnswerByte();
        if (b == cmcAck)
            next = SendData;
        else if (b == cmcRefusal)
            endWith(cmcCloneCode::Frame, next);
        else
            stay(false);
        break;
    }
    case AwaitWriteReadyRetry:
        expiredAtStart_ = expired;
        stepAwaitWriteReadyRetry(next, active);
        break;
    case SendData:
        stepSendData(next, active);
        break;
    case SendEnd: {
        cmcBuff end;
        cmcAppendHexTemplate(end, "FEFE EE EF E5");
        cmcAppendEndText(end, frameCount_, sendFrameCount_);
        end.AppendByte(cmcFrameEnd);
        sendBytes(end);
        frame_.Clear();
        break;
    }
    case AwaitWriteDone: {
        cmcBuff frame;
        const Assembly got = assembleLastFrame(frame);
        if (got == Assembly::Nothing) {
            stay(false);
            break;
        }
        const std::uint8_t* d = frame.Data();
        const bool done = got == Assembly::Frame && frame.Size() == 5 && d[1] == cmcAddrProgram &&
                          d[2] == cmcAddrRadio && d[3] == cmcCmdWriteDone && d[4] == 0x00;
        endWith(done ? cmcCloneCode::Ok : cmcCloneCode::WriteFailed, next);
        break;
    }
    case AccessoryStart:
        progress_ = 1;
        frame_.Clear();
        break;
    case AccessoryItem:
        stepAccessoryItem(next, active);
        break;
    case AwaitAccessoryAnswer: {
        const int b = nextAnswerByte();
        if (b == cmcAck || b == 'o')
            next = accessoryLastItem_ >= AccessoryItems ? AccessoryDone : AccessoryItem;
        else if (b == cmcRefusal || b == 'x')
            endWith(cmcCloneCode::Frame, next);
        else
            stay(false);
        break;
    }
    case AccessoryDone:
        endWith(cmcCloneCode::Ok, next);
        break;
    case Finish:
        if (activeLink().OutputPending() > 0)
            stay(false);
        else
            next = Close;
        break;
    default:
        if (step_ >= ModelFirst && step_ <= ModelLast)
            runModelStep(step_, next, active);
        else
            next = Finish; // no such step: end with the code set so far
        break;
    }

    if (next != step_ || active) {
        deadline_.Start(static_cast<std::uint32_t>(timeoutFor(next)));
    } else if (expired) {
        if (step_ == Finish) {
            // The output never drained: give it up and close, keeping the code found.
            activeLink().DropOutput();
            if (result_->code == cmcCloneCode::Ok)
                result_->code = cmcCloneCode::Timeout;
            next = Close;
        } else if (step_ == AwaitWriteDone) {
            // Everything was sent; what is missing is the radio's word that it was stored.
            result_->code = cmcCloneCode::WriteFailed;
            next = Finish;
            deadline_.Start(static_cast<std::uint32_t>(timeoutFor(next)));
        } else {
            result_->code = passwordSent_ ? cmcCloneCode::PasswordTimeout : cmcCloneCode::Timeout;
            passwordSent_ = false;
            if (onNetwork())
                network_->DropOutput();
            next = Finish;
            deadline_.Start(static_cast<std::uint32_t>(timeoutFor(next)));
        }
    }
    step_ = next;
    if (rx_.Size() > RxCompactAt)
        rx_.Compact();
}

void cmcCloneDrv::finish()
{
    activeLink().Close();
    step_ = Idle;
    std::unique_ptr<dst_CDrv_Result> record = std::move(result_);
    Callback callback = std::move(callback_);
    callback_ = nullptr;
    rx_.Clear();
    frame_.Clear();
    ranges_.reset();
    passwordSent_ = false;
    // The callback may start the next operation; nothing of this one is touched afterwards.
    if (callback)
        callback(*record);
}

void cmcCloneDrv::playScriptSegment(bool reconnect, bool& active, int& next)
{
    const cmcScriptSegment segment = cmcTakeScriptSegment(script_);
    active = true;
    if (segment.lineSettings) {
        // The network link has no line to set.
        if (reconnect && !reopenSerial(segment.text))
            endWith(cmcCloneCode::LinkOpen, next);
        return;
    }
    cmcBuff bytes;
    cmcAppendHexTemplate(bytes, segment.text);
    sendBytes(bytes);
}

bool cmcCloneDrv::reopenSerial(const std::string& settings)
{
    cmcTick::Delay(reconnectWaitMs);
    serial_->Close();
    if (!serial_->Open(portNumber_, settings))
        return false;
    flushInput();
    return true;
}

void cmcCloneDrv::flushInput()
{
    cmcTick::Delay(flushWaitMs);
    std::uint8_t b = 0;
    for (int i = 0; i < flushLimit; ++i)
        if (serial_->Read(&b, 1) <= 0)
            break;
}

int cmcCloneDrv::readLink()
{
    const int n = activeLink().Read(readPiece_.data(), ReadPieceSize);
    if (n <= 0)
        return 0;
    rx_.Append(readPiece_.data(), n);
    totalBytes_ += n;
    return n;
}

void cmcCloneDrv::sendBytes(const cmcBuff& bytes)
{
    if (bytes.Size() == 0)
        return;
    const int n = activeLink().Write(bytes.Data(), bytes.Size());
    if (n > 0)
        totalBytes_ += n;
}

void cmcCloneDrv::sendTemplate(const std::string& formatted, int preamble)
{
    cmcBuff bytes;
    if (!onNetwork())
        bytes.AppendFill(cmcFrameStart, preamble);
    cmcAppendHexTemplate(bytes, formatted);
    sendBytes(bytes);
}

cmcCloneDrv::Assembly cmcCloneDrv::assembleLastFrame(cmcBuff& frame)
{
    readLink();
    Assembly got = Assembly::Nothing;
    while (rx_.Size() > 0) {
        const int b = rx_.PopFront();
        if (b == cmcFrameStart) {
            frame_.Clear();
            frame_.AppendByte(cmcFrameStart);
            continue;
        }
        if (frame_.Size() == 0)
            continue; // noise before a frame
        if (b == cmcFrameEnd) {
            frame.Assign(frame_);
            frame_.Clear();
            got = Assembly::Frame;
            continue;
        }
        frame_.AppendByte(static_cast<std::uint8_t>(b));
        if (frame_.Size() > MaxFrame) {
            frame_.Clear();
            got = Assembly::Overlong;
        }
    }
    return got;
}

int cmcCloneDrv::nextAnswerByte()
{
    readLink();
    return rx_.PopFront();
}

void cmcCloneDrv::stepAwaitInfo(int& next, bool& active)
{
    cmcBuff frame;
    const Assembly got = assembleLastFrame(frame);
    if (got == Assembly::Nothing) {
        next = step_;
        active = false;
        return;
    }
    const std::uint8_t* d = frame.Data();
    if (got != Assembly::Frame || frame.Size() < 8 || d[1] != cmcAddrProgram || d[2] != cmcAddrRadio ||
        d[3] != cmcCmdInfoAnswer) {
        endWith(cmcCloneCode::Frame, next);
        return;
    }
    if (!isBcd(d[4]) || !isBcd(d[5]) || !isBcd(d[6]) || !isBcd(d[7])) {
        endWith(cmcCloneCode::Frame, next);
        return;
    }
    result_->modelWord1 = static_cast<std::uint16_t>(d[4] << 8 | d[5]);
    result_->modelWord2 = static_cast<std::uint16_t>(d[6] << 8 | d[7]);
    result_->info.Assign(d + 8, frame.Size() - 8);
    if (modelWord1_ == 0)
        modelWord1_ = result_->modelWord1;
    endWith(cmcCloneCode::Ok, next);
}

int cmcCloneDrv::modelFirstStep(cmcCloneKind)
{
    return Finish; // no model steps: the operation ends with code 2
}

void cmcCloneDrv::runModelStep(int, int& next, bool&)
{
    next = Finish;
}

int cmcCloneDrv::modelTimeout(int) const
{
    return timeoutGeneral_;
}
