#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "help_file.h"
#include "hlp_reader.h"

namespace hlptest {

inline std::vector<std::uint8_t> buildOk(const std::string& source) {
    hlp::BuildResult r = hlp::buildHelpFile(source, "test.txt");
    EXPECT_EQ(r.error, "");
    return r.file;
}

// What the viewer relies on beyond the byte-level rules the reader enforces. `ids` holds the context id
// of each topic in source order. Returns the first problem found, or "".
inline std::string consistencyProblem(const hlpread::HelpFile& f, const std::vector<std::string>& ids) {
    if (f.topics.size() != ids.size() + 1)
        return "topic count differs from the source";
    if (!f.topics.back().title.empty() || !f.topics.back().paragraphs.empty())
        return "no closing topic";
    if (f.charset != 128)
        return "charset is not Shift-JIS";
    if (f.contentsOffset != f.topics.front().topicOffset)
        return "contents offset does not point at the first topic";
    for (std::size_t i = 1; i < f.topics.size(); ++i) {
        if (f.topics[i].topicOffset <= f.topics[i - 1].topicOffset)
            return "topic offsets do not increase";
    }
    // The 「<<」「>>」 buttons walk every topic once, in source order, and stop at both ends.
    if (std::find(f.macros.begin(), f.macros.end(), "BrowseButtons()") == f.macros.end())
        return "no browse buttons";
    for (std::size_t i = 0; i < ids.size(); ++i) {
        std::uint32_t back = i == 0 ? 0xFFFFFFFF : f.topics[i - 1].topicOffset;
        std::uint32_t forward = i + 1 == ids.size() ? 0xFFFFFFFF : f.topics[i + 1].topicOffset;
        if (f.topics[i].browseBack != back || f.topics[i].browseForward != forward)
            return "browse sequence broken at " + ids[i];
    }
    if (f.context.size() != ids.size())
        return "context entry count differs from the topics";
    for (std::size_t i = 0; i < ids.size(); ++i) {
        auto it = std::find_if(f.context.begin(), f.context.end(),
                               [&](const auto& e) { return e.first == hlpread::hashOf(ids[i]); });
        if (it == f.context.end() || it->second != f.topics[i].topicOffset) {
            return "context id " + ids[i] + " does not resolve to its topic";
        }
    }
    if (f.titles.size() != ids.size())
        return "title tree size differs from the topics";
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (f.titles[i] != std::pair{f.topics[i].topicOffset, f.topics[i].title})
            return "title tree entry wrong";
    }
    // The index lists each topic once under its title; Wine's index dialog refuses keywords that lead
    // to more than one topic.
    if (f.keywords.size() != ids.size())
        return "keyword count differs from the topics";
    for (std::size_t i = 0; i < ids.size(); ++i) {
        auto it = std::find_if(f.keywords.begin(), f.keywords.end(),
                               [&](const hlpread::Keyword& k) { return k.text == f.topics[i].title; });
        if (it == f.keywords.end() || it->topicOffsets != std::vector<std::uint32_t>{f.topics[i].topicOffset})
            return "keyword for " + ids[i] + " does not lead to its topic alone";
    }
    for (const hlpread::Topic& t : f.topics) {
        for (const hlpread::Paragraph& p : t.paragraphs) {
            for (const hlpread::Link& l : p.links) {
                bool known = std::any_of(f.context.begin(), f.context.end(),
                                         [&](const auto& e) { return e.first == l.hash; });
                if (!known)
                    return "jump to a hash missing from |CONTEXT";
            }
        }
    }
    return "";
}

}  // namespace hlptest
