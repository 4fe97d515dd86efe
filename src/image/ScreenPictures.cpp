#include "image/ScreenPictures.h"

#include <chrono>
#include <cstdio>

namespace tavik {

std::uint64_t TickCountMs() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {
std::string NameWithTickField(const DateTime& t, unsigned tickField) {
    char name[96];
    std::snprintf(name, sizeof name, "TavikSCR_%d%d_%d%d%d_%u.jpg", t.Month(), t.Day(), t.Hour(), t.Minute(),
                  t.Second(), tickField);
    return name;
}
}  // namespace

std::string CaptureFileName(const DateTime& moment, std::uint64_t tickMs) {
    return NameWithTickField(moment, static_cast<unsigned>((tickMs / 100) % 1000));
}

std::string ProposeCaptureFileName(const std::filesystem::path& folder, const DateTime& moment,
                                   std::uint64_t tickMs) {
    const unsigned first = static_cast<unsigned>((tickMs / 100) % 1000);
    for (unsigned i = 0; i < 1000; ++i) {
        std::string name = NameWithTickField(moment, (first + i) % 1000);
        std::error_code ec;
        if (!std::filesystem::exists(folder / name, ec)) return name;
    }
    return NameWithTickField(moment, first);
}

PicturePlacement PlacePicture(QSize picture, QSize client, bool stretchSetting) {
    PicturePlacement p;
    if (stretchSetting && picture.width() != client.width()) {
        p.source = QRect(QPoint(0, 0), picture);
        p.target = QRect(QPoint(0, 0), client);
        p.stretched = true;
        return p;
    }
    const QSize shown = picture.boundedTo(client);
    p.source = QRect(QPoint(0, 0), shown);
    p.target = QRect(QPoint(0, 0), shown);
    return p;
}

}  // namespace tavik
