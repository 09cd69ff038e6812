#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hlp {

// A run of paragraph text; a non-empty `target` makes it a jump to the topic with that context id.
struct Span {
    std::string text;
    std::string target;
};

enum class ParagraphKind { kBody, kHeading, kItem };

// An item's paragraph starts with this text, a span of its own, so the help file shows a bullet.
inline constexpr std::string_view kItemBullet = "・";

struct Paragraph {
    ParagraphKind kind = ParagraphKind::kBody;
    std::vector<Span> spans;
    int line = 0;
};

struct Topic {
    std::string id;
    std::string title;
    int line = 0;
    std::vector<Paragraph> paragraphs;
};

// The first topic is the contents topic.
struct HelpSource {
    std::string title;
    int titleLine = 0;
    std::vector<Topic> topics;
};

struct ParseResult {
    HelpSource source;
    std::string error;  // "name:line: message"; empty on success
};

// The help source markup:
//   # comment            (a line starting with '#')
//   @title File title    (once, before the first topic)
//   @topic id Title      (starts a topic; the first one is the contents)
//   * Heading            (a bold heading line)
//   - Item               (an indented list item)
//   any other line       (a paragraph; blank lines are ignored)
// Inside paragraphs, [[id|text]] is a jump to topic `id` showing `text`.
ParseResult parseHelpSource(std::string_view text, std::string_view sourceName);

// The text with ASCII letters in upper case: how the viewer compares index keywords.
std::string foldAsciiCase(std::string s);

// The viewer's hash of a context id, which jumps and the |CONTEXT tree use instead of the id itself.
std::int32_t contextHash(std::string_view id);

}  // namespace hlp
