#pragma once
// Loading the overlay files into the installed text tables: the language list
// "<base name>.OVL" in the folder, the overlay of the chosen language and the help overlay
// that the language's overlay names (GI_Sys_MyHelpOvl). The program and the command-line
// tool both load this way.
#include <string>

inline constexpr int cmcMaxLanguages = 256;

// Entries of GI_Sys_Language up to the first that begins with "#", at most 256.
[[nodiscard]] int cmcLanguageCount();

// Sets the language list file, resets language to 0 when it is not a listed index, then
// loads the chosen language. folder ends with a separator.
void cmcLoadOverlays(const std::string& folder, const std::string& baseName, int& language);

// The chosen language's overlay and the help overlay (the help table keeps the file it was
// first given). An entry is "display name TAB overlay file"; without a TAB the folder
// alone is named, and the first lookup in it stops the program.
void cmcLoadLanguage(const std::string& folder, int language);
