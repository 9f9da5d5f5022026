#pragma once
// The model main object of this radio family: the main window manager with the model's
// identity and start-up behaviour (command-line words, maker mode, factory adjustment mode).
#include "app/cuiMain.h"

#include <string>
#include <vector>

class indMain : public cuiMain {
public:
    static constexpr const char* OverlayBaseName = "RB8826T";

    // Loads the overlay files from folder (with a trailing separator).
    indMain(indEnviron& env, const std::string& folder);

    // The command-line words, argument 0 included, compared in lower case as a whole:
    // every "/mintaro" enters the maker mode, then every "/glimmer_kit" the factory
    // adjustment mode. Nothing else is taken from the command line.
    void ApplyCommandLine(const std::vector<std::string>& arguments);

    // Asks the maker caution; OK switches the maker mode on for the rest of the run.
    void EnterMakerMode();
    // Asks the factory adjustment caution; OK switches that mode on.
    void EnterFactoryAdjustMode();
    // A key typed in the About window, matched against the maker word.
    void MakerKeyTyped(char key);

    [[nodiscard]] bool MakerMode() const { return makerMode_; }
    [[nodiscard]] bool FactoryAdjustMode() const { return factoryAdjustMode_; }
    [[nodiscard]] int MakerCharsTyped() const { return makerCharsTyped_; }

private:
    bool makerMode_ = false;
    bool factoryAdjustMode_ = false;
    int makerCharsTyped_ = 0;
};
