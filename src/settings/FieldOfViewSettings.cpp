#include "settings/FieldOfViewSettings.h"

#include "settings/SettingsStore.h"

namespace tavik {

namespace {

constexpr const char* kSection = "FOV";

std::string Entry(const char* family, int index, const char* what) {
    return family + std::to_string(index + 1) + what;
}

}  // namespace

FieldOfViewSettings FieldOfViewSettings::Load(const SettingsStore& store) {
    FieldOfViewSettings f;
    f.focalMm = ReadSettingInt(store, kSection, "FOCAL");
    f.apertureMm = ReadSettingInt(store, kSection, "APERTURE");
    for (int i = 0; i < kEyepieceCount; ++i) {
        Eyepiece& e = f.eyepieces[i];
        e.name = ReadSettingString(store, kSection, Entry("EP", i, "_NAME"));
        e.focalTenths = ReadSettingInt(store, kSection, Entry("EP", i, "_FOCAL"));
        e.apparentDeg = ReadSettingInt(store, kSection, Entry("EP", i, "_FIELD"));
        e.shown = ReadSettingBool(store, kSection, Entry("EP", i, "_SHOW"));
    }
    for (int i = 0; i < kCameraCount; ++i) {
        Camera& c = f.cameras[i];
        c.name = ReadSettingString(store, kSection, Entry("CAM", i, "_NAME"));
        c.widthHundredths = ReadSettingInt(store, kSection, Entry("CAM", i, "_WIDTH"));
        c.heightHundredths = ReadSettingInt(store, kSection, Entry("CAM", i, "_HEIGHT"));
        c.rotationDeg = ReadSettingInt(store, kSection, Entry("CAM", i, "_ROTATE"));
        c.shown = ReadSettingBool(store, kSection, Entry("CAM", i, "_SHOW"));
    }
    for (int i = 0; i < kFinderRingCount; ++i) {
        f.finders[i].tenthsDeg = ReadSettingInt(store, kSection, Entry("FINDER", i, ""));
        f.finders[i].shown = ReadSettingBool(store, kSection, Entry("FINDER", i, "_SHOW"));
    }
    return f;
}

void FieldOfViewSettings::Save(SettingsStore& store) const {
    WriteSettingInt(store, kSection, "FOCAL", focalMm);
    WriteSettingInt(store, kSection, "APERTURE", apertureMm);
    for (int i = 0; i < kEyepieceCount; ++i) {
        const Eyepiece& e = eyepieces[i];
        WriteSettingString(store, kSection, Entry("EP", i, "_NAME"), e.name);
        WriteSettingInt(store, kSection, Entry("EP", i, "_FOCAL"), e.focalTenths);
        WriteSettingInt(store, kSection, Entry("EP", i, "_FIELD"), e.apparentDeg);
        WriteSettingBool(store, kSection, Entry("EP", i, "_SHOW"), e.shown);
    }
    for (int i = 0; i < kCameraCount; ++i) {
        const Camera& c = cameras[i];
        WriteSettingString(store, kSection, Entry("CAM", i, "_NAME"), c.name);
        WriteSettingInt(store, kSection, Entry("CAM", i, "_WIDTH"), c.widthHundredths);
        WriteSettingInt(store, kSection, Entry("CAM", i, "_HEIGHT"), c.heightHundredths);
        WriteSettingInt(store, kSection, Entry("CAM", i, "_ROTATE"), c.rotationDeg);
        WriteSettingBool(store, kSection, Entry("CAM", i, "_SHOW"), c.shown);
    }
    for (int i = 0; i < kFinderRingCount; ++i) {
        WriteSettingInt(store, kSection, Entry("FINDER", i, ""), finders[i].tenthsDeg);
        WriteSettingBool(store, kSection, Entry("FINDER", i, "_SHOW"), finders[i].shown);
    }
}

}  // namespace tavik
