#include "base/cmcSettingsStore.h"

#include "base/cmcMemorySettingsStore.h"

namespace {
cmcSettingsStore*& installed()
{
    static cmcSettingsStore* store = nullptr;
    return store;
}
} // namespace

cmcSettingsStore& cmcSettings()
{
    if (!installed()) {
        // Nothing installed: settings live and die with the process.
        static cmcMemorySettingsStore transient;
        installed() = &transient;
    }
    return *installed();
}

cmcSettingsStore* cmcSetSettingsStore(cmcSettingsStore* store)
{
    cmcSettingsStore* previous = installed();
    installed() = store;
    return previous;
}
