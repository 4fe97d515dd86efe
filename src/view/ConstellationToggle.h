#pragma once
// Switching constellation lines or figures on and off ("星座線を表示",
// "星座絵を表示"). Switching on first checks that the file is there: if it is,
// the notice names the layer; if not, the switch stays off and the user is told
// which file is missing. Switching off always succeeds. No Qt.

#include <filesystem>
#include <string>

namespace tavik {

enum class ConstellationLayer { Lines, Figures };

struct ConstellationToggle {
    bool on = false;           // the new state of the switch
    std::string notice;        // ShowNotice text (UTF-8), empty for none
    std::string errorMessage;  // message-box text (UTF-8), empty for none
};

// The file of a layer in the data directory.
std::filesystem::path ConstellationFilePath(const std::filesystem::path& dataDirectory,
                                            ConstellationLayer layer);

ConstellationToggle ToggleConstellationLayer(bool currentlyOn, ConstellationLayer layer,
                                             const std::filesystem::path& dataDirectory);

}  // namespace tavik
