#include "link/indCloneMan.h"

#include "base/cmcGTex.h"
#include "base/cmcMessageBox.h"
#include "base/cmcTask.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "link/imcCloneDrv.h"
#include "link/indCloneHost.h"

#include <vector>

namespace {

// Sent at one speed, the speed command moves the radio to the other: "27" at 38400 baud
// asks for 9600, "09" at 9600 baud for 38400. Twenty 0xFE wake the radio's receiver first.
std::string speedCommand(std::uint16_t word1, bool at38400)
{
    return Format("FEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFE EEEF E8 %04X%04X 01 %02X%02X FD", word1, 0,
                  at38400 ? '2' : '0', at38400 ? '7' : '9');
}

// The clone password: its length, its checksum (two's complement of the sum of its
// characters) and its characters, each byte as two ASCII hexadecimal digits that travel as
// their ASCII codes (a length of 4 travels as 0x30 0x34).
std::string passwordCommand(std::uint16_t word1, const std::string& password)
{
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(password.size()), 0};
    unsigned sum = 0;
    for (const char c : password) {
        bytes.push_back(static_cast<std::uint8_t>(c));
        sum += static_cast<std::uint8_t>(c);
    }
    bytes[1] = static_cast<std::uint8_t>((0x100 - (sum & 0xFF)) & 0xFF);
    std::string digits;
    for (const std::uint8_t b : bytes) {
        const std::string pair = Format("%02X", b);
        digits += Format("%02X%02X", pair[0], pair[1]);
    }
    return Format("FEFE EEEF E8 %04X%04X 99 ", word1, 0) + digits + " FD";
}

// The check lines of a code (items of GI_Mess_CloneErr_Check); -1 stands for the line of
// the link in use (item 1 serial, item 2 network).
std::vector<int> checkLines(int code)
{
    constexpr int link = -1;
    switch (code) {
    case 10:
        return {0, 3, 4};
    case 11:
        return {0, link, 3, 4, 5, 6};
    case 14:
        return {0, 5, 6};
    case 16:
        return {};
    case 18:
        return {9};
    default:
        return {0, link, 3, 4};
    }
}

// The first "%d" of a text replaced by value (the overlay text is not a format the
// program may trust).
std::string withNumber(std::string text, int value)
{
    if (const std::size_t at = text.find("%d"); at != std::string::npos)
        text.replace(at, 2, std::to_string(value));
    return text;
}

} // namespace

indCloneMan::indCloneMan(cmcLinkFactory& links, indCloneHost& host)
    : host_(host), plain_(std::make_unique<cmcCloneDrv>(links)), model_(std::make_unique<imcCloneDrv>(links)),
      progressTask_(std::make_unique<cmcTask>())
{
    progressTask_->SetHandler([this](cmcTask&) { tickProgress(); });
}

indCloneMan::~indCloneMan()
{
    cmcTask::Release(std::move(progressTask_));
}

void indCloneMan::SetHandlers(Handler info, Handler read)
{
    infoHandler_ = std::move(info);
    readHandler_ = std::move(read);
}

bool indCloneMan::IsBusy() const
{
    return plain_->IsBusy() || model_->IsBusy();
}

void indCloneMan::SetModelWords(std::uint16_t word1, std::uint16_t word2)
{
    plain_->SetModelWords(word1, word2);
    model_->SetModelWords(word1, word2);
}

void indCloneMan::SetImageSize(int size)
{
    plain_->SetImageSize(size);
}

void indCloneMan::ConfigureLink(bool highSpeed, bool password, bool writing)
{
    cmcCloneDrv& d = *plain_;
    const std::uint16_t word1 = d.ModelWord1();
    const bool serial = !settings_.network;
    std::string script;
    // A radio left at either speed is brought to 9600 baud first.
    if (serial)
        script += Format("(38400,N,8,1)%s(9600,N,8,1)", speedCommand(word1, true).c_str());
    if (password)
        script += passwordCommand(word1, password_);
    // Radios of main revision 0 want the clone direction before a write request.
    if (info_.MainRevision() == 0)
        script += Format("FEFE EEEF E8 %04X%04X 55 %02X%02X FD", word1, 0, '0', writing ? '1' : '0');
    if (serial) {
        d.SetLinkChoice(cmcCloneDrv::LinkChoice::Serial);
        if (highSpeed) {
            script += Format("(9600,N,8,1)%s", speedCommand(word1, false).c_str());
            d.SetLine(settings_.comPort, "38400,N,8,1");
            d.SetPreamble(HighSpeedPreamble);
        } else {
            script += Format("(38400,N,8,1)%s", speedCommand(word1, true).c_str());
            d.SetLine(settings_.comPort, "9600,N,8,1");
            d.SetPreamble(LowSpeedPreamble);
        }
    } else {
        d.SetLinkChoice(cmcCloneDrv::LinkChoice::Network);
        d.SetNetwork(settings_.tcpPort, settings_.ipAddress);
    }
    d.SetScript(script);
    d.SetDataPreamble(0, 0);
    d.SetSendFrameCount(true);
    d.SetBlockAck(BlockSize, 0);
    d.SetTimeouts(GeneralTimeout, 0, 0, 0, 0);
    d.SetMainRevision(info_.MainRevision());
    d.SetPasswordSent(password);
}

bool indCloneMan::StartInfoExchange(Continuation continuation)
{
    if (IsBusy())
        return false;
    ConfigureLink(false, false, false);
    if (!plain_->StartInfo([this](dst_CDrv_Result& r) { completed(r); }))
        return false;
    begin(0, std::move(continuation));
    return true;
}

bool indCloneMan::StartReadRadio(const AddressRangeList& ranges, Continuation continuation)
{
    if (IsBusy())
        return false;
    ConfigureLink(settings_.highSpeed, armed_, false);
    if (!plain_->StartRead(ranges, [this](dst_CDrv_Result& r) { completed(r); })) {
        plain_->SetPasswordSent(false);
        return false;
    }
    armed_ = false;
    begin(ranges.ByteCount(), std::move(continuation));
    showProgress("GI_Mess_CloneRW_Title_Message", 1);
    return true;
}

bool indCloneMan::StartWriteRadio(const cmcEeprom& image, const AddressRangeList& ranges,
                                  Continuation continuation)
{
    if (IsBusy())
        return false;
    const bool password = armed_ && !accessoryOpen_;
    ConfigureLink(settings_.highSpeed, password, true);
    plain_->SetTimeouts(WriteGeneralTimeout, 0, 0, WriteAckTimeout, 0);
    if (!plain_->StartWrite(image, ranges, [this](dst_CDrv_Result& r) { completed(r); })) {
        plain_->SetPasswordSent(false);
        return false;
    }
    armed_ = false;
    begin(ranges.ByteCount(), std::move(continuation));
    showProgress("GI_Mess_CloneRW_Title_Message", 0);
    return true;
}

bool indCloneMan::StartAccessoryWrite(const cmcCloneDrv::AccessorySettings& settings,
                                      Continuation continuation)
{
    if (IsBusy())
        return false;
    ConfigureLink(settings_.highSpeed, false, true);
    plain_->SetTimeouts(WriteGeneralTimeout, 0, 0, WriteAckTimeout, 0);
    if (!plain_->StartAccessoryWrite(settings, [this](dst_CDrv_Result& r) { completed(r); }))
        return false;
    begin(cmcCloneDrv::AccessoryItemCount(settings), std::move(continuation));
    showProgress("GI_Mess_CloneRW_Title_Message", 0);
    return true;
}

void indCloneMan::begin(long long total, Continuation continuation)
{
    total_ = total;
    continuation_ = std::move(continuation);
    host_.SetWindowsEnabled(false);
}

void indCloneMan::showProgress(const char* itemKey, int item)
{
    host_.ShowProgress(MainText().GetEntry(itemKey, item));
    host_.UpdateProgress(0, total_);
    progressShown_ = true;
    progressTask_->SetPeriod(ProgressPeriodMs);
}

void indCloneMan::tickProgress()
{
    if (progressShown_)
        host_.UpdateProgress(plain_->Progress(), total_);
    if (!IsBusy())
        progressTask_->SetPeriod(-1);
}

void indCloneMan::completed(dst_CDrv_Result& result)
{
    // The checks of a successful answer.
    if (result.code == cmcCloneCode::Ok) {
        if (result.kind == cmcCloneKind::Info) {
            if (infoHandler_)
                infoHandler_(result);
            else
                result.code = cmcCloneCode::Model;
        } else if (result.kind == cmcCloneKind::Read) {
            if (readHandler_)
                readHandler_(result);
            else
                result.code = cmcCloneCode::Missing;
        }
    }
    const int code = static_cast<int>(result.code);
    if (progressShown_)
        host_.UpdateProgress(plain_->Progress(), total_);
    // Shown while the progress window is still up, so the box is owned by it.
    ShowCloneError(code);
    // From the accessory dialog a successful information exchange is followed by the write.
    const bool writeFollows = accessoryOpen_ && result.kind == cmcCloneKind::Info && code == 0;
    if (!writeFollows)
        host_.SetWindowsEnabled(true);
    if (progressShown_) {
        progressShown_ = false;
        progressTask_->SetPeriod(-1);
        host_.CloseProgress();
    }
    Continuation continuation = std::move(continuation_);
    continuation_ = nullptr;
    if (continuation)
        continuation(result);
    if (code != 0)
        adjustMode_ = false;
}

std::string indCloneMan::CloneErrorText(int code) const
{
    if (code <= 0 || code > static_cast<int>(cmcCloneCode::PasswordTimeout))
        return {};
    cmcGTex& texts = MainText();
    std::string text = texts.GetEntry(cmcCloneMessageHeadKey, code);
    if (code == static_cast<int>(cmcCloneCode::LinkOpen)) {
        text = withNumber(text, settings_.comPort);
        // Why the port could not be opened (held by another process, permission missing).
        const std::string reason = settings_.network ? plain_->NetworkLink().OpenFailureReason()
                                                     : plain_->SerialLink().OpenFailureReason();
        if (!reason.empty())
            text += Format("\n%s", reason.c_str());
    }
    const std::vector<int> lines = checkLines(code);
    if (lines.empty())
        return text;
    text += "\n";
    for (const int line : lines)
        text += Format(
            "\n%s",
            texts.GetEntry(cmcCloneMessageCheckKey, line < 0 ? (settings_.network ? 2 : 1) : line).c_str());
    return text;
}

void indCloneMan::ShowCloneError(int code) const
{
    const std::string text = CloneErrorText(code);
    if (text.empty())
        return;
    cmcMessageBox(text, MainText().GetText("GI_Sys_AppTitle"), cmcMbButtons::Ok, cmcMbIcon::Error);
}
