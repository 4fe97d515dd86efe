#include "view/ObjectSearch.h"

namespace tavik {

std::string SearchResult::ListText() const { return object.designation + " " + object.name; }

std::vector<SearchResult> PlaceSearchHits(const NameIndex& index, const std::vector<SearchHit>& hits,
                                          const DateTime&, const ObservationSite&) {
    std::vector<SearchResult> out;
    for (const SearchHit& h : hits) {
        SearchResult r;
        r.hit = h;
        r.object = index.Object(h.object);
        out.push_back(std::move(r));
    }
    return out;
}

}  // namespace tavik
