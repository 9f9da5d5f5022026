#include "cells/indDocument.h"

#include "cells/datMemoryMap.h"

namespace {
constexpr int kCommentPlace = 0x10C0C; // two 16-character fields
constexpr int kCommentField = 16;
constexpr int kClonefileMapRev = 1;

// Map revisions a clone file and the initial file may carry.
bool acceptedMapRev(int mapRev) { return mapRev < 2; }

std::string trimTrailingBlanks(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

cmcIcfModelCheck modelCheck(indModelWords& words, int* seenWord1 = nullptr, int* seenWord2 = nullptr)
{
    return [&words, seenWord1, seenWord2](int word1, int word2, cmcIcfResult& code) {
        if (seenWord1 && seenWord2) {
            *seenWord1 = word1;
            *seenWord2 = word2;
        }
        const int result = words.CheckFileModel(word1, word2);
        code = static_cast<cmcIcfResult>(result);
        return result == 0;
    };
}
} // namespace

indDocument::indDocument()
{
    for (cmcEeprom* image : {&working_, &lastRead_, &default_, &savedState_})
        image->SetSize(indModelImageSize);
}

cmcIcfResult indDocument::LoadInitialFile(const std::string& path)
{
    cmcIcfFile file;
    file.SetImage(default_);
    file.SetModelWords(indModelWord1, indModelWord2);
    file.SetModelCheck(modelCheck(words_));
    file.SetMapRevCheck(acceptedMapRev);
    const AddressRangeList ranges = indAddressRanges(3);
    const cmcIcfResult result = file.ReadCloneFile(path, &ranges);
    if (result != cmcIcfResult::Ok)
        return result;
    prefillStatic(default_);
    New();
    return result;
}

void indDocument::New()
{
    working_.CopyFrom(default_);
    Static2Dynamic(working_, false);
    lastRead_.CopyFrom(working_);
    path_.clear();
    MarkSaved();
}

cmcCloneFileChecks indDocument::OpenChecks()
{
    cmcCloneFileChecks checks;
    checks.modelWord1 = indModelWord1;
    checks.modelWord2 = indModelWord2;
    checks.modelCheck = modelCheck(words_, &fileWord1_, &fileWord2_);
    checks.mapRevCheck = acceptedMapRev;
    checks.imageValid = [](const cmcEeprom& image) { return indCheckImage(image, false) == 0; };
    checks.refuseNewer = [](const cmcEeprom& image) { return indCheckNewerData(image) == 1; };
    checks.coverage = indAddressRanges(3);
    checks.imageSize = indModelImageSize;
    return checks;
}

cmcIcfResult indDocument::Open(const std::string& path)
{
    const cmcCloneFileOpen opened = cmcOpenCloneFile(path, OpenChecks());
    if (opened.result != cmcIcfResult::Ok)
        return opened.result;
    loadRadioArea(*opened.image);
    path_ = path;
    fileMapRev_ = opened.mapRev;
    MarkSaved();
    return cmcIcfResult::Ok;
}

void indDocument::TakeReadImage(const cmcEeprom& image)
{
    loadRadioArea(image);
    path_.clear();
    markedModified_ = true;
}

void indDocument::loadRadioArea(const cmcEeprom& image)
{
    // The working area starts from the default image; the source gives the radio memory area.
    for (cmcEeprom* target : {&working_, &lastRead_}) {
        target->CopyFrom(default_);
        Static2Dynamic(*target, false);
        target->WriteBlock(0, image.Bytes(), cmcRadioMemoryEnd + 1);
    }
    indAfterLoad(working_, default_, words_, lcdFontSize_);
}

std::string indDocument::Comment() const
{
    std::string fields[2];
    for (int f = 0; f < 2; ++f) {
        for (int i = 0; i < kCommentField; ++i) {
            const std::uint8_t c = working_.Bytes()[kCommentPlace + f * kCommentField + i];
            fields[f] += c >= 32 && c <= 126 ? static_cast<char>(c) : ' ';
        }
    }
    return trimTrailingBlanks(trimTrailingBlanks(fields[0]) + fields[1]);
}

cmcIcfResult indDocument::Save(const std::string& path)
{
    indBeforeSave(working_, default_, indSaveStage::BeforeSave, words_, lcdFontSize_);
    cmcIcfFile file;
    file.SetImage(working_);
    file.SetModelWords(indModelWord1, indModelWord2);
    file.SetComment(Comment());
    file.SetMapRev(kClonefileMapRev);
    const cmcIcfResult result = file.WriteCloneFile(path, indAddressRanges(2));
    if (result == cmcIcfResult::Ok) {
        path_ = path;
        MarkSaved();
    }
    return result;
}
