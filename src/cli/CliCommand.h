#pragma once
// Subcommands of tavik-cli register themselves with a static CliCommand object
// in their own source file:
//
//   static const tavik::cli::CliCommand kTime{"time", "print time arguments", RunTime};
//
// The dispatcher in main.cpp looks them up by name.

#include <functional>
#include <string>
#include <vector>

namespace tavik::cli {

using CliMain = int (*)(const std::vector<std::string>& args);

struct CliCommand {
    CliCommand(const char* name, const char* summary, CliMain run);
    const char* name;
    const char* summary;
    CliMain run;
};

const std::vector<const CliCommand*>& AllCommands();

}  // namespace tavik::cli
