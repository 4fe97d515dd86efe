#include "view/ConstellationToggle.h"

#include <system_error>

namespace tavik {

std::filesystem::path ConstellationFilePath(const std::filesystem::path& dataDirectory,
                                            ConstellationLayer layer) {
    return dataDirectory / (layer == ConstellationLayer::Lines ? "tavikline.dat" : "tavikconste.dat");
}

ConstellationToggle ToggleConstellationLayer(bool currentlyOn, ConstellationLayer layer,
                                             const std::filesystem::path& dataDirectory) {
    ConstellationToggle result;
    if (currentlyOn) return result;  // switched off
    std::error_code ec;
    const bool present =
        std::filesystem::is_regular_file(ConstellationFilePath(dataDirectory, layer), ec);
    if (present) {
        result.on = true;
        result.notice = layer == ConstellationLayer::Lines ? "星座線" : "星座絵";
    } else {
        result.errorMessage = layer == ConstellationLayer::Lines
                                  ? "星座線 tavikline.dat が見つかりません。"
                                  : "TavikConste.datが見つかりません";
    }
    return result;
}

}  // namespace tavik
