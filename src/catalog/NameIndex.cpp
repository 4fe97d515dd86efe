#include "catalog/NameIndex.h"

#include "catalog/StarCatalog.h"

namespace tavik {

void NameIndex::Build(const StarCatalog&) {
    objects_.clear();
    keys_.clear();
}

std::vector<SearchHit> NameIndex::Find(std::string_view, std::size_t) const { return {}; }

}  // namespace tavik
