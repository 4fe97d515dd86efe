#pragma once
// The telescope's fields of view as the magnified view draws them (section
// FOV): the telescope's focal length and aperture, up to five eyepieces, up
// to two cameras and three finder rings, each shown or not.
//
// Stored units are whole numbers: focal lengths and apertures in mm, an
// eyepiece's focal length in tenths of a mm, its apparent field in degrees,
// a sensor's sides in hundredths of a mm, a camera's rotation in degrees, a
// finder ring's diameter in tenths of a degree. A size of 0 leaves the field
// out whatever its switch says.

#include <array>
#include <string>

#include "settings/SettingsSchema.h"

namespace tavik {

class SettingsStore;

struct FieldOfViewSettings {
    struct Eyepiece {
        std::string name;
        int focalTenths = 0;   // EPn_FOCAL, tenths of a mm
        int apparentDeg = 0;   // EPn_FIELD, degrees
        bool shown = false;    // EPn_SHOW
    };
    struct Camera {
        std::string name;
        int widthHundredths = 0;   // CAMn_WIDTH, hundredths of a mm
        int heightHundredths = 0;  // CAMn_HEIGHT
        int rotationDeg = 0;       // CAMn_ROTATE: the sensor's height side from north through east
        bool shown = false;        // CAMn_SHOW
    };
    struct FinderRing {
        int tenthsDeg = 0;  // FINDERn, diameter in tenths of a degree; 0 is off
        bool shown = false; // FINDERn_SHOW
    };

    int focalMm = 600;     // FOV/FOCAL
    int apertureMm = 80;   // FOV/APERTURE
    std::array<Eyepiece, kEyepieceCount> eyepieces{};
    std::array<Camera, kCameraCount> cameras{};
    std::array<FinderRing, kFinderRingCount> finders{};

    static FieldOfViewSettings Load(const SettingsStore& store);
    void Save(SettingsStore& store) const;
};

}  // namespace tavik
