#include "support/TestEnvironment.h"

#include "base/cmcFatal.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {
std::string makeTempFolder(const char* pattern)
{
    std::string path = (std::filesystem::temp_directory_path() / pattern).string();
    if (!mkdtemp(path.data()))
        throw std::runtime_error("cannot create a temporary folder");
    return path;
}

cmcFatalHandler previousHandler;
std::string configFolder;
} // namespace

void PrepareTestEnvironment()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    configFolder = makeTempFolder("torvane-test-config-XXXXXX");
    setenv("TORVANE_CONFIG_DIR", configFolder.c_str(), 1);
    if (!std::getenv("XDG_RUNTIME_DIR"))
        setenv("XDG_RUNTIME_DIR", makeTempFolder("torvane-test-runtime-XXXXXX").c_str(), 1);
}

FatalCatcher::FatalCatcher()
{
    previousHandler = cmcSetFatalHandler([](const std::string& text) { throw FatalStop(text); });
}

FatalCatcher::~FatalCatcher() { cmcSetFatalHandler(previousHandler); }

void CleanUpTestEnvironment()
{
    std::error_code ignored;
    if (!configFolder.empty())
        std::filesystem::remove_all(configFolder, ignored);
}
