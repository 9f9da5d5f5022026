#pragma once
#include <stdexcept>
#include <string>

// Sets QT_QPA_PLATFORM=offscreen when unset, points TORVANE_CONFIG_DIR at a fresh temporary
// folder and gives XDG_RUNTIME_DIR a private folder.
void PrepareTestEnvironment();
// Removes the settings folder again.
void CleanUpTestEnvironment();

// The fatal stop thrown as an exception while a FatalCatcher lives, so a test can see
// that a definition error stops the program and with which text.
struct FatalStop : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class FatalCatcher {
public:
    FatalCatcher();
    ~FatalCatcher();
    FatalCatcher(const FatalCatcher&) = delete;
    FatalCatcher& operator=(const FatalCatcher&) = delete;
};
