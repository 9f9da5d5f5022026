// torvane-cli COMMAND ARGUMENTS...: exit code 0 on success, the clone file result code
// (1 to 9) for a file failure, 3 for a refused assignment or command, 64 for a usage error;
// "radio" also exits with the clone result code of a failed radio operation.
#include "cli/CliCommands.h"
#include "cli/CliSession.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
std::vector<std::span<const CliCommand>> commandTables()
{
    return {CliFileCommands(), CliCellCommands(), CliRadioCommands()};
}

const CliCommand* findCommand(const char* name)
{
    for (std::span<const CliCommand> table : commandTables())
        for (const CliCommand& command : table)
            if (std::strcmp(command.name, name) == 0)
                return &command;
    return nullptr;
}

int usage()
{
    std::fprintf(stderr, "usage:\n");
    for (std::span<const CliCommand> table : commandTables())
        for (const CliCommand& command : table)
            std::fprintf(stderr, "  torvane-cli %s %s\n", command.name, command.usage);
    return cliUsage;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const CliCommand* command = findCommand(argv[1]);
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    const int count = static_cast<int>(arguments.size());
    if (!command || count < command->minArguments ||
        (command->maxArguments >= 0 && count > command->maxArguments))
        return usage();

    CliSession session(CliSession::FindDataFolder());
    if (const cmcIcfResult result = session.Start(); result != cmcIcfResult::Ok)
        return static_cast<int>(result);
    return command->run(session, arguments);
}
