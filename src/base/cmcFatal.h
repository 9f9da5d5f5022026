#pragma once
// The fatal stop: failures of the program's own definitions (a missing overlay key, an
// address outside the image, a duplicate table key) show one error box captioned with the
// executable's file name and end the process at once, without the normal shut-down.
#include <functional>
#include <string>

// Called with the diagnostic text. The program installs one that shows the error box; a
// test may install one that throws, so the stop can be observed without ending the run.
using cmcFatalHandler = std::function<void(const std::string& text)>;

// Installs the handler and returns the one it replaces (an empty handler restores the
// default, which writes the text to standard error).
cmcFatalHandler cmcSetFatalHandler(cmcFatalHandler handler);

// Reports text through the handler, then ends the process with cmcFatalExitCode, skipping
// destructors and exit handlers so that no settings are written.
[[noreturn]] void cmcFatalStop(const std::string& text);

inline constexpr int cmcFatalExitCode = 3;
