#include "catalog/DeepSkySizes.h"

namespace tavik {

void DeepSkySizes::Set(std::string_view designation, DeepSkySize size) {
    sizes_[std::string(designation)] = size;
}

const DeepSkySize* DeepSkySizes::Find(std::string_view designation) const {
    const auto it = sizes_.find(std::string(designation));
    return it == sizes_.end() ? nullptr : &it->second;
}

bool DeepSkySizes::LoadFile(const std::filesystem::path&, std::string*) {
    sizes_.clear();  // the file format is still to come
    return true;
}

bool DeepSkySizes::SaveFile(const std::filesystem::path&) const { return false; }

}  // namespace tavik
