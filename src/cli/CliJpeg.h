#pragma once
// The JPEG codec's messages for tavik-cli: written to stderr after the
// subcommand's name, errors and warnings alike.

#include <cstdio>
#include <string>

#include "image/Jpeg.h"

namespace tavik::cli {

class StderrJpegReporter final : public JpegReporter {
public:
    explicit StderrJpegReporter(const char* command) : command_(command) {}
    void JpegError(const std::string& message) override {
        reported_ = true;
        std::fprintf(stderr, "tavik-cli %s: %s\n", command_, message.c_str());
    }
    bool Reported() const { return reported_; }
    void JpegWarning(const std::string& message) override {
        std::fprintf(stderr, "tavik-cli %s: warning: %s\n", command_, message.c_str());
    }

private:
    const char* command_;
    bool reported_ = false;
};

}  // namespace tavik::cli
