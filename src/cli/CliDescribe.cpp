// tavik-cli describe CODE [--reading] [--data DIR]: prints a constellation's
// description as UTF-8, exactly as stored (line breaks included). CODE is the
// three-letter abbreviation that names the file ("Ori" reads Ori.p91).
//
//   --reading   prints instead the text the speech program is handed: the
//               spoken file (CODE.p94 when it exists, else CODE.p91) in its
//               kana pronunciation
//   --data DIR  the data directory; by default the bundled sky data

#include <QString>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/CatalogLocation.h"
#include "catalog/ConstellationTable.h"
#include "catalog/Description.h"
#include "catalog/SpokenReading.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"

namespace tavik::cli {

namespace {

std::string BundledDataDirectory() {
    const auto candidates = BundledDataCandidates(CurrentProgramDirectory());
    return candidates.empty() ? std::string(TAVIK_BUNDLED_DATA_DIR) : candidates.front().string();
}

int RunDescribe(const std::vector<std::string>& argv) {
    CliArgs args(argv, {"data"}, {"reading"});
    if (args.Positional().size() != 1) throw CliError("usage: tavik-cli describe CODE [--reading] [--data DIR]");
    const std::string& code = args.Positional()[0];
    // Only a constellation's abbreviation names a file: nothing else is opened.
    if (code.size() != 3 || ConstellationRowIndex(code) < 0)
        throw CliError("'" + code + "' is not a constellation abbreviation (such as Ori)");
    std::string dir = args.Value("data").value_or(BundledDataDirectory());
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
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

}  // namespace

static const CliCommand kDescribe{"describe", "print a constellation's description, or what is spoken (--reading)",
                                  RunDescribe};

}  // namespace tavik::cli
