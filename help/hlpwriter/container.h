#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bytes.h"

namespace hlp {

struct BtreeShape {
    std::string_view structure;  // the format's field letters, e.g. "L4"
    std::uint16_t pageSize;
    std::uint16_t flags;
};

// A B+ tree whose root is its only leaf. The help files we write are small enough for that; nullopt
// when the entries (serialised, already in key order) do not fit in one page.
std::optional<Bytes> singleLeafBtree(const BtreeShape& shape, const std::vector<Bytes>& entries);

struct InternalFile {
    std::string name;
    Bytes data;
};

// The whole .hlp file: header, the internal files, and the directory that names them. nullopt when the
// directory overflows its page.
std::optional<Bytes> assembleContainer(std::vector<InternalFile> files);

}  // namespace hlp
