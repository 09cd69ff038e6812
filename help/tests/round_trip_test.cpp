#include <fstream>
#include <sstream>

#include "source.h"
#include "test_support.h"

namespace {

using hlptest::buildOk;
using hlptest::consistencyProblem;

// 表 ソ 能 ボ マ end in the bytes 0x5C, 0x5C, 0x5C, 0x7B, 0x7D: backslash and braces, which a writer or
// viewer that treats the text as ASCII would mangle.
constexpr const char* kTrailBytes = "表ソ能ボマ\\{}";

TEST(RoundTrip, TrailByteTextComesBackUnchangedEverywhere) {
    std::string source = std::string("@title ヘルプ") + kTrailBytes + "\n" + "@topic top 目次" + kTrailBytes +
                         "\n" + "本文" + kTrailBytes + " [[next|次へ" + kTrailBytes + "]] 後ろ\n" +
                         "@topic next 次" + kTrailBytes + "\n" + "- 項目 [[top|戻る]]\n";
    auto back = hlpread::readHelpFile(buildOk(source));
    ASSERT_EQ(back.error, "");
    const hlpread::HelpFile& f = back.file;
    EXPECT_EQ(consistencyProblem(f, {"top", "next"}), "");
    EXPECT_EQ(f.title, std::string("ヘルプ") + kTrailBytes);
    EXPECT_EQ(f.faces, std::vector<std::string>{"ＭＳ ゴシック"});

    const hlpread::Topic& top = f.topics[0];
    EXPECT_EQ(top.title, std::string("目次") + kTrailBytes);
    ASSERT_EQ(top.paragraphs.size(), 2u);
    // Each topic opens with its title as a bold paragraph.
    EXPECT_EQ(top.paragraphs[0].text, top.title);
    EXPECT_TRUE(f.boldFonts.at(top.paragraphs[0].font));
    EXPECT_FALSE(f.boldFonts.at(top.paragraphs[1].font));
    EXPECT_EQ(top.paragraphs[1].text, std::string("本文") + kTrailBytes + " 次へ" + kTrailBytes + " 後ろ");
    ASSERT_EQ(top.paragraphs[1].links.size(), 1u);
    EXPECT_EQ(top.paragraphs[1].links[0].hash, hlpread::hashOf("next"));
    EXPECT_EQ(top.paragraphs[1].links[0].text, std::string("次へ") + kTrailBytes);

    const hlpread::Paragraph& item = f.topics[1].paragraphs[1];
    EXPECT_TRUE(item.indented);
    EXPECT_EQ(item.text, "・項目 戻る");
    ASSERT_EQ(item.links.size(), 1u);
    EXPECT_EQ(item.links[0].hash, hlpread::hashOf("top"));
}

// The index is ordered as the viewer compares its keys: ASCII letters without regard to case.
TEST(RoundTrip, IndexListsTitlesInCaseBlindOrder) {
    auto back = hlpread::readHelpFile(
        buildOk("@title T\n@topic a Kolbrin\n@topic b about\n@topic c ZIP\n@topic d mail\n@topic e 目次\n"
                "@topic f ッ\n@topic g ケ\n"));
    ASSERT_EQ(back.error, "");
    EXPECT_EQ(consistencyProblem(back.file, {"a", "b", "c", "d", "e", "f", "g"}), "");
    std::vector<std::string> order;
    for (const auto& k : back.file.keywords) order.push_back(k.text);
    // ケ is 83 50 and ッ is 83 62: folding ッ's second byte as the letter 'b' would put it before ケ.
    EXPECT_EQ(order, (std::vector<std::string>{"about", "Kolbrin", "mail", "ZIP", "ケ", "ッ", "目次"}));
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

struct Shape {
    const char* name;
    int topics;
    std::string paragraph;  // ASCII, so its length is its size in the file
    int paragraphsPerTopic;
};

class Shapes : public testing::TestWithParam<Shape> {};

// The text sizes sit around the one-byte/two-byte boundary of the compressed TopicLength (127 bytes
// of strings), and the larger files need several |TOPIC blocks, where TOPICOFFSET changes its base.
TEST_P(Shapes, ReadsBackWithEveryTopicReachable) {
    const Shape& shape = GetParam();
    std::string source = "@title T\n";
    std::vector<std::string> ids;
    for (int t = 0; t < shape.topics; ++t) {
        ids.push_back("topic_" + std::to_string(t));
        source += "@topic " + ids.back() + " Title " + std::to_string(t) + "\n";
        for (int p = 0; p < shape.paragraphsPerTopic; ++p) source += shape.paragraph + "\n";
        source += "[[topic_0|back]]\n";
    }
    auto back = hlpread::readHelpFile(buildOk(source));
    ASSERT_EQ(back.error, "");
    EXPECT_EQ(consistencyProblem(back.file, ids), "");
    for (int t = 0; t < shape.topics; ++t) {
        const auto& paragraphs = back.file.topics[t].paragraphs;
        ASSERT_EQ(paragraphs.size(), static_cast<std::size_t>(shape.paragraphsPerTopic + 2));
        EXPECT_EQ(paragraphs[1].text, shape.paragraph);
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, Shapes,
    testing::Values(Shape{"one_topic", 1, "x", 1},
                    // strings: "" + text + "" => text size + 3 bytes of NULs
                    Shape{"text_just_below_two_byte_length", 2, std::string(124, 'a'), 1},
                    Shape{"text_at_two_byte_length", 2, std::string(125, 'b'), 1},
                    Shape{"several_blocks", 30, repeat("0123456789", 30), 3},
                    Shape{"records_fill_blocks_exactly", 12, std::string(1000, 'c'), 4}),
    [](const testing::TestParamInfo<Shape>& info) { return std::string(info.param.name); });

TEST(RoundTrip, ShippedHelpSourceBuildsAndLinksEveryTopicBothWays) {
    std::ifstream in(KOLBRIN_HELP_SOURCE, std::ios::binary);
    ASSERT_TRUE(in) << KOLBRIN_HELP_SOURCE;
    std::ostringstream text;
    text << in.rdbuf();
    hlp::ParseResult parsed = hlp::parseHelpSource(text.str(), "palvo.help.txt");
    ASSERT_EQ(parsed.error, "");
    std::vector<std::string> ids;
    for (const hlp::Topic& t : parsed.source.topics) ids.push_back(t.id);

    auto back = hlpread::readHelpFile(buildOk(text.str()));
    ASSERT_EQ(back.error, "");
    const hlpread::HelpFile& f = back.file;
    EXPECT_EQ(consistencyProblem(f, ids), "");
    EXPECT_EQ(f.title, "Kolbrin ヘルプ");

    auto linksOf = [&](std::size_t topic) {
        std::vector<std::int32_t> hashes;
        for (const auto& p : f.topics[topic].paragraphs) {
            for (const auto& l : p.links) hashes.push_back(l.hash);
        }
        return hashes;
    };
    auto contents = linksOf(0);
    for (std::size_t i = 1; i < ids.size(); ++i) {
        SCOPED_TRACE(ids[i]);
        EXPECT_NE(std::find(contents.begin(), contents.end(), hlpread::hashOf(ids[i])), contents.end());
        auto own = linksOf(i);
        EXPECT_NE(std::find(own.begin(), own.end(), hlpread::hashOf(ids[0])), own.end());
    }
}

}  // namespace
