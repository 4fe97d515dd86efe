// tavik-cli describe CODE [--reading] [--data DIR]: prints a constellation's
// description as UTF-8, as stored but with LF line endings (the files keep
// CR LF). CODE is the three-letter abbreviation that names the file ("Ori"
// reads Ori.p91).
//
//   --reading   prints instead the text the speech program is handed: the
//               spoken file (CODE.p94 when it exists, else CODE.p91) in its
//               kana pronunciation
//   --data DIR  the data directory; by default the one the window reads and
//               writes (the folder of its catalogue, see WindowCatalogPath)

#include <QString>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/ConstellationTable.h"
#include "catalog/Description.h"
#include "catalog/SpokenReading.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliDataLocation.h"
#include "settings/SettingsStore.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage = "usage: tavik-cli describe CODE [--reading] [--data DIR]";

int RunDescribe(const std::vector<std::string>& argv) {
    CliArgs args(argv, {"data"}, {"reading"});
    if (args.Positional().size() != 1) throw CliError(kUsage);
    const std::string& code = args.Positional()[0];
    // Only a constellation's abbreviation names a file: nothing else is opened.
    if (code.size() != 3 || ConstellationRowIndex(code) < 0)
        throw CliError("'" + code + "' is not a constellation abbreviation (such as Ori)");
    std::string dir;
    if (const auto data = args.Value("data")) {
        dir = *data;
    } else {
        const QtSettingsStore settings;
        dir = WindowCatalogPath(settings).parent_path().string();
    }
    if (!dir.empty() && dir.back() != '/') dir += '/';

    const bool reading = args.Has("reading");
    const std::string path = reading ? SpokenDescriptionPath(dir, code) : DescriptionPath(dir, code, ".p91");
    const Description d = ReadDescription(path);
    if (!d.found) {
        std::fprintf(stderr, "tavik-cli describe: cannot read %s\n", path.c_str());
        return 1;
    }
    std::string text = QString::fromStdU16String(d.text).toStdString();
    if (reading) text = SpokenReading().Kana(text);
    std::erase(text, '\r');
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

}  // namespace

static const CliCommand kDescribe{"describe", "print a constellation's description, or what is spoken (--reading)",
                                  kUsage, RunDescribe};

}  // namespace tavik::cli
