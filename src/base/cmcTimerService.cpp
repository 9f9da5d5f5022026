#include "base/cmcTimerService.h"

#include "base/cmcManualTimers.h"

namespace {
cmcTimerService*& installed()
{
    static cmcTimerService* service = nullptr;
    return service;
}
} // namespace

cmcTimerService& cmcTimers()
{
    if (!installed()) {
        static cmcManualTimers standStill; // installs itself on construction
    }
    return *installed();
}

cmcTimerService* cmcSetTimerService(cmcTimerService* service)
{
    cmcTimerService* previous = installed();
    installed() = service;
    return previous;
}
