#pragma once
// What every command of the command-line tool stands on: the overlay files (messages are
// the program's own texts, written to standard error), the fatal stop, and a document
// whose default image comes from the initial clone file, as in the program.
#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"
#include "cells/indDocument.h"

#include <memory>
#include <optional>
#include <string>

// Exit codes besides the clone file result codes 1 to 9.
inline constexpr int cliOk = 0;
inline constexpr int cliRefused = 3; // an assignment was refused
inline constexpr int cliUsage = 64;
inline constexpr int cliSoftware = 70; // a definition error of the program

class CliSession {
public:
    // dataFolder ends with a separator.
    explicit CliSession(std::string dataFolder);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Loads the default image from the initial file; the clone file code on failure.
    [[nodiscard]] cmcIcfResult Start();
    [[nodiscard]] indDocument& Document() { return document_; }
    [[nodiscard]] const std::string& DataFolder() const { return folder_; }

    // Where the program's data lies: TORVANE_DATA_DIR, else next to the tool, else the
    // install folder; with a trailing separator.
    [[nodiscard]] static std::string FindDataFolder();

private:
    std::string folder_;
    cmcGTex mainText_;
    cmcGTex languages_;
    cmcHelpGTex help_;
    indDocument document_;
};
