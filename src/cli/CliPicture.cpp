// tavik-cli picture: decodes a JPEG picture as the view does and writes what
// the view would show, as a PNG or JPEG file (by the extension, as `render`
// writes its pictures; any other extension is a usage error).
//
//   tavik-cli picture IN.jpg --out OUT.png|OUT.jpg
//
// Exit status 0 when the picture was written (a truncated file included: the
// codec's warning goes to stderr and the decoded upper part is written), 1 when
// the file cannot be opened or decoded (the codec's message on stderr) or the
// output cannot be written, 2 for usage errors.

#include <QImage>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliFrame.h"
#include "cli/CliJpeg.h"
#include "image/Jpeg.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage = "usage: tavik-cli picture IN.jpg --out OUT.png|OUT.jpg";

int RunPicture(const std::vector<std::string>& argv) {
    CliArgs args(argv, {"out"});
    if (args.Positional().size() != 1) throw CliError(std::string("one input file is required\n") + kUsage);
    const auto out = args.Value("out");
    if (!out) throw CliError(std::string("--out is required\n") + kUsage);
    const std::string& in = args.Positional()[0];
    ImageFormat(*out);  // a wrong extension is an error before anything is read

    StderrJpegReporter reporter("picture");
    const auto picture = LoadJpegPicture(in, &reporter);
    if (!picture) {
        if (!reporter.Reported()) std::fprintf(stderr, "tavik-cli picture: cannot open %s\n", in.c_str());
        return 1;
    }
    return WriteImage(*out, picture->ToImage(), "picture") ? 0 : 1;
}

const CliCommand kPicture{"picture", "decode a JPEG picture as the view shows it into a PNG or JPEG file", kUsage,
                          RunPicture};

}  // namespace

}  // namespace tavik::cli
