#include "platform/cmcCreateSettingsStore.h"

#include "platform/cmcConfigFolder.h"
#include "platform/cmcIniSettingsStore.h"

std::unique_ptr<cmcSettingsStore> cmcCreateSettingsStore()
{
    return std::make_unique<cmcIniSettingsStore>(cmcConfigFolder() + QStringLiteral("/torvane.ini"));
}
