// The name search on what a person (or anything else) types: the folding is
// a fixed point (folding the folded text changes nothing), stays within its
// bound and gives valid text; the index over the bundled data answers every
// query with at most `limit` hits, each object once, ranks in order.

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "catalog/NameIndex.h"
#include "catalog/SearchFold.h"
#include "catalog/StarCatalog.h"

using namespace tavik;

namespace {

const NameIndex& Index() {
    static const NameIndex index = [] {
        StarCatalog catalog;
        catalog.LoadFile(std::string(TAVIK_DATA_DIR) + "/tavik.dat");
        NameIndex i;
        i.Build(catalog);
        return i;
    }();
    return index;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string folded = FoldForSearch(text);
    if (folded.size() > kMaxFoldedBytes) std::abort();
    if (FoldForSearch(folded) != folded) std::abort();
    if (FoldCharacters(folded) != FoldCharacters(FoldCharacters(folded))) std::abort();
    for (const std::string& form : GreekPrefixForms(folded))
        if (form.empty() || form.size() > kMaxFoldedBytes + 8) std::abort();

    const std::size_t limit = size == 0 ? 50 : 1 + data[0] % 60;
    const auto hits = Index().Find(text, limit);
    if (hits.size() > limit || (folded.empty() && !hits.empty())) std::abort();
    std::set<std::size_t> seen;
    for (std::size_t i = 0; i < hits.size(); ++i) {
        if (hits[i].object >= Index().ObjectCount() || !seen.insert(hits[i].object).second) std::abort();
        if (i > 0 && hits[i].rank < hits[i - 1].rank) std::abort();
    }
    return 0;
}
