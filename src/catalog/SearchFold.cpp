#include "catalog/SearchFold.h"

namespace tavik {

std::string FoldForSearch(std::string_view utf8) { return std::string(utf8); }

}  // namespace tavik
