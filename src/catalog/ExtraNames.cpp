#include "catalog/ExtraNames.h"

namespace tavik {

std::string ExtraNames::Bytes() const { return {}; }
bool ExtraNames::Parse(std::string_view, std::string*) { Clear(); return true; }
bool ExtraNames::LoadFile(const std::filesystem::path&, std::string*) { Clear(); return true; }
bool ExtraNames::SaveFile(const std::filesystem::path&) const { return false; }

}  // namespace tavik
