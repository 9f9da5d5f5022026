#include "app/indMain.h"

#include "base/cmcGTex.h"
#include "base/cmcMessageBox.h"
#include "base/cmcTextTables.h"

#include <algorithm>
#include <cctype>

namespace {
std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool confirmed(const char* messageKey)
{
    return cmcMessageBox(MainText().GetMultiLineText(messageKey), MainText().GetText("GI_Sys_AppTitle"),
                         cmcMbButtons::OkCancel, cmcMbIcon::Exclamation) == cmcMbResult::Ok;
}
} // namespace

indMain::indMain(indEnviron& env, const std::string& folder) : cuiMain(env, OverlayBaseName, folder)
{
    LoadOverlays();
}

void indMain::ApplyCommandLine(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments)
        if (lowerCase(argument) == "/mintaro")
            EnterMakerMode();
    for (const std::string& argument : arguments)
        if (lowerCase(argument) == "/glimmer_kit")
            EnterFactoryAdjustMode();
}

void indMain::EnterMakerMode()
{
    if (makerMode_)
        return;
    if (!confirmed("GI_Mess_Maker_Caution")) {
        makerCharsTyped_ = 0;
        return;
    }
    makerMode_ = true;
}

void indMain::EnterFactoryAdjustMode()
{
    if (!factoryAdjustMode_ && confirmed("GI_Mess_FactADJMode_Caution"))
        factoryAdjustMode_ = true;
}

void indMain::MakerKeyTyped(char key)
{
    if (makerMode_)
        return;
    const std::string& word = Env().makerWord;
    const char typed = static_cast<char>(std::tolower(static_cast<unsigned char>(key)));
    if (makerCharsTyped_ < static_cast<int>(word.size()) &&
        typed == word[static_cast<std::size_t>(makerCharsTyped_)])
        ++makerCharsTyped_;
    else
        makerCharsTyped_ = !word.empty() && typed == word[0] ? 1 : 0;
    if (makerCharsTyped_ >= static_cast<int>(word.size()))
        EnterMakerMode();
}
