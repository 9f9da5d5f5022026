#pragma once
#include "base/cmcGTex.h"

// The help text table: a cmcGTex that keeps the first file it is given. Later SetFile calls
// answer false and change nothing, so a language change does not switch the help overlay.
class cmcHelpGTex : public cmcGTex {
public:
    bool SetFile(const std::string& fileName) override;
};
