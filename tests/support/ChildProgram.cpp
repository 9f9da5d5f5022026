#include "support/ChildProgram.h"

#include "support/ShippedTexts.h"

#include <array>
#include <cstdio>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

ToolRun RunTool(const std::string& program, const std::string& arguments)
{
    const std::string command = ShippedTexts::ProgramFolder() + program + " " + arguments + " 2>/dev/null";
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe))
        run.out += buffer.data();
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

ChildProgram::ChildProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    int out[2];
    if (::pipe(out) != 0)
        return;
    const std::string path = ShippedTexts::ProgramFolder() + program;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        std::vector<char*> argv{const_cast<char*>(path.c_str())};
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(path.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    out_ = out[0];
    pollfd p{out_, POLLIN, 0};
    char c = 0;
    while (::poll(&p, 1, waitMs) > 0 && ::read(out_, &c, 1) == 1 && c != '\n')
        firstLine_ += c;
}

ChildProgram::~ChildProgram()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0)
        ::close(out_);
}
