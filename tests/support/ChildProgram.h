#pragma once
// Programs of the build run from tests: a command-line tool run to its end, or a server
// (the radio simulator) kept running while the test talks to it. Waits are bounded.
#include <string>
#include <vector>

#include <sys/types.h>

// The output and exit code of a tool run to its end.
struct ToolRun {
    int exitCode = -1;
    std::string out;
};

// Runs "<program folder>/<program> <arguments>" through the shell, standard error discarded.
ToolRun RunTool(const std::string& program, const std::string& arguments);

// A program of the build started with arguments; its first line of output is read (at most
// waitMs) and the program is stopped with SIGTERM when the object goes.
class ChildProgram {
public:
    static constexpr int waitMs = 10000;

    ChildProgram(const std::string& program, const std::vector<std::string>& arguments);
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    [[nodiscard]] const std::string& FirstLine() const { return firstLine_; }
    // What follows the first word of the first line ("listening HOST:PORT", "pty PATH").
    [[nodiscard]] std::string Where() const { return firstLine_.substr(firstLine_.find(' ') + 1); }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string firstLine_;
};
