// tavik-cli picture: decodes a JPEG picture as the view does and writes what
// the view would show, as a PNG file.
//
//   tavik-cli picture IN.jpg --out OUT.png
//
// Exit status 0 when the picture was written (a truncated file included: the
// codec's warning goes to stderr and the decoded upper part is written), 1 when
// the file cannot be opened or decoded (the codec's message on stderr) or the
// output cannot be written, 2 for usage errors.

#include <QImage>
#include <QString>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliJpeg.h"
#include "image/Jpeg.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage = "usage: tavik-cli picture IN.jpg --out OUT.png";

int RunPicture(const std::vector<std::string>& argv) {
    CliArgs args(argv, {"out"});
    if (args.Positional().size() != 1) throw CliError(std::string("one input file is required\n") + kUsage);
    const auto out = args.Value("out");
    if (!out) throw CliError(std::string("--out is required\n") + kUsage);
    const std::string& in = args.Positional()[0];

    StderrJpegReporter reporter("picture");
    const auto picture = LoadJpegPicture(in, &reporter);
    if (!picture) {
        if (!reporter.Reported()) std::fprintf(stderr, "tavik-cli picture: cannot open %s\n", in.c_str());
        return 1;
    }
    if (!picture->ToImage().save(QString::fromStdString(*out), "PNG")) {
        std::fprintf(stderr, "tavik-cli picture: cannot write %s\n", out->c_str());
        return 1;
    }
    return 0;
}

const CliCommand kPicture{"picture", "decode a JPEG picture as the view shows it into a PNG file", RunPicture};

}  // namespace

}  // namespace tavik::cli
