#include "app/cuiMain.h"

#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"

cuiMain::cuiMain(indEnviron& env, std::string overlayBaseName, std::string folder)
    : env_(env), baseName_(std::move(overlayBaseName)), folder_(std::move(folder))
{
}

void cuiMain::LoadOverlays()
{
    LanguageText().SetFile(Format("%s%s.OVL", folder_.c_str(), baseName_.c_str()));
    if (env_.language < 0 || env_.language >= LanguageCount())
        env_.language = 0;
    loadChosenLanguage();
}

void cuiMain::ReloadLanguage() { loadChosenLanguage(); }

int cuiMain::LanguageCount() const
{
    int count = 0;
    while (count < MaxLanguages && !LanguageText().GetEntry("GI_Sys_Language", count).starts_with('#'))
        ++count;
    return count;
}

void cuiMain::loadChosenLanguage()
{
    // An entry is "display name TAB overlay file"; without a TAB the folder alone is named,
    // and the first lookup in it stops the program.
    const std::string entry = LanguageText().GetEntry("GI_Sys_Language", env_.language);
    MainText().SetFile(folder_ + FieldOf(entry, '\t', 1).value_or(""));
    HelpText().SetFile(folder_ + MainText().GetText("GI_Sys_MyHelpOvl"));
}
