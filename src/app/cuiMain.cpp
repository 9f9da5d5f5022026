#include "app/cuiMain.h"

#include "base/cmcOverlayLoading.h"

cuiMain::cuiMain(indEnviron& env, std::string overlayBaseName, std::string folder)
    : env_(env), baseName_(std::move(overlayBaseName)), folder_(std::move(folder))
{
}

void cuiMain::LoadOverlays() { cmcLoadOverlays(folder_, baseName_, env_.language); }

void cuiMain::ReloadLanguage() { cmcLoadLanguage(folder_, env_.language); }

int cuiMain::LanguageCount() const { return cmcLanguageCount(); }
