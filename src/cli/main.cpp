// tavik-cli: headless access to Tavik's astronomy, catalogue, rendering and
// telescope link. Each subcommand lives in its own source file.

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "cli/CliArgs.h"
#include "cli/CliCommand.h"

namespace tavik::cli {

namespace {
std::vector<const CliCommand*>& Registry() {
    static std::vector<const CliCommand*> commands;
    return commands;
}
}  // namespace

CliCommand::CliCommand(const char* n, const char* s, const char* u, CliMain r) : name(n), summary(s), usage(u), run(r) {
    Registry().push_back(this);
}

const std::vector<const CliCommand*>& AllCommands() { return Registry(); }

}  // namespace tavik::cli

namespace {
void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: tavik-cli COMMAND [options]\n\ncommands:\n");
    for (const auto* c : tavik::cli::AllCommands()) std::fprintf(out, "  %-10s %s\n", c->name, c->summary);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string name = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const auto* c : tavik::cli::AllCommands()) {
        if (name == c->name) {
            try {
                return c->run(args);
            } catch (const tavik::cli::CliHelp&) {
                std::printf("%s\n\n%s\n", c->usage, c->summary);
                return 0;
            } catch (const tavik::cli::CliError& e) {
                std::fprintf(stderr, "tavik-cli %s: %s\n", c->name, e.what());
                return 2;
            } catch (const std::exception& e) {
                std::fprintf(stderr, "tavik-cli %s: %s\n", c->name, e.what());
                return 1;
            }
        }
    }
    std::fprintf(stderr, "tavik-cli: unknown command '%s'\n", name.c_str());
    PrintUsage(stderr);
    return 2;
}
