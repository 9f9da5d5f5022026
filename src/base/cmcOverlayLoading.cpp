#include "base/cmcOverlayLoading.h"

#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"

int cmcLanguageCount()
{
    int count = 0;
    while (count < cmcMaxLanguages && !LanguageText().GetEntry("GI_Sys_Language", count).starts_with('#'))
        ++count;
    return count;
}

void cmcLoadOverlays(const std::string& folder, const std::string& baseName, int& language)
{
    LanguageText().SetFile(folder + baseName + ".OVL");
    if (language < 0 || language >= cmcLanguageCount())
        language = 0;
    cmcLoadLanguage(folder, language);
}

void cmcLoadLanguage(const std::string& folder, int language)
{
    const std::string entry = LanguageText().GetEntry("GI_Sys_Language", language);
    MainText().SetFile(folder + FieldOf(entry, '\t', 1).value_or(""));
    HelpText().SetFile(folder + MainText().GetText("GI_Sys_MyHelpOvl"));
}
