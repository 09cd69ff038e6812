#include "container.h"

#include <algorithm>

namespace hlp {
namespace {

constexpr std::uint32_t kFileMagic = 0x00035F3F;
constexpr std::uint16_t kBtreeMagic = 0x293B;
constexpr std::size_t kFileHeaderSize = 9;
constexpr std::size_t kLeafHeaderSize = 8;
constexpr std::uint8_t kFileFlags = 4;
constexpr BtreeShape kDirectory{"z4", 1024, 0x0402};

void putFileHeader(ByteWriter& out, std::size_t used) {
    // Readers refuse a file whose reserved space is smaller than the data plus this header.
    out.u32(static_cast<std::uint32_t>(used + kFileHeaderSize));
    out.u32(static_cast<std::uint32_t>(used));
    out.u8(kFileFlags);
}

}  // namespace

std::optional<Bytes> singleLeafBtree(const BtreeShape& shape, const std::vector<Bytes>& entries) {
    std::size_t used = kLeafHeaderSize;
    for (const Bytes& e : entries) used += e.size();
    if (used > shape.pageSize)
        return std::nullopt;

    ByteWriter out;
    out.u16(kBtreeMagic);
    out.u16(shape.flags);
    out.u16(shape.pageSize);
    out.str(shape.structure);
    out.zeros(16 - shape.structure.size());
    out.u16(0);       // must be zero
    out.u16(0);       // page splits
    out.u16(0);       // root page
    out.u16(0xFFFF);  // must be -1
    out.u16(1);       // total pages
    out.u16(1);       // levels: the root is the leaf
    out.u32(static_cast<std::uint32_t>(entries.size()));

    out.u16(static_cast<std::uint32_t>(shape.pageSize - used));  // free bytes at the end of the page
    out.u16(static_cast<std::uint32_t>(entries.size()));
    out.u16(0xFFFF);  // previous leaf
    out.u16(0xFFFF);  // next leaf
    for (const Bytes& e : entries) out.raw(e);
    out.zeros(shape.pageSize - used);
    return out.take();
}

std::optional<Bytes> assembleContainer(std::vector<InternalFile> files) {
    // The viewer stops its directory search at the first name greater than the one it wants, so the
    // directory must list names in byte order.
    std::sort(files.begin(), files.end(),
              [](const InternalFile& a, const InternalFile& b) { return a.name < b.name; });

    ByteWriter out;
    out.u32(kFileMagic);
    out.u32(0);  // directory offset, patched below
    out.u32(kNone);
    out.u32(0);  // total size, patched below

    std::vector<Bytes> entries;
    for (const InternalFile& f : files) {
        ByteWriter entry;
        entry.strz(f.name);
        entry.u32(static_cast<std::uint32_t>(out.size()));
        entries.push_back(entry.take());
        putFileHeader(out, f.data.size());
        out.raw(f.data);
    }

    auto directory = singleLeafBtree(kDirectory, entries);
    if (!directory)
        return std::nullopt;
    out.patchU32(4, static_cast<std::uint32_t>(out.size()));
    putFileHeader(out, directory->size());
    out.raw(*directory);
    out.patchU32(12, static_cast<std::uint32_t>(out.size()));
    return out.take();
}

}  // namespace hlp
