#pragma once
// "天体検索" (Ctrl+F): the name index of the loaded catalogue, the search
// dialog, and what a chosen line does. "表示" centres the object in the
// magnified view (entered when not shown) at the current zoom, or at a zoom
// that fits a deep-sky object's size or a constellation, and marks it until
// the next tap; below the horizon the view looks at the horizon under it and
// says "地平線下です". "導入" does the same and sends the telescope there
// through the goto of "ここを導入する", asking first when the object is below
// the horizon. Owned by the view; talks to it through ChartHost.

#include <QPointer>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/view/ChartHost.h"
#include "catalog/NameIndex.h"
#include "view/ObjectSearch.h"

namespace tavik {

class CObjectSearchDialog;
class MagnifierController;
class ScopeController;

class ObjectSearchController {
public:
    ObjectSearchController(const ChartContext& context, MagnifierController& magnifier, ScopeController& telescope);
    ~ObjectSearchController();

    static bool Handles(int id);
    // Opens the dialog (once: a second command brings it forward).
    void Run(int id);
    // The dialog while it is open, else nullptr.
    CObjectSearchDialog* Dialog() const;

    // Builds the index again when the catalogue or the tap marks changed
    // since it was built.
    void UpdateIndex();
    const NameIndex& Index() const { return index_; }
    // The results for a query, placed at the view's moment and site.
    std::vector<SearchResult> Lookup(const std::string& query);

    // What a chosen line does.
    void Show(const SearchResult& result);
    void Goto(const SearchResult& result);

    // The found object (J2000) while its mark is shown.
    const std::optional<SkyPosition>& Mark() const { return mark_; }
    // A tap takes the mark away.
    void ClearMark();

private:
    // Centres the object; true when it stands above the horizon.
    bool Centre(const SearchResult& result);
    std::optional<int> FittingZoom(const SearchResult& result, int zoom);

    ChartContext c_;
    MagnifierController& magnifier_;
    ScopeController& telescope_;
    NameIndex index_;
    bool built_ = false;
    std::uint64_t builtGeneration_ = 0;
    std::uint64_t builtTapMarks_ = 0;
    std::shared_ptr<const MinorBodyList> builtMinor_;  // the list the index holds
    QPointer<CObjectSearchDialog> dialog_;
    std::optional<SkyPosition> mark_;
};

}  // namespace tavik
