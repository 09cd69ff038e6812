#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bytes.h"
#include "source.h"

namespace hlp {

// Fonts of the help file, by the index that paragraphs select. Sizes are in half points.
struct FontSpec {
    bool bold;
    std::uint8_t halfPoints;
};
enum FontIndex : std::uint16_t { kBodyFont, kTitleFont, kHeadingFont };
inline constexpr std::array<FontSpec, 3> kFonts{{{false, 20}, {true, 26}, {true, 20}}};

struct TopicFile {
    Bytes data;                               // the |TOPIC internal file, whole blocks
    std::vector<std::uint32_t> topicOffsets;  // TOPICOFFSET of each source topic, in order
    std::string error;                        // "name:line: message"; empty on success
};

// Lays out the topics, whose texts must already be in code page 932, as uncompressed 4 KiB blocks.
TopicFile writeTopicFile(const HelpSource& cp932Source, const std::string& sourceName);

}  // namespace hlp
