#include "hlp_reader.h"

#include <iconv.h>

#include <cctype>
#include <set>
#include <stdexcept>

namespace hlpread {
namespace {

// Any broken rule aborts the read with a message; the public entry turns it into ReadResult::error.
struct Broken : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void require(bool ok, const std::string& what) {
    if (!ok)
        throw Broken(what);
}

class View {
  public:
    View(const std::vector<std::uint8_t>& b, std::size_t begin, std::size_t end)
        : b_(b), pos_(begin), end_(end) {
        require(begin <= end && end <= b.size(), "region outside the file");
    }
    std::uint8_t u8() {
        require(pos_ < end_, "read past the end of a structure");
        return b_[pos_++];
    }
    std::uint16_t u16() { return static_cast<std::uint16_t>(u8() | u8() << 8); }
    std::uint32_t u32() { return u16() | static_cast<std::uint32_t>(u16()) << 16; }
    std::uint8_t peek() {
        require(pos_ < end_, "read past the end of a structure");
        return b_[pos_];
    }
    std::string strz() {
        std::string s;
        for (std::uint8_t c; (c = u8()) != 0;) s.push_back(static_cast<char>(c));
        return s;
    }
    std::string bytes(std::size_t n) {
        require(n <= end_ - pos_, "read past the end of a structure");
        std::string s(b_.begin() + pos_, b_.begin() + pos_ + n);
        pos_ += n;
        return s;
    }
    // The format's variable-length integers, decoded as the viewer does.
    std::int32_t compressedLong() {
        if (peek() & 1)
            return static_cast<std::int32_t>((u32() - 0x80000000u) / 2);
        return (static_cast<std::int32_t>(u16()) - 0x8000) / 2;
    }
    std::uint32_t compressedUShort() { return (peek() & 1) ? u16() / 2 : u8() / 2u; }
    int compressedShort() { return (peek() & 1) ? (u16() - 0x8000) / 2 : (u8() - 0x80) / 2; }
    std::size_t pos() const { return pos_; }
    std::size_t end() const { return end_; }

  private:
    const std::vector<std::uint8_t>& b_;
    std::size_t pos_, end_;
};

struct Region {
    std::size_t begin, end;  // the internal file's data, after its 9-byte header
};

Region internalFile(const std::vector<std::uint8_t>& b, std::uint32_t at, const std::string& name) {
    View h(b, at, b.size());
    std::uint32_t reserved = h.u32(), used = h.u32();
    require(reserved >= used + 9, name + ": reserved space smaller than used + 9");
    require(at + std::size_t{reserved} <= b.size(), name + ": internal file runs past the end of the file");
    // The viewer uses the reserved size as the file's extent.
    return {at + std::size_t{9}, at + std::size_t{reserved}};
}

// Returns the entries' region of a single-leaf B+ tree and its entry count.
std::pair<View, int> leafEntries(const std::vector<std::uint8_t>& b, Region r, const std::string& name,
                                 const std::string& structure) {
    View h(b, r.begin, r.end);
    require(h.u16() == 0x293B, name + ": bad B+ tree magic");
    h.u16();
    std::uint16_t pageSize = h.u16();
    std::string s = h.bytes(16);
    require(s.substr(0, s.find('\0')) == structure, name + ": unexpected structure " + s);
    h.bytes(4);
    std::uint16_t root = h.u16();
    h.bytes(4);
    require(h.u16() == 1, name + ": only one-level trees are expected");
    std::uint32_t total = h.u32();
    std::size_t page = h.pos() + std::size_t{root} * pageSize;
    View leaf(b, page, page + pageSize);
    leaf.u16();
    int count = static_cast<std::int16_t>(leaf.u16());
    require(count >= 0 && static_cast<std::uint32_t>(count) == total,
            name + ": leaf and header counts differ");
    leaf.bytes(4);
    return {leaf, count};
}

constexpr std::size_t kBlock = 4096, kBlockData = 4096 - 12;

struct TopicReader {
    const std::vector<std::uint8_t>& b;
    Region r;
    std::size_t fonts;
    HelpFile& out;

    void run() {
        std::size_t size = r.end - r.begin;
        require(size > 0 && size % kBlock == 0, "|TOPIC is not padded to whole 4 KiB blocks");
        std::size_t blocks = size / kBlock;
        std::uint32_t pos = 12, prev = 0xFFFFFFFF, charsInBlock = 0, lastBlock = 0xFFFFFFFF;
        std::set<std::uint32_t> seen;
        while (pos != 0xFFFFFFFF) {
            require(seen.insert(pos).second, "|TOPIC record chain loops");
            require(pos >= 12, "TOPICPOS below 12");
            std::uint32_t block = (pos - 12) >> 14, offset = (pos - 12) & 0x3FFF;
            require(block < blocks && offset < kBlockData, "record chain leaves |TOPIC");
            std::size_t at = r.begin + block * kBlock + 12 + offset;
            View h(b, at, r.begin + block * kBlock + kBlock);
            std::uint32_t blockSize = h.u32(), dataLen2 = h.u32(), prevBlock = h.u32(), nextBlock = h.u32(),
                          dataLen1 = h.u32();
            std::uint8_t type = h.u8();
            require(offset + blockSize <= kBlockData, "record crosses a block boundary");
            require(dataLen1 >= 21 && dataLen1 <= blockSize, "DataLen1 out of range");
            require(dataLen2 == blockSize - dataLen1, "record text is not stored plainly");
            require(prevBlock == prev, "PrevBlock does not name the previous record");
            View ld1(b, at + 21, at + dataLen1), ld2(b, at + dataLen1, at + blockSize);
            if (block != lastBlock)
                charsInBlock = 0, lastBlock = block;
            if (type == 0x02) {
                Topic t;
                t.topicPos = pos;
                t.topicOffset = block * 0x8000 + charsInBlock;
                require(ld1.end() - ld1.pos() == 28, "topic header without its seven fields");
                ld1.u32();
                t.browseBack = ld1.u32();
                t.browseForward = ld1.u32();
                t.title = cp932ToUtf8(ld2.bytes(dataLen2));
                out.topics.push_back(std::move(t));
            } else {
                require(type == 0x20, "unexpected record type");
                require(!out.topics.empty(), "text before the first topic header");
                charsInBlock += paragraph(ld1, ld2);
            }
            prev = pos;
            pos = nextBlock;
        }
    }

    std::uint32_t paragraph(View& ld1, View& ld2) {
        Paragraph p;
        // TopicSize counts the bytes of LinkData1 after itself and the TopicLength field.
        std::int32_t restSize = ld1.compressedLong();
        std::uint32_t textLength = ld1.compressedUShort();
        std::size_t restStart = ld1.pos();
        require(textLength == ld2.end() - ld2.pos(), "TopicLength differs from the text's size");
        ld1.bytes(4);
        std::uint16_t bits = ld1.u16();
        require((bits & ~0x7Eu) == 0, "paragraph uses formatting this reader does not know");
        for (std::uint16_t bit = 0x02; bit <= 0x40; bit <<= 1) {
            if (bits & bit) {
                int v = ld1.compressedShort();
                if (bit == 0x10)
                    p.indented = v > 0;
            }
        }
        std::string text, linkText;
        bool inLink = false, first = true;
        for (;;) {
            std::string s = ld2.strz();
            text += s;
            if (inLink)
                linkText += s;
            std::uint8_t cmd = ld1.u8();
            if (cmd == 0xFF)
                break;
            if (cmd == 0x80) {
                std::uint16_t f = ld1.u16();
                require(f < fonts, "font index beyond |FONT");
                if (first)
                    p.font = f;
            } else if (cmd == 0xE2 || cmd == 0xE3) {
                require(!inLink, "jump inside a jump");
                p.links.push_back({static_cast<std::int32_t>(ld1.u32()), ""});
                inLink = true;
                linkText.clear();
            } else if (cmd == 0x89) {
                require(inLink, "jump end without a jump");
                p.links.back().text = cp932ToUtf8(linkText);
                inLink = false;
            } else {
                require(cmd == 0x81 || cmd == 0x82 || cmd == 0x83, "unknown paragraph command");
            }
            first = false;
        }
        require(!inLink, "jump left open");
        require(ld1.pos() == ld1.end() && ld2.pos() == ld2.end(), "paragraph has trailing bytes");
        require(static_cast<std::size_t>(restSize) == ld1.end() - restStart, "TopicSize is wrong");
        p.text = cp932ToUtf8(text);
        out.topics.back().paragraphs.push_back(std::move(p));
        return textLength;
    }
};

void readSystem(const std::vector<std::uint8_t>& b, Region r, HelpFile& out) {
    View v(b, r.begin, r.end);
    require(v.u16() == 0x036C, "|SYSTEM: bad magic");
    require(v.u16() == 21, "|SYSTEM: not a Windows 3.1 file");
    require(v.u16() == 1, "|SYSTEM: bad major version");
    v.u32();
    require(v.u16() == 0, "|SYSTEM: flags announce compression");
    while (v.pos() + 4 <= v.end()) {
        std::uint16_t type = v.u16(), size = v.u16();
        View rec(b, v.pos(), v.pos() + size);
        v.bytes(size);
        if (type == 1)
            out.title = cp932ToUtf8(rec.strz());
        if (type == 3)
            out.contentsOffset = rec.u32();
        if (type == 4) {
            out.macros.push_back(rec.strz());
            require(rec.pos() == rec.end(), "|SYSTEM: macro record longer than its string");
        }
        if (type == 11)
            out.charset = rec.u16();
    }
}

void readFonts(const std::vector<std::uint8_t>& b, Region r, HelpFile& out) {
    View v(b, r.begin, r.end);
    std::uint16_t faces = v.u16(), descriptors = v.u16(), faceAt = v.u16(), descAt = v.u16();
    require(faces > 0 && descAt > faceAt, "|FONT: no face names");
    std::size_t slot = (descAt - faceAt) / faces;
    for (std::size_t i = 0; i < faces; ++i) {
        View f(b, r.begin + faceAt + i * slot, r.begin + faceAt + (i + 1) * slot);
        std::string name = f.bytes(slot);
        out.faces.push_back(cp932ToUtf8(name.substr(0, name.find('\0'))));
    }
    for (std::size_t i = 0; i < descriptors; ++i) {
        View d(b, r.begin + descAt + i * 11, r.begin + descAt + (i + 1) * 11);
        out.boldFonts.push_back(d.u8() & 1);
        d.u8();
        d.u8();
        require(d.u16() < faces, "|FONT: face index out of range");
    }
}

// The keyword tree's "i" keys compare with single-byte letters folded to upper case; the second byte of
// a double-byte character stays as it is even where it looks like a letter.
std::string folded(const std::string& cp932) {
    std::string out;
    bool trail = false;
    for (char ch : cp932) {
        auto c = static_cast<unsigned char>(ch);
        if (trail) {
            out += ch;
            trail = false;
            continue;
        }
        trail = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        out += (!trail && c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : ch;
    }
    return out;
}

void readKeywords(const std::vector<std::uint8_t>& b, Region tree, Region data, HelpFile& out) {
    auto [kw, count] = leafEntries(b, tree, "|KWBTREE", "i24");
    std::string previous;
    for (int i = 0; i < count; ++i) {
        std::string text = kw.strz();
        require(i == 0 || folded(previous) < folded(text), "|KWBTREE not sorted");
        previous = text;
        std::uint16_t hits = kw.u16();
        std::uint32_t at = kw.u32();
        require(hits > 0 && at % 4 == 0, "|KWBTREE: bad count or offset");
        View d(b, data.begin + at, data.end);
        Keyword k{cp932ToUtf8(text), {}};
        for (int h = 0; h < hits; ++h) k.topicOffsets.push_back(d.u32());
        out.keywords.push_back(std::move(k));
    }
}

void readFile(const std::vector<std::uint8_t>& b, HelpFile& out) {
    View header(b, 0, b.size());
    require(b.size() >= 16 && header.u32() == 0x00035F3F, "not a help file");
    std::uint32_t dirAt = header.u32();
    header.u32();
    require(header.u32() == b.size(), "header's file size differs from the real size");

    auto [dir, count] = leafEntries(b, internalFile(b, dirAt, "directory"), "directory", "z4");
    for (int i = 0; i < count; ++i) {
        DirectoryEntry e{dir.strz(), 0};
        e.offset = dir.u32();
        require(out.directory.empty() || out.directory.back().name < e.name, "directory not in byte order");
        out.directory.push_back(e);
    }
    auto find = [&](const std::string& name) {
        for (const DirectoryEntry& e : out.directory) {
            if (e.name == name)
                return internalFile(b, e.offset, name);
        }
        throw Broken("missing " + name);
    };
    readSystem(b, find("|SYSTEM"), out);
    readFonts(b, find("|FONT"), out);
    TopicReader{b, find("|TOPIC"), out.boldFonts.size(), out}.run();

    auto [ctx, ctxCount] = leafEntries(b, find("|CONTEXT"), "|CONTEXT", "L4");
    for (int i = 0; i < ctxCount; ++i) {
        auto hash = static_cast<std::int32_t>(ctx.u32());
        require(out.context.empty() || out.context.back().first < hash, "|CONTEXT not sorted by signed hash");
        out.context.emplace_back(hash, ctx.u32());
    }
    auto [ttl, ttlCount] = leafEntries(b, find("|TTLBTREE"), "|TTLBTREE", "Lz");
    for (int i = 0; i < ttlCount; ++i) {
        std::uint32_t offset = ttl.u32();
        out.titles.emplace_back(offset, cp932ToUtf8(ttl.strz()));
    }
    readKeywords(b, find("|KWBTREE"), find("|KWDATA"), out);
    // One leaf page, so the keyword map has one entry: keyword 0 starts page 0.
    Region map = find("|KWMAP");
    View m(b, map.begin, map.end);
    require(m.u16() == 1 && m.u32() == 0 && m.u16() == 0, "|KWMAP does not describe the one leaf page");
}

}  // namespace

ReadResult readHelpFile(const std::vector<std::uint8_t>& bytes) {
    ReadResult result;
    try {
        readFile(bytes, result.file);
    } catch (const Broken& e) {
        result.error = e.what();
    }
    return result;
}

std::int32_t hashOf(const std::string& id) {
    std::uint32_t h = 0;
    for (char c : id) {
        char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        std::uint32_t x = u >= 'A' && u <= 'Z'   ? 17 + (u - 'A')
                          : u >= '1' && u <= '9' ? 1 + (u - '1')
                          : u == '0'             ? 10
                          : u == '.'             ? 12
                          : u == '_'             ? 13
                                                 : 0;
        if (x)
            h = h * 43 + x;
    }
    return static_cast<std::int32_t>(h);
}

std::string cp932ToUtf8(const std::string& cp932) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    require(cd != reinterpret_cast<iconv_t>(-1), "no CP932 converter");
    std::string out(cp932.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(cp932.data());
    std::size_t inLeft = cp932.size(), outLeft = out.size();
    char* o = out.data();
    std::size_t rc = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    require(rc != static_cast<std::size_t>(-1), "text is not valid code page 932");
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace hlpread
