// tavik-mountsim: a simulated LX200 mount on a pseudo-terminal, or with --tcp
// on a TCP port of 127.0.0.1. Prints the terminal's path (or tcp://127.0.0.1:
// PORT) on the first line of standard output, then answers until interrupted
// (Ctrl-C) or terminated.

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>

#include "mountsim/PtyMount.h"

namespace {

std::atomic<bool> gStop{false};
void OnSignal(int) { gStop = true; }

void Usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: tavik-mountsim [options]\n"
                 "  --link PATH          also make PATH a symbolic link to the terminal\n"
                 "  --tcp PORT           listen on 127.0.0.1:PORT instead of a terminal\n"
                 "                       (0: a free port; the address is printed)\n"
                 "  --ra DEG --dec DEG   initial pointing (default 0, 0)\n"
                 "  --slew-seconds S     duration of a goto slew (default 3)\n"
                 "  --pointing-error DRA,DDEC\n"
                 "                       report positions off by DRA, DDEC minutes of arc\n"
                 "                       from where the mount points, until a sync\n"
                 "  --high-precision     start in high precision (HH:MM:SS positions)\n"
                 "  --degree-df          send byte 0xDF as the degree sign, as real\n"
                 "                       controllers do (default '*')\n"
                 "  --ms-reply C         answer :MS# with C (0 goes, 1 below horizon, 2 too high)\n"
                 "  --reply CMD=TEXT     answer command CMD (Sr, Sd, MS, GR, GD, Sw, SL, Sg,\n"
                 "                       St, SC, D, CM, ...) with TEXT instead\n"
                 "  --silent CMD         never answer command CMD\n"
                 "  --no-reply           never answer anything\n"
                 "  --garbage            answer with garbage\n"
                 "  --partial            send only the first half of each text reply\n"
                 "  --burst N            send N garbage bytes before every reply\n"
                 "  --verbose            log commands and replies on standard error\n");
}

std::string Printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    using tavik::mountsim::MountOptions;
    MountOptions options;
    // The controller's clock starts at this computer's local time.
    {
        const std::time_t t = std::time(nullptr);
        std::tm local{};
        localtime_r(&t, &local);
        options.localClock = static_cast<double>(t) + static_cast<double>(local.tm_gmtoff);
        options.utcOffsetHours = -static_cast<double>(local.tm_gmtoff) / 3600.0;
    }
    std::string link;
    int tcpPort = -1;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tavik-mountsim: %s needs a value\n", a.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        auto number = [&](const std::string& text) {
            char* end = nullptr;
            const double v = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0') {
                std::fprintf(stderr, "tavik-mountsim: bad number '%s' for %s\n", text.c_str(),
                             a.c_str());
                std::exit(2);
            }
            return v;
        };
        if (a == "--help" || a == "-h") {
            Usage(stdout);
            return 0;
        } else if (a == "--link") {
            link = value();
        } else if (a == "--tcp") {
            const double p = number(value());
            if (p < 0 || p > 65535 || p != static_cast<int>(p)) {
                std::fprintf(stderr, "tavik-mountsim: --tcp wants a port 0..65535\n");
                return 2;
            }
            tcpPort = static_cast<int>(p);
        } else if (a == "--ra") {
            options.ra = number(value());
        } else if (a == "--dec") {
            options.dec = number(value());
        } else if (a == "--pointing-error") {
            const std::string v = value();
            const auto comma = v.find(',');
            if (comma == std::string::npos) {
                std::fprintf(stderr, "tavik-mountsim: --pointing-error wants DRA,DDEC (minutes of arc)\n");
                return 2;
            }
            options.pointingErrorRa = number(v.substr(0, comma));
            options.pointingErrorDec = number(v.substr(comma + 1));
            if (!std::isfinite(options.pointingErrorRa) || !std::isfinite(options.pointingErrorDec)) {
                std::fprintf(stderr, "tavik-mountsim: --pointing-error wants finite numbers\n");
                return 2;
            }
        } else if (a == "--slew-seconds") {
            options.slewSeconds = number(value());
        } else if (a == "--high-precision") {
            options.highPrecision = true;
        } else if (a == "--degree-df") {
            options.degreeSign = '\xDF';
        } else if (a == "--ms-reply") {
            options.replies["MS"] = value();
        } else if (a == "--reply") {
            const std::string v = value();
            const auto eq = v.find('=');
            if (eq == std::string::npos || eq == 0) {
                std::fprintf(stderr, "tavik-mountsim: --reply wants CMD=TEXT\n");
                return 2;
            }
            options.replies[v.substr(0, eq)] = v.substr(eq + 1);
        } else if (a == "--silent") {
            options.replies[value()] = std::nullopt;
        } else if (a == "--no-reply") {
            options.noReply = true;
        } else if (a == "--garbage") {
            options.garbage = true;
        } else if (a == "--partial") {
            options.partial = true;
        } else if (a == "--burst") {
            options.burst = static_cast<std::size_t>(number(value()));
        } else if (a == "--verbose") {
            verbose = true;
        } else {
            std::fprintf(stderr, "tavik-mountsim: unknown option '%s'\n", a.c_str());
            Usage(stderr);
            return 2;
        }
    }

    if (tcpPort >= 0 && !link.empty()) {
        std::fprintf(stderr, "tavik-mountsim: --link is for the terminal, not with --tcp\n");
        return 2;
    }
    tavik::mountsim::PtyMount mount(options);
    std::string error;
    if (!(tcpPort >= 0 ? mount.StartTcp(tcpPort, &error) : mount.Start(&error))) {
        std::fprintf(stderr, "tavik-mountsim: %s\n", error.c_str());
        return 1;
    }
    if (verbose) {
        mount.SetLogger([](const std::string& in, const std::string& out) {
            if (!in.empty()) std::fprintf(stderr, "<- %s\n", Printable(in).c_str());
            if (!out.empty()) std::fprintf(stderr, "-> %s\n", Printable(out).c_str());
        });
    }
    if (!link.empty()) {
        ::unlink(link.c_str());
        if (::symlink(mount.Path().c_str(), link.c_str()) != 0) {
            std::fprintf(stderr, "tavik-mountsim: cannot link %s: %s\n", link.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }
    std::printf("%s\n", mount.Path().c_str());
    std::fflush(stdout);

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!gStop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    mount.Stop();
    if (!link.empty()) ::unlink(link.c_str());
    return 0;
}
