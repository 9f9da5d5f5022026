#include "base/cmcTextTables.h"

#include "base/cmcFatal.h"
#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"

namespace {
cmcGTex* mainTable = nullptr;
cmcGTex* languageTable = nullptr;
cmcHelpGTex* helpTable = nullptr;

template <typename Table> Table& installed(Table* table)
{
    if (!table)
        cmcFatalStop("GTEX Error !\nThe text table is not loaded.");
    return *table;
}
} // namespace

cmcGTex& MainText() { return installed(mainTable); }
cmcGTex& LanguageText() { return installed(languageTable); }
cmcHelpGTex& HelpText() { return installed(helpTable); }

void cmcSetTextTables(cmcGTex* main, cmcGTex* language, cmcHelpGTex* help)
{
    mainTable = main;
    languageTable = language;
    helpTable = help;
}
