// tavik-cli catalog FILE: lists the records of a star catalogue, an object
// list (.p93), a tap-mark file or a tap exchange file, one tab-separated line
// per record as stored in the file (no records are left out):
//
//   index  number  designation  constellation  ra  dec  mag  kind  name  spectral
//
// ra and dec in radians; designation, constellation and spectral with bytes
// outside printable ASCII written as \xNN (trailing NUL padding left off);
// name converted from Shift-JIS to UTF-8 with control characters escaped.
// A file that cannot be read whole prints the records read so far, then one
// error line on stderr, and exits with 1.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/RecordFile.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarRecord.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliEscape.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage = "usage: tavik-cli catalog FILE";

int RunCatalog(const std::vector<std::string>& args) {
    CliArgs parsed(args, {});
    if (parsed.Positional().size() != 1) throw CliError(kUsage);
    const std::string path = parsed.Positional()[0];

    std::size_t index = 0;
    const RecordFileResult result = ReadRecordFile(path, [&](StarRecord&& r) {
        std::string line = std::to_string(index++);
        line += '\t' + std::to_string(r.number);
        line += '\t' + EscapeBytes(r.designation, sizeof r.designation);
        line += '\t' + EscapeBytes(r.constellation, sizeof r.constellation);
        line += '\t' + FormatDouble(r.ra);
        line += '\t' + FormatDouble(r.dec);
        line += '\t' + FormatDouble(r.mag);
        line += '\t' + std::to_string(r.kind);
        line += '\t' + (r.name ? EscapeText(SjisToUtf8(*r.name)) : std::string());
        line += '\t' + EscapeBytes(r.spectral, sizeof r.spectral);
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    });
    std::fflush(stdout);
    if (!result.ok) {
        std::fprintf(stderr, "tavik-cli catalog: %s: %s\n", path.c_str(), result.error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

static const CliCommand kCatalog{"catalog", "list the records of a catalogue, .p93 or tap-mark file",
                                 kUsage, RunCatalog};

}  // namespace tavik::cli
