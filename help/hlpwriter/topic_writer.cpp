#include "topic_writer.h"

namespace hlp {
namespace {

constexpr std::uint32_t kBlockSize = 0x1000;
constexpr std::uint32_t kBlockHeaderSize = 12;
constexpr std::uint32_t kBlockData = kBlockSize - kBlockHeaderSize;
constexpr std::uint32_t kLinkHeaderSize = 21;
constexpr std::uint8_t kTopicHeader = 0x02;
constexpr std::uint8_t kText = 0x20;

// Paragraph commands.
constexpr std::uint8_t kCmdFont = 0x80;
constexpr std::uint8_t kCmdEndParagraph = 0x82;
constexpr std::uint8_t kCmdEndJump = 0x89;
constexpr std::uint8_t kCmdJump = 0xE3;
constexpr std::uint8_t kCmdEnd = 0xFF;

constexpr std::uint16_t kBitSpaceBelow = 0x0004;
constexpr std::uint16_t kBitLeftIndent = 0x0010;
constexpr int kSpaceBelow = 12;
constexpr int kItemIndent = 28;

// Positions count as if every block held 16 KiB, whether or not the file is compressed.
std::uint32_t topicPos(std::uint32_t block, std::uint32_t offset) {
    return block * 0x4000 + kBlockHeaderSize + offset;
}

// Only the short forms of the format's compressed integers are written; callers keep values small.
void compressedShort(ByteWriter& out, int v) {
    out.u8((v + 64) * 2);
}
void compressedUShort(ByteWriter& out, std::uint32_t v) {
    if (v < 0x80) {
        out.u8(v * 2);
    } else {
        out.u16(v * 2 + 1);
    }
}
void compressedLong(ByteWriter& out, std::uint32_t v) {
    out.u16((v + 0x4000) * 2);
}

struct Record {
    std::uint8_t type = 0;
    Bytes linkData1;
    Bytes linkData2;
    std::uint32_t textLength = 0;  // characters the record adds to TOPICOFFSET
    int line = 0;
    std::uint32_t block = 0;
    std::uint32_t pos = 0;
    std::uint32_t size() const {
        return static_cast<std::uint32_t>(kLinkHeaderSize + linkData1.size() + linkData2.size());
    }
};

// The viewer prints a string, then carries out the next command, so strings and commands alternate.
Record textRecord(std::uint16_t font, const Paragraph& p) {
    ByteWriter strings;
    ByteWriter commands;
    auto emit = [&](const std::string& text, std::initializer_list<std::uint8_t> command) {
        strings.strz(text);
        for (std::uint8_t b : command) commands.u8(b);
    };
    emit("", {kCmdFont, static_cast<std::uint8_t>(font), 0});
    std::string pending;
    for (const Span& span : p.spans) {
        if (span.target.empty()) {
            pending += span.text;
            continue;
        }
        auto h = static_cast<std::uint32_t>(contextHash(span.target));
        emit(pending, {kCmdJump, static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8),
                       static_cast<std::uint8_t>(h >> 16), static_cast<std::uint8_t>(h >> 24)});
        emit(span.text, {kCmdEndJump});
        pending.clear();
    }
    emit(pending, {kCmdEndParagraph});
    emit("", {kCmdEnd});

    Record r;
    r.type = kText;
    r.line = p.line;
    r.linkData2 = strings.take();
    r.textLength = static_cast<std::uint32_t>(r.linkData2.size());

    ByteWriter format;
    format.u8(0x00);
    format.u8(0x80);
    format.u16(0);  // paragraph id
    bool indent = p.kind == ParagraphKind::kItem;
    format.u16(kBitSpaceBelow | (indent ? kBitLeftIndent : 0));
    compressedShort(format, kSpaceBelow);
    if (indent)
        compressedShort(format, kItemIndent);
    format.raw(commands.take());
    Bytes rest = format.take();

    ByteWriter ld1;
    compressedLong(ld1, static_cast<std::uint32_t>(rest.size()));
    compressedUShort(ld1, r.textLength);
    ld1.raw(rest);
    r.linkData1 = ld1.take();
    return r;
}

Record headerRecord(const std::string& title, int line) {
    Record r;
    r.type = kTopicHeader;
    r.line = line;
    r.linkData1.assign(28, 0);  // seven fields, filled in once every record has its position
    r.linkData2.assign(title.begin(), title.end());
    return r;
}

std::uint16_t fontFor(ParagraphKind kind) {
    return kind == ParagraphKind::kHeading ? kHeadingFont : kBodyFont;
}

}  // namespace

TopicFile writeTopicFile(const HelpSource& source, const std::string& sourceName) {
    TopicFile result;
    std::vector<Record> records;
    std::vector<std::size_t> headers;  // index in `records` of each topic header, the closing one last
    for (const Topic& t : source.topics) {
        headers.push_back(records.size());
        records.push_back(headerRecord(t.title, t.line));
        Paragraph heading{ParagraphKind::kHeading, {{t.title, ""}}, t.line};
        records.push_back(textRecord(kTitleFont, heading));
        for (const Paragraph& p : t.paragraphs) records.push_back(textRecord(fontFor(p.kind), p));
    }
    // Like the Microsoft compiler, end the chain with an empty topic so the last real one has a successor.
    headers.push_back(records.size());
    records.push_back(headerRecord("", source.topics.empty() ? 0 : source.topics.back().line));

    // Records never straddle a block: a TOPICOFFSET then always counts text of its own block only.
    std::uint32_t block = 0, offset = 0, charsInBlock = 0;
    for (Record& r : records) {
        if (r.size() > kBlockData || r.textLength >= 0x4000) {
            result.error = sourceName + ":" + std::to_string(r.line) + ": paragraph too long for one block";
            return result;
        }
        if (offset + r.size() > kBlockData) {
            ++block;
            offset = 0;
            charsInBlock = 0;
        }
        r.block = block;
        r.pos = topicPos(block, offset);
        if (r.type == kTopicHeader && &r != &records[headers.back()]) {
            result.topicOffsets.push_back(block * 0x8000 + charsInBlock);
        }
        offset += r.size();
        charsInBlock += r.textLength;
    }

    for (std::size_t i = 0; i + 1 < headers.size(); ++i) {
        ByteWriter h;
        std::uint32_t topicBytes = 0;
        for (std::size_t k = headers[i]; k < headers[i + 1]; ++k) topicBytes += records[k].size();
        h.u32(topicBytes);
        // One browse sequence through all topics in source order, the contents topic first.
        h.u32(i == 0 ? kNone : result.topicOffsets[i - 1]);
        h.u32(i + 2 == headers.size() ? kNone : result.topicOffsets[i + 1]);
        h.u32(static_cast<std::uint32_t>(i));
        h.u32(kNone);  // no non-scrolling region: the title is the first scrolling paragraph
        h.u32(records[headers[i] + 1].pos);
        h.u32(records[headers[i + 1]].pos);
        records[headers[i]].linkData1 = h.take();
    }
    ByteWriter closing;
    closing.u32(records.back().size());
    for (int i = 0; i < 2; ++i) closing.u32(kNone);
    closing.u32(static_cast<std::uint32_t>(headers.size() - 1));
    for (int i = 0; i < 3; ++i) closing.u32(kNone);
    records.back().linkData1 = closing.take();

    ByteWriter out;
    std::uint32_t lastHeaderPos = kNone;
    std::size_t next = 0;
    for (std::uint32_t b = 0; b <= block; ++b) {
        std::size_t blockStart = out.size();
        out.u32(next == 0 ? kNone : records[next - 1].pos);
        out.u32(records[next].pos);
        out.u32(lastHeaderPos);
        for (; next < records.size() && records[next].block == b; ++next) {
            const Record& r = records[next];
            out.u32(r.size());
            out.u32(static_cast<std::uint32_t>(r.linkData2.size()));
            out.u32(next == 0 ? kNone : records[next - 1].pos);
            out.u32(next + 1 == records.size() ? kNone : records[next + 1].pos);
            out.u32(static_cast<std::uint32_t>(kLinkHeaderSize + r.linkData1.size()));
            out.u8(r.type);
            out.raw(r.linkData1);
            out.raw(r.linkData2);
            if (r.type == kTopicHeader)
                lastHeaderPos = r.pos;
        }
        // The viewer copies whole blocks, so the last one is padded too.
        out.zeros(blockStart + kBlockSize - out.size());
    }
    result.data = out.take();
    return result;
}

}  // namespace hlp
