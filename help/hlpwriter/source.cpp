#include "source.h"

#include <map>

namespace hlp {
namespace {

constexpr std::string_view kJumpOpen = "[[";
constexpr std::string_view kJumpClose = "]]";

// The viewer skips any other character when it hashes an id, so two different ids could collide.
bool isValidId(std::string_view id) {
    if (id.empty())
        return false;
    for (char c : id) {
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                  c == '_';
        if (!ok)
            return false;
    }
    return true;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

class Parser {
  public:
    explicit Parser(std::string_view name) : name_(name) {}

    ParseResult run(std::string_view text) {
        for (std::size_t start = 0; start <= text.size() && error_.empty();) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos)
                end = text.size();
            ++line_;
            std::string_view line = trim(text.substr(start, end - start));
            if (const char* control = controlCharacter(line))
                fail(line_, "control character " + codePoint(*control));
            else
                parseLine(line);
            start = end + 1;
        }
        if (error_.empty())
            checkWhole();
        return {std::move(source_), std::move(error_)};
    }

  private:
    // The help file ends its strings with NUL and the viewer gives other control characters no meaning,
    // so none may reach a topic (a tab is the only one a text editor leaves in by design).
    static const char* controlCharacter(std::string_view line) {
        for (const char& c : line) {
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f)
                return &c;
        }
        return nullptr;
    }
    static std::string codePoint(char c) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        unsigned v = static_cast<unsigned char>(c);
        return std::string("U+00") + kHex[v >> 4] + kHex[v & 0xf];
    }

    void fail(int line, const std::string& message) {
        if (error_.empty())
            error_ = name_ + ":" + std::to_string(line) + ": " + message;
    }

    void parseLine(std::string_view s) {
        if (s.empty() || s.front() == '#')
            return;
        if (s.front() == '@')
            return parseDirective(s);
        if (source_.topics.empty())
            return fail(line_, "text before the first @topic");
        Paragraph p;
        p.line = line_;
        if (s.starts_with("* ")) {
            p.kind = ParagraphKind::kHeading;
            s.remove_prefix(2);
        } else if (s.starts_with("- ")) {
            p.kind = ParagraphKind::kItem;
            s.remove_prefix(2);
        }
        p.spans = parseSpans(trim(s));
        if (p.kind == ParagraphKind::kItem)
            p.spans.insert(p.spans.begin(), Span{std::string(kItemBullet), ""});
        source_.topics.back().paragraphs.push_back(std::move(p));
    }

    void parseDirective(std::string_view s) {
        std::size_t space = s.find(' ');
        std::string_view word = s.substr(0, space);
        std::string_view rest = space == std::string_view::npos ? "" : trim(s.substr(space));
        if (word == "@title") {
            if (!source_.title.empty())
                return fail(line_, "@title given twice");
            if (!source_.topics.empty())
                return fail(line_, "@title after the first @topic");
            if (rest.empty())
                return fail(line_, "@title without text");
            source_.title = rest;
            source_.titleLine = line_;
        } else if (word == "@topic") {
            std::size_t gap = rest.find(' ');
            Topic t;
            t.id = rest.substr(0, gap);
            t.title = gap == std::string_view::npos ? "" : trim(rest.substr(gap));
            t.line = line_;
            if (!isValidId(t.id))
                return fail(line_, "context id '" + t.id + "' must use only A-Z a-z 0-9 . _");
            if (t.title.empty())
                return fail(line_, "@topic " + t.id + " has no title");
            source_.topics.push_back(std::move(t));
        } else {
            fail(line_, "unknown directive " + std::string(word));
        }
    }

    std::vector<Span> parseSpans(std::string_view s) {
        std::vector<Span> spans;
        while (!s.empty()) {
            std::size_t open = s.find(kJumpOpen);
            if (open == std::string_view::npos) {
                spans.push_back({std::string(s), ""});
                break;
            }
            if (open > 0)
                spans.push_back({std::string(s.substr(0, open)), ""});
            s.remove_prefix(open + kJumpOpen.size());
            std::size_t close = s.find(kJumpClose);
            std::size_t bar = s.find('|');
            if (close == std::string_view::npos || bar == std::string_view::npos || bar > close) {
                fail(line_, "a jump must be written [[id|text]]");
                break;
            }
            Span jump{std::string(s.substr(bar + 1, close - bar - 1)), std::string(s.substr(0, bar))};
            if (jump.text.empty())
                fail(line_, "jump to '" + jump.target + "' has no text");
            jumps_.push_back({jump.target, line_});
            spans.push_back(std::move(jump));
            s.remove_prefix(close + kJumpClose.size());
        }
        return spans;
    }

    void checkWhole() {
        if (source_.title.empty())
            return fail(1, "no @title");
        if (source_.topics.empty())
            return fail(line_, "no @topic");
        std::map<std::int32_t, const Topic*> byHash;
        for (const Topic& t : source_.topics) {
            auto [it, fresh] = byHash.emplace(contextHash(t.id), &t);
            if (!fresh)
                return fail(t.line, "context id '" + t.id + "' hashes like '" + it->second->id + "'");
        }
        // Titles double as index keywords, which must be unique without regard to ASCII case.
        std::map<std::string, const Topic*> byTitle;
        for (const Topic& t : source_.topics) {
            auto [it, fresh] = byTitle.emplace(foldAsciiCase(t.title), &t);
            if (!fresh)
                return fail(t.line,
                            "topic title '" + t.title + "' is also the title of '" + it->second->id + "'");
        }
        for (const auto& [target, line] : jumps_) {
            auto it = byHash.find(contextHash(target));
            if (!isValidId(target) || it == byHash.end() || it->second->id != target) {
                return fail(line, "jump to unknown topic '" + target + "'");
            }
        }
    }

    std::string name_;
    int line_ = 0;
    HelpSource source_;
    std::vector<std::pair<std::string, int>> jumps_;
    std::string error_;
};

}  // namespace

ParseResult parseHelpSource(std::string_view text, std::string_view sourceName) {
    return Parser(sourceName).run(text);
}

std::string foldAsciiCase(std::string s) {
    for (char& c : s) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return s;
}

std::int32_t contextHash(std::string_view id) {
    std::uint32_t hash = 0;  // unsigned, so that the viewer's 32-bit wrap-around is well defined here
    for (char c : id) {
        std::uint32_t x = 0;
        if (c >= 'A' && c <= 'Z')
            x = c - 'A' + 17;
        if (c >= 'a' && c <= 'z')
            x = c - 'a' + 17;
        if (c >= '1' && c <= '9')
            x = c - '0';
        if (c == '0')
            x = 10;
        if (c == '.')
            x = 12;
        if (c == '_')
            x = 13;
        if (x != 0)
            hash = hash * 43 + x;
    }
    return static_cast<std::int32_t>(hash);
}

}  // namespace hlp
