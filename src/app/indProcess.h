#pragma once
// The process-wide objects, created before any window in this order and destroyed in the
// reverse order: the environment (settings, single-instance lock), the main text table,
// the language list table, the help text table, the event manager and the model main
// object, whose construction loads the overlay files.
#include "app/indEnviron.h"
#include "app/indMain.h"
#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"

#include <memory>
#include <string>

class indProcess {
public:
    static constexpr const char* MutexName = "Zelk Torvane (NXDN) APP Exclusive Mutex";
    static constexpr const char* SettingsRoot = "Software\\Zelk\\Torvane (NXDN)";

    // Creates the environment; a second instance stops there (IsFirstInstance false) and
    // creates nothing else. dataFolder holds the overlay files (trailing separator).
    indProcess(cmcSettingsStore& store, const cmcArea& primaryWorkArea, const std::string& dataFolder);
    ~indProcess();
    indProcess(const indProcess&) = delete;
    indProcess& operator=(const indProcess&) = delete;

    [[nodiscard]] bool IsFirstInstance() const { return env_->IsFirstInstance(); }
    [[nodiscard]] indEnviron& Env() { return *env_; }
    [[nodiscard]] indMain& Main() { return *main_; }
    [[nodiscard]] cmcEvMan& Events() { return *events_; }

private:
    std::unique_ptr<indEnviron> env_;
    std::unique_ptr<cmcGTex> mainText_;
    std::unique_ptr<cmcGTex> languageText_;
    std::unique_ptr<cmcHelpGTex> helpText_;
    std::unique_ptr<cmcEvMan> events_;
    std::unique_ptr<indMain> main_;
};
