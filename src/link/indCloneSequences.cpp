#include "link/indCloneSequences.h"

#include "base/cmcGTex.h"
#include "base/cmcMessageBox.h"
#include "base/cmcTextTables.h"
#include "cells/datMemoryMap.h"
#include "cells/indCloneInfo.h"
#include "cells/indDocument.h"
#include "cells/indModelData.h"
#include "link/indCloneHost.h"
#include "link/indCloneMan.h"
#include "link/indWriteImage.h"

namespace {
constexpr int clonePasswordPlace = 0x10BD1; // the image's own clone password (not 0: set)
constexpr int channelSlots = 32;

std::string title()
{
    return MainText().GetText("GI_Sys_AppTitle");
}

bool confirmed(const char* key)
{
    return cmcMessageBox(MainText().GetMultiLineText(key), title(), cmcMbButtons::OkCancel,
                         cmcMbIcon::Exclamation) == cmcMbResult::Ok;
}

void refuse(const char* key)
{
    cmcMessageBox(MainText().GetMultiLineText(key), title(), cmcMbButtons::Ok, cmcMbIcon::Error);
}

bool anyChannelProgrammed(const cmcEeprom& image)
{
    for (int slot = 0; slot < channelSlots; ++slot)
        if (datChannelSlotInUse(image, slot))
            return true;
    return false;
}
} // namespace

indCloneSequences::indCloneSequences(indCloneMan& manager, indDocument& document, indCloneHost& host)
    : man_(manager), document_(document), host_(host)
{
    man_.SetHandlers([this](dst_CDrv_Result& r) { CheckInfoAnswer(r); },
                     [this](dst_CDrv_Result& r) { CheckReadImage(r); });
}

const indCloneInfo& indCloneSequences::Info() const
{
    return man_.Info();
}

void indCloneSequences::CheckInfoAnswer(dst_CDrv_Result& result)
{
    const bool isModel = result.modelWord1 == indModelWord1;
    const bool isAlternative = indAltModelWord1 != 0 && result.modelWord1 == indAltModelWord1;
    const int count = result.info.Size();
    // A refused answer leaves the record the program had.
    if ((!isModel && !isAlternative) || count == 0 || result.info.Data()[0] != count) {
        result.code = cmcCloneCode::Model;
        return;
    }
    indCloneInfo& info = man_.Info();
    info = indCloneInfo{};
    info.word1 = result.modelWord1;
    info.word2 = result.modelWord2;
    info.altMatched = isAlternative && !isModel;
    for (int i = 0; i < count && i < indCloneInfoSize; ++i)
        info.bytes[static_cast<std::size_t>(i)] = result.info.Data()[i];
    if (info.MapRevision() > 1 || (man_.AdjustMode() && result.modelWord1 != indModelWord1))
        result.code = cmcCloneCode::MapRevision;
}

void indCloneSequences::CheckReadImage(dst_CDrv_Result& result)
{
    if (indCheckImage(result.image, true) != 0)
        result.code = cmcCloneCode::ImageCheck;
    else if (indCheckNewerData(result.image) == 1)
        result.code = cmcCloneCode::NewerData;
}

void indCloneSequences::setModelWords()
{
    // A model with an alternative word 1 takes the word the radio answers with.
    man_.SetModelWords(indAltModelWord1 != 0 ? 0 : indModelWord1, 0);
}

bool indCloneSequences::begin(Done done)
{
    if (man_.IsBusy())
        return false;
    done_ = std::move(done);
    confirmed_ = false;
    passwordAsked_ = false;
    setModelWords();
    return true;
}

bool indCloneSequences::exchangeInfo(Pass pass)
{
    return man_.StartInfoExchange([this, pass](dst_CDrv_Result& r) { (this->*pass)(r); });
}

bool indCloneSequences::passwordStep(bool due, Pass pass)
{
    if (!due || passwordAsked_)
        return false;
    const std::optional<std::string> password = host_.AskClonePassword();
    if (!password) {
        finish(0, true);
        return true;
    }
    if (password->empty() || password->size() > static_cast<std::size_t>(indCloneMan::MaxPasswordLength)) {
        refuse("GI_AppInd_Opt_ClonePwd_OutofRange");
        finish(0, true);
        return true;
    }
    man_.SetPassword(*password);
    man_.ArmPassword();
    passwordAsked_ = true;
    if (!exchangeInfo(pass))
        finish(0, true);
    return true;
}

// ---- reading

bool indCloneSequences::ReadRadio(Done done)
{
    if (!begin(std::move(done)))
        return false;
    if (!exchangeInfo(&indCloneSequences::readPass)) {
        done_ = nullptr;
        return false;
    }
    return true;
}

void indCloneSequences::readPass(dst_CDrv_Result& result)
{
    if (result.code != cmcCloneCode::Ok || man_.IsBusy()) {
        finish(static_cast<int>(result.code));
        return;
    }
    if (passwordStep(Info().PasswordNeededForRead(), &indCloneSequences::readPass))
        return;
    // The radio's memory up to its last address, in whole 16-byte records.
    AddressRangeList ranges = indAddressRanges(1);
    if (!ranges.IsEmpty())
        ranges.Ranges().front().end = (Info().LastAddress() & ~0xF) + 15;
    man_.SetImageSize(document_.Working().GetSize());
    if (!man_.StartReadRadio(ranges, [this](dst_CDrv_Result& r) { readDone(r); }))
        finish(static_cast<int>(cmcCloneCode::LinkOpen));
}

void indCloneSequences::readDone(dst_CDrv_Result& result)
{
    if (result.code == cmcCloneCode::Ok) {
        document_.TakeReadImage(result.image);
        host_.ImageRead();
    }
    finish(static_cast<int>(result.code));
}

// ---- writing

bool indCloneSequences::WriteRadio(Done done)
{
    if (!man_.AccessoryDialogOpen()) {
        if (!anyChannelProgrammed(document_.Working())) {
            refuse("GI_AppMess_CloneErr_NoActualCh");
            return false;
        }
        if (host_.CountDataErrors() > 0) {
            refuse("GI_Mess_DataError");
            return false;
        }
    }
    if (!begin(std::move(done)))
        return false;
    if (!exchangeInfo(&indCloneSequences::writePass)) {
        done_ = nullptr;
        return false;
    }
    return true;
}

bool indCloneSequences::WriteAccessorySettings(const cmcCloneDrv::AccessorySettings& settings, Done done)
{
    if (!man_.AccessoryDialogOpen() || man_.IsBusy())
        return false;
    accessory_ = settings;
    return WriteRadio(std::move(done));
}

void indCloneSequences::writePass(dst_CDrv_Result& result)
{
    if (result.code != cmcCloneCode::Ok || man_.IsBusy()) {
        finish(static_cast<int>(result.code));
        return;
    }
    const bool accessory = man_.AccessoryDialogOpen();
    if (!confirmed_ && !accessory) {
        if ((makerMode_ && !confirmed("GI_Mess_Maker_Caution")) ||
            (document_.Working().GetByte(clonePasswordPlace) != 0 &&
             !confirmed("GI_Mess_Confirm_CloneWriteClonePass")) ||
            !confirmed("GI_Mess_Confirm_CloneWrite")) {
            finish(0, true);
            return;
        }
        confirmed_ = true;
        if (!exchangeInfo(&indCloneSequences::writePass))
            finish(0, true);
        return;
    }
    if (!accessory && passwordStep(Info().HasPassword(), &indCloneSequences::writePass))
        return;
    confirmed_ = false;
    if (accessory) {
        if (!man_.StartAccessoryWrite(accessory_, [this](dst_CDrv_Result& r) { writeDone(r); }))
            finish(static_cast<int>(cmcCloneCode::LinkOpen));
        return;
    }
    cmcEeprom copy;
    AddressRangeList ranges;
    if (!indPrepareWriteImage(document_, Info(), makerMode_, copy, ranges)) {
        finish(0, true);
        return;
    }
    man_.SetImageSize(copy.GetSize());
    if (!man_.StartWriteRadio(copy, ranges, [this](dst_CDrv_Result& r) { writeDone(r); }))
        finish(static_cast<int>(cmcCloneCode::LinkOpen));
}

void indCloneSequences::writeDone(dst_CDrv_Result& result)
{
    if (result.code == cmcCloneCode::Ok) {
        if (!man_.AccessoryDialogOpen())
            host_.ImageWritten();
        cmcMessageBox(MainText().GetMultiLineText("GI_Mess_CloneWrite_Succeeded"), title(), cmcMbButtons::Ok,
                      cmcMbIcon::Information);
    }
    finish(static_cast<int>(result.code));
}

// ---- clone information

bool indCloneSequences::ShowCloneInfo(Done done)
{
    if (!begin(std::move(done)))
        return false;
    if (!exchangeInfo(&indCloneSequences::infoDone)) {
        done_ = nullptr;
        return false;
    }
    return true;
}

void indCloneSequences::infoDone(dst_CDrv_Result& result)
{
    if (result.code == cmcCloneCode::Ok)
        host_.ShowCloneInfo(Info());
    finish(static_cast<int>(result.code));
}

void indCloneSequences::ShowSampleCloneInfo()
{
    const indCloneInfo sample = indSampleCloneInfo();
    host_.ShowCloneInfo(sample);
}

void indCloneSequences::finish(int code, bool cancelled)
{
    confirmed_ = false;
    Done done = std::move(done_);
    done_ = nullptr;
    if (done)
        done(Outcome{code, cancelled});
}
