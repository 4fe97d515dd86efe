#include "view/TapMarks.h"

#include <cstdio>
#include <limits>
#include <vector>

#include "catalog/RecordFile.h"
#include "catalog/ShiftJis.h"
#include "catalog/SkyBounds.h"
#include "catalog/StarCatalog.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "settings/ViewSettings.h"

namespace tavik {

namespace {

constexpr int kMaxTapNumber = 2147483646;  // the largest TAPREG/CNT the setting holds

std::string CutSjis(const std::string& sjis, std::size_t maxBytes) {
    return sjis.substr(0, SjisPrefixLength(sjis, maxBytes));
}

bool SaveUserFile(const StarCatalog& catalog, const std::string& dataDirectory) {
    if (dataDirectory.empty()) return false;
    return catalog.SaveTapMarks(TapFilePath(dataDirectory));
}

}  // namespace

std::filesystem::path TapFilePath(const std::string& dataDirectory) {
    return std::filesystem::path(dataDirectory) / kTapFileName;
}

std::string NewTapLabel(int number) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "T%05d", number);
    return buf;
}

int CurrentTapNumber(const SettingsStore& store) { return ReadSettingInt(store, "TAPREG", "CNT"); }

int TakeTapNumber(SettingsStore& store) {
    const int number = CurrentTapNumber(store);
    WriteSettingInt(store, "TAPREG", "CNT", number < kMaxTapNumber ? number + 1 : kMaxTapNumber);
    return number;
}

void ApplyTapFields(StarRecord& mark, const TapMarkFields& fields) {
    mark.mag = kTapMarkMagnitude;
    mark.kind = static_cast<std::int16_t>(fields.kind);
    mark.SetDesignation(CutSjis(Utf8ToSjis(fields.label), kTapLabelBytes));
    std::string text = CutSjis(Utf8ToSjis(fields.text), kTapTextBytes);
    if (text.empty()) text = Utf8ToSjis(kConversionError);
    mark.name = std::move(text);
    if (!mark.IsTapMark()) {
        // Keep whatever the record held after the marker.
        std::string spectral(mark.SpectralText());
        spectral.replace(0, std::min<std::size_t>(4, spectral.size()), kTapMarkMarker);
        mark.SetSpectral(spectral);
    }
}

StarRecord MakeTapMark(const SkyPosition& position, int number, const TapMarkFields& fields) {
    StarRecord mark;
    mark.number = static_cast<std::int16_t>(number);
    mark.ra = position.rightAscension;
    mark.dec = position.declination;
    mark.SetSpectral(kTapMarkMarker);
    ApplyTapFields(mark, fields);
    return mark;
}

TapMarkFields FieldsOfTapMark(const StarRecord& mark) {
    TapMarkFields f;
    f.kind = mark.kind;
    f.label = SjisToUtf8(mark.DesignationText());
    f.text = TapMarkText(mark);
    return f;
}

std::string TapMarkText(const StarRecord& mark) { return mark.name ? SjisToUtf8(*mark.name) : std::string(); }

std::string TapMarkLabel(const StarRecord& mark) {
    std::string text = TapMarkText(mark);
    if (mark.kind == kTapText) return text;
    const std::size_t cut = text.find_last_of("\\/");
    return cut == std::string::npos ? text : text.substr(cut + 1);
}

std::optional<std::size_t> FindTapMark(const StarCatalog& catalog, const StarRecord& found) {
    if (!found.IsTapMark()) return std::nullopt;
    const std::string bytes = found.StoreBytes();
    for (std::size_t i = 0; i < catalog.TapMarkCount(); ++i)
        if (catalog.TapMark(i).StoreBytes() == bytes) return i;
    return std::nullopt;
}

bool RegisterTapMark(StarCatalog& catalog, SettingsStore& store, const std::string& dataDirectory,
                     const SkyPosition& position, const TapMarkFields& fields) {
    catalog.AppendTapMark(MakeTapMark(position, TakeTapNumber(store), fields));
    return SaveUserFile(catalog, dataDirectory);
}

bool ChangeTapMark(StarCatalog& catalog, std::size_t index, const TapMarkFields& fields,
                   const std::string& dataDirectory) {
    if (index >= catalog.TapMarkCount()) return false;
    ApplyTapFields(catalog.TapMark(index), fields);
    return SaveUserFile(catalog, dataDirectory);
}

bool DeleteTapMark(StarCatalog& catalog, std::size_t index, const std::string& dataDirectory) {
    if (index >= catalog.TapMarkCount()) return false;
    catalog.RemoveTapMark(index);
    return SaveUserFile(catalog, dataDirectory);
}

bool ImportableTapMark(const StarRecord& record) {
    return record.IsTapMark() && record.kind >= kTapPicture && record.kind <= kTapText &&
           SoundSkyPosition(record.ra, record.dec);
}

TapImportResult ImportTapMarks(StarCatalog& catalog, const std::filesystem::path& path, bool clearFirst,
                               const std::string& dataDirectory) {
    TapImportResult result;
    std::vector<StarRecord> marks;
    const RecordFileResult read = ReadRecordFile(path, [&](StarRecord&& r) {
        if (!ImportableTapMark(r)) {
            ++result.refused;
            return;
        }
        r.mag = kTapMarkMagnitude;
        marks.push_back(std::move(r));
    });
    result.opened = read.opened;
    result.error = read.error;
    if (!read.opened) return result;
    if (clearFirst) catalog.ClearTapMarks();
    for (StarRecord& m : marks) catalog.AppendTapMark(std::move(m));
    result.imported = marks.size();
    result.saved = SaveUserFile(catalog, dataDirectory);
    return result;
}

bool ExportTapMarks(const StarCatalog& catalog, const std::filesystem::path& path) {
    return catalog.SaveTapMarks(path);
}

TapNoTurnHold::TapNoTurnHold(ViewSettings& settings) : settings_(settings), saved_(settings.tapNoTurn) {
    settings_.tapNoTurn = true;
}

TapNoTurnHold::~TapNoTurnHold() { settings_.tapNoTurn = saved_; }

std::array<StarRecord, kNumberedMarkCount> NumberedMarks::MakeCleared() {
    std::array<StarRecord, kNumberedMarkCount> marks;
    for (StarRecord& m : marks) m.kind = 0;
    return marks;
}

void NumberedMarks::Place(int i, const SkyPosition& position) {
    if (i < 0 || i >= kNumberedMarkCount) return;
    StarRecord& m = marks[static_cast<std::size_t>(i)];
    m.kind = kNumberedMarkPlaced;
    m.ra = position.rightAscension;
    m.dec = position.declination;
}

void NumberedMarks::Clear() {
    for (StarRecord& m : marks) m.kind = 0;
}

bool NumberedMarks::Placed(int i) const {
    return i >= 0 && i < kNumberedMarkCount && marks[static_cast<std::size_t>(i)].kind == kNumberedMarkPlaced;
}

bool ApplyNumberedMarkCommand(NumberedMarks& marks, int command, const SkyPosition& position) {
    if (command >= 32937 && command <= 32939) {
        marks.Place(command - 32937, position);
        return true;
    }
    if (command == 32940) {
        marks.Clear();
        return true;
    }
    return false;
}

}  // namespace tavik
