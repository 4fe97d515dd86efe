#pragma once
// The question before a goto below the altitude limit (TS/ALT_LIMIT, 0° at
// first): "地平線下です。導入しますか？". Every goto of the window asks it
// here (the long-press "ここを導入する", the control dialog's "導入開始", a
// goto from a search), for the moment of the goto at the current site.

namespace tavik {

class Prompts;
class SettingsStore;
struct GotoTarget;

// True when the goto may go on: the target stands at or above the limit now,
// or the user answered yes.
bool ConfirmGotoAltitude(const GotoTarget& target, const SettingsStore& store, Prompts& prompts);

}  // namespace tavik
