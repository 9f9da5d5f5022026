#include "support/ShippedTexts.h"

#include "base/cmcTextTables.h"

#include <filesystem>

std::string ShippedTexts::ProgramFolder()
{
    return std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
}

ShippedTexts::ShippedTexts()
{
    const std::string folder = ProgramFolder();
    languages_.SetFile(folder + "RB8826T.OVL");
    main_.SetFile(folder + "RB8826E.OVL");
    help_.SetFile(folder + "RB8826H.OVL");
    cmcSetTextTables(&main_, &languages_, &help_);
}

ShippedTexts::~ShippedTexts() { cmcSetTextTables(nullptr, nullptr, nullptr); }
