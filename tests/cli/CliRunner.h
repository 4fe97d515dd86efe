#pragma once
// Runs a shell command line (normally TAVIK_CLI with arguments) and collects its
// standard output and exit status for the tavik-cli tests.

#include <sys/wait.h>

#include <cstdio>
#include <string>

struct CliRun {
    int status = -1;  // exit status, -1 when the command could not run or was killed
    std::string out;
};

inline CliRun RunCommand(const std::string& command) {
    CliRun r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
    const int raw = pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

// tavik-cli with `args`; its standard error is discarded.
inline CliRun RunCli(const std::string& args) {
    return RunCommand(std::string("'") + TAVIK_CLI + "' " + args + " 2>/dev/null");
}
