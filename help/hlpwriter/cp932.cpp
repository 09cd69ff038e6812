#include "cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <optional>

namespace hlp {
namespace {

class IconvHandle {
  public:
    IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid())
            iconv_close(handle_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle_; }

  private:
    iconv_t handle_;
};

// Decodes the UTF-8 sequence at the start of `s`; nullopt when it is malformed.
std::optional<char32_t> decodeUtf8(std::string_view s) {
    if (s.empty())
        return std::nullopt;
    auto lead = static_cast<unsigned char>(s[0]);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    if (length == 0 || s.size() < static_cast<std::size_t>(length))
        return std::nullopt;
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (c & 0x3F);
    }
    return cp;
}

std::string describeAt(std::string_view rest) {
    char buf[48];
    if (auto cp = decodeUtf8(rest)) {
        std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(*cp));
        std::string text = buf;
        std::size_t length = rest.size();
        for (std::size_t i = 1; i < rest.size(); ++i) {
            if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) {
                length = i;
                break;
            }
        }
        return text + " '" + std::string(rest.substr(0, length)) + "'";
    }
    std::snprintf(buf, sizeof buf, "invalid UTF-8 byte 0x%02X", static_cast<unsigned char>(rest[0]));
    return buf;
}

}  // namespace

bool utf8ToCp932(std::string_view utf8, std::string& out, std::string& problem) {
    IconvHandle cd("CP932", "UTF-8");
    if (!cd.valid()) {
        problem = "this system's iconv has no CP932 converter";
        return false;
    }
    // A character never grows when it goes from UTF-8 to code page 932.
    out.assign(utf8.size() + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        problem = describeAt(utf8.substr(utf8.size() - inLeft));
        return false;
    }
    out.resize(out.size() - outLeft);
    return true;
}

}  // namespace hlp
