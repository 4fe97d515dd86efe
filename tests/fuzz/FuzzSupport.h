#pragma once
// What the fuzz targets share: the input as a file (most readers take a path)
// and a GUI application for the targets that draw text.

#include <unistd.h>

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tavik::fuzz {

// A folder of this process's own under the temporary directory.
inline const std::filesystem::path& WorkDir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("tavik-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

inline std::filesystem::path WriteInput(const char* name, const std::uint8_t* data, std::size_t size) {
    const auto path = WorkDir() / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

// An offscreen QGuiApplication for the whole run.
inline void EnsureGuiApp() {
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "tavik-fuzz";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

}  // namespace tavik::fuzz
