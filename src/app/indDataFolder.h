#pragma once
// Where the overlay files, help pages and the initial clone file are: next to the program
// first, then the install folder (share/torvane beside the program's bin folder). The
// environment variable TORVANE_DATA_DIR names another folder.
#include <string>

// With a trailing separator.
[[nodiscard]] std::string indDataFolder();
