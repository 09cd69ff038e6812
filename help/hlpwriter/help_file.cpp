#include "help_file.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "container.h"
#include "cp932.h"
#include "source.h"
#include "topic_writer.h"

namespace hlp {
namespace {

constexpr std::uint16_t kSystemMagic = 0x036C;
constexpr std::uint16_t kVersionWin31 = 21;
constexpr std::uint16_t kCharsetShiftJis = 128;
constexpr std::uint16_t kRecordTitle = 1;
constexpr std::uint16_t kRecordContents = 3;
constexpr std::uint16_t kRecordMacro = 4;
constexpr std::uint16_t kRecordCharset = 11;
constexpr std::size_t kFaceSlot = 20;
constexpr std::uint8_t kFamilyModern = 1;
constexpr const char* kFaceName = "ＭＳ ゴシック";
// Runs whenever the viewer shows a topic: adds the 「<<」「>>」 buttons that walk the topics in source
// order. Wine's viewer places a jump's clickable range by counting bytes, so after double-byte text the
// range no longer lies under the jump; these buttons and the keyword index still lead everywhere.
// (Wine runs this macro only when the topic was not reached through another button's macro.)
constexpr std::string_view kStartupMacro = "BrowseButtons()";
constexpr BtreeShape kContextTree{"L4", 2048, 0x0002};
constexpr BtreeShape kTitleTree{"Lz", 2048, 0x0002};
// Keywords compare without regard to ASCII case ("i"); each has a count and an offset into |KWDATA.
constexpr BtreeShape kKeywordTree{"i24", 2048, 0x0002};

class Converter {
  public:
    explicit Converter(const std::string& sourceName) : sourceName_(sourceName) {}
    bool convert(std::string& text, int line) {
        std::string out, problem;
        if (!utf8ToCp932(text, out, problem)) {
            if (error_.empty()) {
                error_ = sourceName_ + ":" + std::to_string(line) + ": " + problem +
                         " cannot be written in code page 932";
            }
            return false;
        }
        text = std::move(out);
        return true;
    }
    const std::string& error() const { return error_; }

  private:
    const std::string& sourceName_;
    std::string error_;
};

bool convertSource(HelpSource& s, Converter& c) {
    if (!c.convert(s.title, s.titleLine))
        return false;
    for (Topic& t : s.topics) {
        if (!c.convert(t.title, t.line))
            return false;
        for (Paragraph& p : t.paragraphs) {
            for (Span& span : p.spans) {
                if (!c.convert(span.text, p.line))
                    return false;
            }
        }
    }
    return true;
}

Bytes systemFile(const std::string& title, std::uint32_t contentsOffset) {
    ByteWriter out;
    out.u16(kSystemMagic);
    out.u16(kVersionWin31);
    out.u16(1);  // major version
    out.u32(0);  // build date left out, so that the same source always gives the same file
    out.u16(0);  // flags: |TOPIC uncompressed, 4 KiB blocks
    out.u16(kRecordTitle);
    out.u16(static_cast<std::uint32_t>(title.size() + 1));
    out.strz(title);
    out.u16(kRecordContents);
    out.u16(4);
    out.u32(contentsOffset);
    out.u16(kRecordMacro);
    out.u16(static_cast<std::uint32_t>(kStartupMacro.size() + 1));
    out.strz(kStartupMacro);
    // Without the charset the viewer renders the text in the system's code page, which breaks the
    // Japanese text on any system that is not itself Japanese.
    out.u16(kRecordCharset);
    out.u16(2);
    out.u16(kCharsetShiftJis);
    return out.take();
}

Bytes fontFile(const std::string& cp932Face) {
    constexpr std::uint16_t kFaceOffset = 8;
    ByteWriter out;
    out.u16(1);
    out.u16(static_cast<std::uint32_t>(kFonts.size()));
    out.u16(kFaceOffset);
    out.u16(static_cast<std::uint32_t>(kFaceOffset + kFaceSlot));
    out.str(cp932Face);
    out.zeros(kFaceSlot - cp932Face.size());
    for (const FontSpec& f : kFonts) {
        out.u8(f.bold ? 1 : 0);
        out.u8(f.halfPoints);
        out.u8(kFamilyModern);
        out.u16(0);    // face index
        out.zeros(3);  // black text
        out.u8(0xFF);  // background, unused by the viewer
        out.u8(0xFF);
        out.u8(0xFF);
    }
    return out.take();
}

std::optional<Bytes> contextFile(const HelpSource& s, const std::vector<std::uint32_t>& offsets) {
    std::vector<std::pair<std::int32_t, std::uint32_t>> pairs;
    for (std::size_t i = 0; i < s.topics.size(); ++i)
        pairs.emplace_back(contextHash(s.topics[i].id), offsets[i]);
    // The viewer's search compares hashes as signed numbers.
    std::sort(pairs.begin(), pairs.end());
    std::vector<Bytes> entries;
    for (auto [hash, offset] : pairs) {
        ByteWriter e;
        e.u32(static_cast<std::uint32_t>(hash));
        e.u32(offset);
        entries.push_back(e.take());
    }
    return singleLeafBtree(kContextTree, entries);
}

std::optional<Bytes> titleFile(const HelpSource& s, const std::vector<std::uint32_t>& offsets) {
    std::vector<Bytes> entries;
    for (std::size_t i = 0; i < s.topics.size(); ++i) {
        ByteWriter e;
        e.u32(offsets[i]);
        e.strz(s.topics[i].title);
        entries.push_back(e.take());
    }
    return singleLeafBtree(kTitleTree, entries);
}

// The sort key of a code page 932 keyword: single-byte letters in upper case, double-byte characters
// as they are (their trail bytes can look like ASCII letters).
std::string keywordKey(const std::string& cp932) {
    std::string key;
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        auto c = static_cast<unsigned char>(cp932[i]);
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (lead && i + 1 < cp932.size()) {
            key += cp932.substr(i++, 2);
        } else {
            key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
        }
    }
    return key;
}

// The keyword index lists every topic under its title. The viewer's index dialog is a plain list, so
// under Wine it reaches every topic whatever the text before the jumps in a topic.
struct KeywordFiles {
    Bytes tree;
    Bytes data;
    Bytes map;  // where each leaf page's first keyword sits, for the real viewer's scrolling list
};
std::optional<KeywordFiles> keywordFiles(const HelpSource& s, const std::vector<std::uint32_t>& offsets) {
    std::vector<std::string> titles;
    for (const Topic& t : s.topics) titles.push_back(t.title);
    std::vector<std::size_t> order = indexOrder(titles);
    std::vector<Bytes> entries;
    ByteWriter data;
    for (std::size_t i : order) {
        ByteWriter e;
        e.strz(s.topics[i].title);
        e.u16(1);  // one topic per keyword
        e.u32(static_cast<std::uint32_t>(data.size()));
        entries.push_back(e.take());
        data.u32(offsets[i]);
    }
    auto tree = singleLeafBtree(kKeywordTree, entries);
    if (!tree)
        return std::nullopt;
    ByteWriter map;
    map.u16(1);  // leaf pages
    map.u32(0);  // number of the page's first keyword
    map.u16(0);  // the page: the tree's only one
    return KeywordFiles{std::move(*tree), data.take(), map.take()};
}

}  // namespace

std::vector<std::size_t> indexOrder(const std::vector<std::string>& cp932Titles) {
    std::vector<std::size_t> order(cp932Titles.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return keywordKey(cp932Titles[a]) < keywordKey(cp932Titles[b]);
    });
    return order;
}

BuildResult buildHelpFile(std::string_view sourceText, const std::string& sourceName) {
    ParseResult parsed = parseHelpSource(sourceText, sourceName);
    if (!parsed.error.empty())
        return {{}, parsed.error};
    HelpSource& source = parsed.source;

    Converter converter(sourceName);
    std::string face = kFaceName;
    if (!convertSource(source, converter) || !converter.convert(face, 0))
        return {{}, converter.error()};

    TopicFile topics = writeTopicFile(source, sourceName);
    if (!topics.error.empty())
        return {{}, topics.error};

    auto context = contextFile(source, topics.topicOffsets);
    auto titles = titleFile(source, topics.topicOffsets);
    auto keywords = keywordFiles(source, topics.topicOffsets);
    if (!context || !titles || !keywords)
        return {{}, sourceName + ": too many topics for a one-page index"};

    std::vector<InternalFile> files;
    files.push_back({"|SYSTEM", systemFile(source.title, topics.topicOffsets.front())});
    files.push_back({"|TOPIC", std::move(topics.data)});
    files.push_back({"|FONT", fontFile(face)});
    files.push_back({"|CONTEXT", std::move(*context)});
    files.push_back({"|TTLBTREE", std::move(*titles)});
    files.push_back({"|KWBTREE", std::move(keywords->tree)});
    files.push_back({"|KWDATA", std::move(keywords->data)});
    files.push_back({"|KWMAP", std::move(keywords->map)});
    auto file = assembleContainer(std::move(files));
    if (!file)
        return {{}, sourceName + ": internal directory overflow"};
    return {std::move(*file), ""};
}

}  // namespace hlp
