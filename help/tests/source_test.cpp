#include "source.h"

#include <gtest/gtest.h>

#include "help_file.h"
#include "html_guide.h"

namespace {

struct BadSource {
    const char* name;
    std::string text;
    std::string expected;  // the start of the message: file name and line
    std::string detail;
    bool helpFileOnly = false;  // a limit of the help file's format, not of the text
};

class BadSources : public testing::TestWithParam<BadSource> {};

TEST_P(BadSources, FailTheBuildNamingTheLine) {
    hlp::BuildResult r = hlp::buildHelpFile(GetParam().text, "help.txt");
    EXPECT_TRUE(r.file.empty());
    EXPECT_EQ(r.error.rfind(GetParam().expected, 0), 0u) << r.error;
    EXPECT_NE(r.error.find(GetParam().detail), std::string::npos) << r.error;
    // The web page comes from the same text and must never exist where the help file cannot.
    hlp::HtmlResult html = hlp::buildHtmlGuide(GetParam().text, "help.txt");
    if (!GetParam().helpFileOnly) {
        EXPECT_EQ(html.error, r.error);
        EXPECT_EQ(html.page, "");
    }
}

const std::string kHead = "@title T\n@topic top 目次\n";

INSTANTIATE_TEST_SUITE_P(
    All, BadSources,
    testing::Values(
        BadSource{"euro_sign", kHead + "本文\n価格は 5€ です\n", "help.txt:4: ", "U+20AC '€'"},
        BadSource{"emoji_in_title", "@title T\n@topic top 目次😀\n", "help.txt:2: ", "U+1F600"},
        BadSource{"unmappable_in_jump_text", kHead + "[[top|ŝ]]\n", "help.txt:3: ", "U+015D"},
        BadSource{"unmappable_file_title", "\n@title Ω€\n@topic top x\n", "help.txt:2: ", "U+20AC"},
        BadSource{"nul_in_text", kHead + "ok\nbad" + std::string(1, '\0') + "x\n", "help.txt:4: ", "U+0000"},
        BadSource{"broken_utf8", kHead + "ok\n\xE3\x81 broken\n", "help.txt:4: ", "invalid UTF-8"},
        BadSource{"text_before_topic", "@title T\nloose text\n", "help.txt:2: ", "before the first @topic"},
        BadSource{"jump_to_unknown_topic", kHead + "[[nowhere|x]]\n",
                  "help.txt:3: ", "unknown topic 'nowhere'"},
        BadSource{"unclosed_jump", kHead + "[[top|x\n", "help.txt:3: ", "[[id|text]]"},
        BadSource{"bad_id_character", "@title T\n@topic to-p x\n", "help.txt:2: ", "A-Z a-z 0-9"},
        // The viewer folds case when it hashes, so these two ids would be the same topic.
        BadSource{"ids_differing_in_case", kHead + "@topic TOP y\n", "help.txt:3: ", "hashes like 'top'"},
        // Titles are also the index's keywords, which the viewer compares ignoring ASCII case.
        BadSource{"duplicate_title", kHead + "@topic other 目次\n",
                  "help.txt:3: ", "also the title of 'top'"},
        BadSource{"titles_differing_in_case", "@title T\n@topic a Kolbrin\n@topic b KOLBRIN\n",
                  "help.txt:3: ", "also the title of 'a'"},
        BadSource{"topic_without_title", "@title T\n@topic top\n", "help.txt:2: ", "no title"},
        BadSource{"no_title", "@topic top x\n", "help.txt:1: ", "no @title"},
        BadSource{"unknown_directive", kHead + "@tpoic x y\n", "help.txt:3: ", "unknown directive"},
        BadSource{"paragraph_too_long", kHead + std::string(5000, 'a') + "\n", "help.txt:3: ", "too long",
                  true}),
    [](const testing::TestParamInfo<BadSource>& info) { return std::string(info.param.name); });

TEST(Source, ParsesKindsSpansAndSkipsCommentsAndBlankLines) {
    auto r = hlp::parseHelpSource(
        "# note\n@title T\n\n@topic top 目次 です\n* 見出し\n- 項目\n前 [[top|跳ぶ]] 後\n", "s");
    ASSERT_EQ(r.error, "");
    ASSERT_EQ(r.source.topics.size(), 1u);
    const hlp::Topic& t = r.source.topics[0];
    EXPECT_EQ(t.title, "目次 です");
    ASSERT_EQ(t.paragraphs.size(), 3u);
    EXPECT_EQ(t.paragraphs[0].kind, hlp::ParagraphKind::kHeading);
    EXPECT_EQ(t.paragraphs[1].kind, hlp::ParagraphKind::kItem);
    EXPECT_EQ(t.paragraphs[2].line, 7);
    ASSERT_EQ(t.paragraphs[2].spans.size(), 3u);
    EXPECT_EQ(t.paragraphs[2].spans[1].target, "top");
    EXPECT_EQ(t.paragraphs[2].spans[1].text, "跳ぶ");
    EXPECT_EQ(t.paragraphs[2].spans[2].text, " 後");
}

TEST(HtmlGuide, TopicsJumpsItemsAndIndexAsLinksWithTextEscaped) {
    hlp::HtmlResult r = hlp::buildHtmlGuide(
        "@title A&B\n@topic top 目次 <1>\n本文 [[b.x|R&D]] \"q\"\n- 一\n- [[top|二]]\n後\n"
        "@topic b.x about\n* 見出し\n@topic c Kolbrin\n",
        "s");
    ASSERT_EQ(r.error, "");
    for (const char* part : {
             "<title>A&amp;B</title>",
             "<h2 id=\"top\">目次 &lt;1&gt;</h2>\n<p>本文 <a href=\"#b.x\">R&amp;D</a> &quot;q&quot;</p>\n"
             "<ul>\n<li>一</li>\n<li><a href=\"#top\">二</a></li>\n</ul>\n<p>後</p>\n</section>",
             "<h2 id=\"b.x\">about</h2>\n<h3>見出し</h3>",
             // The help file's index order: ASCII letters without regard to case, then double-byte text.
             "<li><a href=\"#b.x\">about</a></li>\n<li><a href=\"#c\">Kolbrin</a></li>\n"
             "<li><a href=\"#top\">目次 &lt;1&gt;</a></li>\n</ul>",
         }) {
        EXPECT_NE(r.page.find(part), std::string::npos) << part << "\n---\n" << r.page;
    }
}

// Values worked out by hand from the viewer's rule, including one that wraps past 32 bits.
TEST(Source, ContextHashMatchesTheViewer) {
    EXPECT_EQ(hlp::contextHash("a"), 17);
    EXPECT_EQ(hlp::contextHash("A0._"), ((17 * 43 + 10) * 43 + 12) * 43 + 13);
    EXPECT_EQ(hlp::contextHash("main_window"), hlp::contextHash("MAIN_WINDOW"));
    EXPECT_EQ(hlp::contextHash("main_window"), -2041870328);
}

}  // namespace
