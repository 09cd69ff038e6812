#include "html_guide.h"

#include <vector>

#include "cp932.h"
#include "help_file.h"
#include "source.h"

namespace hlp {
namespace {

// Topic ids allow only A-Z a-z 0-9 . _, so an id with a hyphen can never be taken by a topic.
constexpr std::string_view kIndexId = "keyword-index";
constexpr std::string_view kIndexTitle = "索引";

// The page must read well with nothing but itself: no scripts, no fonts or pictures from elsewhere.
constexpr std::string_view kStyle =
    "body{font-family:\"Meiryo\",\"Yu Gothic\",\"MS PGothic\",sans-serif;line-height:1.7;max-width:46em;"
    "margin:0 auto;padding:1em;color:#222;background:#fff}"
    "h1{font-size:1.5em;margin:0 0 .3em}"
    "nav{margin-bottom:1.5em}"
    "section{border-top:1px solid #bbb;margin-top:2em;padding-top:.3em}"
    "h2{font-size:1.3em}"
    "h3{font-size:1.05em;margin:1.2em 0 .3em}"
    "p,li{margin:.3em 0}"
    "a{color:#0645ad}";

std::string escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string link(std::string_view id, std::string_view text) {
    return "<a href=\"#" + std::string(id) + "\">" + escape(text) + "</a>";
}

std::string inlineText(const Paragraph& p) {
    std::string out;
    auto spans = p.spans.begin();
    // The list's own marker stands for the bullet that the help file shows as text.
    if (p.kind == ParagraphKind::kItem && spans != p.spans.end() && spans->target.empty() &&
        spans->text == kItemBullet)
        ++spans;
    for (; spans != p.spans.end(); ++spans)
        out += spans->target.empty() ? escape(spans->text) : link(spans->target, spans->text);
    return out;
}

void writeTopic(std::string& out, const Topic& t) {
    out += "<section>\n<h2 id=\"" + t.id + "\">" + escape(t.title) + "</h2>\n";
    bool inList = false;
    for (const Paragraph& p : t.paragraphs) {
        bool item = p.kind == ParagraphKind::kItem;
        if (item != inList) {
            out += item ? "<ul>\n" : "</ul>\n";
            inList = item;
        }
        if (item)
            out += "<li>" + inlineText(p) + "</li>\n";
        else if (p.kind == ParagraphKind::kHeading)
            out += "<h3>" + inlineText(p) + "</h3>\n";
        else
            out += "<p>" + inlineText(p) + "</p>\n";
    }
    if (inList)
        out += "</ul>\n";
    out += "</section>\n";
}

// Every text must also fit the help file's code page; the index follows the help file's order.
bool indexOrderOf(const HelpSource& s, const std::string& sourceName, std::vector<std::size_t>& order,
                  std::string& error) {
    std::vector<std::string> titles;
    std::string converted, problem;
    auto fits = [&](const std::string& text, int line) {
        if (utf8ToCp932(text, converted, problem))
            return true;
        error =
            sourceName + ":" + std::to_string(line) + ": " + problem + " cannot be written in code page 932";
        return false;
    };
    if (!fits(s.title, s.titleLine))
        return false;
    for (const Topic& t : s.topics) {
        if (!fits(t.title, t.line))
            return false;
        titles.push_back(converted);
        for (const Paragraph& p : t.paragraphs) {
            for (const Span& span : p.spans) {
                if (!fits(span.text, p.line))
                    return false;
            }
        }
    }
    order = indexOrder(titles);
    return true;
}

}  // namespace

HtmlResult buildHtmlGuide(std::string_view sourceText, const std::string& sourceName) {
    ParseResult parsed = parseHelpSource(sourceText, sourceName);
    if (!parsed.error.empty())
        return {"", parsed.error};
    const HelpSource& s = parsed.source;
    std::vector<std::size_t> order;
    std::string error;
    if (!indexOrderOf(s, sourceName, order, error))
        return {"", error};

    std::string out = "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n";
    out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    out += "<title>" + escape(s.title) + "</title>\n<style>" + std::string(kStyle) +
           "</style>\n</head>\n<body>\n";
    out += "<h1>" + escape(s.title) + "</h1>\n";
    out += "<nav>" + link(s.topics.front().id, s.topics.front().title) + " | " + link(kIndexId, kIndexTitle) +
           "</nav>\n";
    for (const Topic& t : s.topics) writeTopic(out, t);
    out +=
        "<section>\n<h2 id=\"" + std::string(kIndexId) + "\">" + std::string(kIndexTitle) + "</h2>\n<ul>\n";
    for (std::size_t i : order) out += "<li>" + link(s.topics[i].id, s.topics[i].title) + "</li>\n";
    out += "</ul>\n</section>\n</body>\n</html>\n";
    return {std::move(out), ""};
}

}  // namespace hlp
