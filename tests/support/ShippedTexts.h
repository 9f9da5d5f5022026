#pragma once
// Installs the shipped English overlay (staged next to the test program) as the main text
// table for the lifetime of the object, so code under test shows its real messages.
#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"

#include <string>

class ShippedTexts {
public:
    ShippedTexts();
    ~ShippedTexts();
    ShippedTexts(const ShippedTexts&) = delete;
    ShippedTexts& operator=(const ShippedTexts&) = delete;

    cmcGTex& Main() { return main_; }
    // The folder of the running program, with a trailing slash.
    static std::string ProgramFolder();

private:
    cmcGTex main_;
    cmcGTex languages_;
    cmcHelpGTex help_;
};
