#pragma once
// The commands of torvane-cli: one row each, looked up by name.
#include <span>
#include <string>
#include <vector>

class CliSession;

struct CliCommand {
    const char* name;
    const char* usage;   // the arguments, for the usage text
    int minArguments;
    int maxArguments;    // -1: no limit
    int (*run)(CliSession& session, const std::vector<std::string>& arguments);
};

// The document commands (check, info, new, roundtrip).
std::span<const CliCommand> CliFileCommands();
// The cell commands (get, set, settings).
std::span<const CliCommand> CliCellCommands();
// The radio commands (radio info, read, write).
std::span<const CliCommand> CliRadioCommands();
