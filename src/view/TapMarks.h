#pragma once
// The user's tap marks without any window: making a mark for a sky position,
// changing and deleting it, the running number TAPREG/CNT, the tap file
// "TavikUser.tap" of the data directory (saved after every change), exchange
// files (import with its checks, export), and the three numbered marks ①②③.
//
// A mark is a StarRecord: spectral starts "!TP!", designation is the label
// (Shift-JIS, at most 9 bytes), name the action text T (Shift-JIS, at most 59
// bytes), kind the action (0 picture, 1 program, 2 add-in file, 3 text),
// number the running number, mag -100 so that a mark wins every tap search.

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "catalog/CatalogLocation.h"  // kTapFileName
#include "catalog/StarRecord.h"
#include "view/Projection.h"

namespace tavik {

class SettingsStore;
class StarCatalog;
struct ViewSettings;

enum TapKind : int { kTapPicture = 0, kTapProgram = 1, kTapAddIn = 2, kTapText = 3 };
inline constexpr double kTapMarkMagnitude = -100.0;
inline constexpr std::size_t kTapLabelBytes = 9;  // plus the NUL of the 10-byte field
inline constexpr std::size_t kTapTextBytes = 59;  // plus the NUL of the 60-byte buffer
inline constexpr char kConversionError[] = "変換エラー";

// What the tap-mark dialog edits (UTF-8).
struct TapMarkFields {
    int kind = kTapPicture;
    std::string label;
    std::string text;
};

// data directory + "TavikUser.tap".
std::filesystem::path TapFilePath(const std::string& dataDirectory);

// "T%05d" of the running number: the label a new mark is offered.
std::string NewTapLabel(int number);
// TAPREG/CNT as it stands (the number the next mark gets).
int CurrentTapNumber(const SettingsStore& store);
// Takes the current number and writes TAPREG/CNT back one higher (it never
// goes down, and stops at the largest value the setting holds).
int TakeTapNumber(SettingsStore& store);

// Sets kind, label and text of a mark and its magnitude -100. The label is cut
// to 9 bytes and the text to 59 bytes at a character boundary; a text that
// converts to nothing (an empty one) is stored as "変換エラー". Characters
// without a Shift-JIS form become "?".
void ApplyTapFields(StarRecord& mark, const TapMarkFields& fields);
// A new mark at a sky position with the given running number.
StarRecord MakeTapMark(const SkyPosition& position, int number, const TapMarkFields& fields);
// The fields of a mark, back in UTF-8.
TapMarkFields FieldsOfTapMark(const StarRecord& mark);
// The text drawn beside a mark (UTF-8): the file-name part of T (after its last
// "\" or "/") for kinds 0 to 2, T itself for kind 3.
std::string TapMarkLabel(const StarRecord& mark);
// T, the action text, in UTF-8.
std::string TapMarkText(const StarRecord& mark);

// The list entry a tap found: `found` is the hit list's copy of a mark; the
// index of the first mark of the list with the same bytes, or nothing (the
// record is not a tap mark, or the list no longer holds it).
std::optional<std::size_t> FindTapMark(const StarCatalog& catalog, const StarRecord& found);

// Each change saves the list to the tap file at once (written to a temporary
// file and renamed over the old one: a failed write keeps the old file).
// They return whether the file was written; the change itself always holds.
bool RegisterTapMark(StarCatalog& catalog, SettingsStore& store, const std::string& dataDirectory,
                     const SkyPosition& position, const TapMarkFields& fields);
bool ChangeTapMark(StarCatalog& catalog, std::size_t index, const TapMarkFields& fields,
                   const std::string& dataDirectory);
bool DeleteTapMark(StarCatalog& catalog, std::size_t index, const std::string& dataDirectory);

// Whether a record from an exchange file may join the list: a tap mark whose
// kind is 0 to 3 and whose position is a sound sky position.
bool ImportableTapMark(const StarRecord& record);

struct TapImportResult {
    bool opened = false;        // the file could be read at all
    std::size_t imported = 0;   // marks appended
    std::size_t refused = 0;    // records left out by ImportableTapMark
    bool saved = false;         // the tap file was written
    std::string error;          // the reader's problem (a short file), or empty
};
// Reads an exchange file; when it opened, empties the list first if
// `clearFirst`, appends the importable marks in file order (magnitude -100) and
// saves the tap file. A file that cannot be read changes nothing. Importing
// never runs anything.
TapImportResult ImportTapMarks(StarCatalog& catalog, const std::filesystem::path& path, bool clearFirst,
                               const std::string& dataDirectory);
// Writes the whole list to an exchange file; false when it cannot be written.
bool ExportTapMarks(const StarCatalog& catalog, const std::filesystem::path& path);

// While it lives, the view's TAP/NODIR is on (taps on the sky do not turn the
// view during the tap-mark commands); the old value comes back on every way out.
class TapNoTurnHold {
public:
    explicit TapNoTurnHold(ViewSettings& settings);
    ~TapNoTurnHold();
    TapNoTurnHold(const TapNoTurnHold&) = delete;
    TapNoTurnHold& operator=(const TapNoTurnHold&) = delete;

private:
    ViewSettings& settings_;
    bool saved_;
};

// The numbered marks ①②③: owned by the document, never stored. kind 999
// means placed, 0 cleared; ra/dec the position.
inline constexpr int kNumberedMarkPlaced = 999;
inline constexpr int kNumberedMarkCount = 3;
struct NumberedMarks {
    std::array<StarRecord, kNumberedMarkCount> marks = MakeCleared();

    void Place(int i, const SkyPosition& position);  // i 0..2; others ignored
    void Clear();
    bool Placed(int i) const;

private:
    static std::array<StarRecord, kNumberedMarkCount> MakeCleared();
};

// Commands 32937, 32938, 32939 ("①を設定" ...) place mark 0, 1, 2 at the
// position; 32940 ("①～削除") clears all three. False for any other command.
// The caller redraws after a true.
bool ApplyNumberedMarkCommand(NumberedMarks& marks, int command, const SkyPosition& position);

}  // namespace tavik
