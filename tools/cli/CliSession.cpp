#include "cli/CliSession.h"

#include "base/cmcFatal.h"
#include "base/cmcOverlayLoading.h"
#include "base/cmcTextTables.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

CliSession::CliSession(std::string dataFolder) : folder_(std::move(dataFolder))
{
    cmcSetFatalHandler([](const std::string& text) {
        std::fprintf(stderr, "torvane-cli: %s\n", text.c_str());
        std::fflush(nullptr);
        std::_Exit(cliSoftware);
    });
    indSelfCheck();
    cmcSetTextTables(&mainText_, &languages_, &help_);
    int language = 0;
    cmcLoadOverlays(folder_, indOverlayBaseName, language);
}

CliSession::~CliSession() { cmcSetTextTables(nullptr, nullptr, nullptr); }

cmcIcfResult CliSession::Start()
{
    const std::string path = folder_ + MainText().GetEntry("GI_App_InitialFile", 0);
    const cmcIcfResult result = document_.LoadInitialFile(path);
    if (result != cmcIcfResult::Ok)
        std::fprintf(stderr, "Cannot open '%s'.\n", path.c_str());
    return result;
}

std::string CliSession::FindDataFolder()
{
    if (const char* chosen = std::getenv("TORVANE_DATA_DIR"); chosen && *chosen)
        return (fs::absolute(chosen) / "").string();
    std::error_code error;
    const fs::path programFolder = fs::canonical("/proc/self/exe", error).parent_path();
    const fs::path installed = programFolder / ".." / "share" / "torvane";
    if (!fs::exists(programFolder / (std::string(indOverlayBaseName) + ".OVL")) && fs::exists(installed))
        return (fs::canonical(installed) / "").string();
    return (programFolder / "").string();
}
