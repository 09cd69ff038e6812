#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace hlp {

using Bytes = std::vector<std::uint8_t>;

// Every position or link field of the format uses all ones for "none".
inline constexpr std::uint32_t kNone = 0xFFFFFFFF;

// Little-endian output; the format has no big-endian fields.
class ByteWriter {
  public:
    void u8(std::uint32_t v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
    void u16(std::uint32_t v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(std::uint32_t v) {
        u16(v);
        u16(v >> 16);
    }
    void str(std::string_view s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
    void strz(std::string_view s) {
        str(s);
        u8(0);
    }
    void raw(const Bytes& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    void zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    void patchU32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    std::size_t size() const { return bytes_.size(); }
    Bytes take() { return std::move(bytes_); }

  private:
    Bytes bytes_;
};

}  // namespace hlp
