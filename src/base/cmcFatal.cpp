#include "base/cmcFatal.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {
cmcFatalHandler& currentHandler()
{
    static cmcFatalHandler handler;
    return handler;
}
} // namespace

cmcFatalHandler cmcSetFatalHandler(cmcFatalHandler handler)
{
    return std::exchange(currentHandler(), std::move(handler));
}

void cmcFatalStop(const std::string& text)
{
    if (currentHandler())
        currentHandler()(text);
    else
        std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(nullptr);
    std::_Exit(cmcFatalExitCode);
}
