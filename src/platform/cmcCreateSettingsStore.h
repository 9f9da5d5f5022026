#pragma once
// The one place that chooses the settings store of this platform.
#include "base/cmcSettingsStore.h"

#include <memory>

// The INI file "torvane.ini" in cmcConfigFolder(); its contents are read here. A native
// registry store for Windows would be chosen here as well.
[[nodiscard]] std::unique_ptr<cmcSettingsStore> cmcCreateSettingsStore();
