#pragma once
// Subcommands of tavik-cli register themselves with a static CliCommand object
// in their own source file:
//
//   static const tavik::cli::CliCommand kTime{"time", "print time arguments", kUsage, RunTime};
//
// The dispatcher in main.cpp looks them up by name. `usage` is what --help and
// -h print (to standard output, exit 0).

#include <functional>
#include <string>
#include <vector>

namespace tavik::cli {

using CliMain = int (*)(const std::vector<std::string>& args);

struct CliCommand {
    CliCommand(const char* name, const char* summary, const char* usage, CliMain run);
    const char* name;
    const char* summary;
    const char* usage;  // "usage: tavik-cli NAME ..." and the options, one or more lines
    CliMain run;
};

const std::vector<const CliCommand*>& AllCommands();

}  // namespace tavik::cli
