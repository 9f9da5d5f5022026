#pragma once
// The folder of the user's settings: TORVANE_CONFIG_DIR when set (tests and portable
// installs point it elsewhere), else "torvane" in the user's configuration folder.
#include <QString>

[[nodiscard]] QString cmcConfigFolder();
