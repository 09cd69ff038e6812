// Each check of the reader, and each consistency rule, must be able to fail: plant one fault at a
// time into a good file and make sure it is reported.

#include <cstring>
#include <functional>

#include "test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::vector<std::string> kIds = {"contents", "a", "b", "c", "d", "e", "f", "g"};

Bytes goodFile() {
    std::string source = "@title 表示テスト\n";
    for (const std::string& id : kIds) {
        source += "@topic " + id + " 題名" + id + "\n";
        for (int p = 0; p < 8; ++p) source += std::string(200, 'x') + "能力ソフト [[contents|目次]]\n";
    }
    return hlptest::buildOk(source);
}

std::uint32_t getU32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
void putU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Where things are in the good file, found with the reader itself.
struct Map {
    hlpread::HelpFile file;
    std::size_t at(const std::string& name) const {
        for (const auto& e : file.directory) {
            if (e.name == name)
                return e.offset;
        }
        ADD_FAILURE() << name;
        return 0;
    }
    std::size_t data(const std::string& name) const { return at(name) + 9; }
    std::size_t leafEntries(const std::string& name) const { return data(name) + 38 + 8; }
    std::size_t record(std::uint32_t topicPos) const {
        std::uint32_t p = topicPos - 12;
        return data("|TOPIC") + (p >> 14) * 4096 + 12 + (p & 0x3FFF);
    }
};

struct Fault {
    const char* name;
    std::function<void(Bytes&, const Map&)> plant;
    const char* expected;
};

class Faults : public testing::TestWithParam<Fault> {};

TEST_P(Faults, AreReported) {
    Bytes bytes = goodFile();
    auto good = hlpread::readHelpFile(bytes);
    ASSERT_EQ(good.error, "");
    ASSERT_EQ(hlptest::consistencyProblem(good.file, kIds), "");
    ASSERT_GT(good.file.topics.back().topicPos >> 14, 0u) << "the file should span several blocks";

    GetParam().plant(bytes, Map{good.file});
    auto bad = hlpread::readHelpFile(bytes);
    std::string problem = bad.error.empty() ? hlptest::consistencyProblem(bad.file, kIds) : bad.error;
    EXPECT_NE(problem.find(GetParam().expected), std::string::npos) << "reported: '" << problem << "'";
}

INSTANTIATE_TEST_SUITE_P(
    All, Faults,
    testing::Values(
        Fault{"wrong_total_size", [](Bytes& b, const Map&) { putU32(b, 12, b.size() + 1); }, "file size"},
        Fault{"directory_out_of_order",
              [](Bytes& b, const Map&) {
                  // "|CONTEXT" and "|FONT" are the first two entries; store them the other way round.
                  std::size_t at = getU32(b, 4) + 9 + 38 + 8;
                  Bytes first(b.begin() + at, b.begin() + at + 13),
                      second(b.begin() + at + 13, b.begin() + at + 23);
                  std::copy(second.begin(), second.end(), b.begin() + at);
                  std::copy(first.begin(), first.end(), b.begin() + at + second.size());
              },
              "byte order"},
        Fault{"reserved_space_too_small",
              [](Bytes& b, const Map& m) { putU32(b, m.at("|FONT"), getU32(b, m.at("|FONT") + 4) + 8); },
              "reserved"},
        Fault{"topic_not_padded",
              [](Bytes& b, const Map& m) {
                  std::size_t at = m.at("|TOPIC");
                  putU32(b, at, getU32(b, at) - 100);
                  putU32(b, at + 4, getU32(b, at + 4) - 100);
              },
              "padded"},
        Fault{"chain_leaves_topic", [](Bytes& b, const Map& m) { putU32(b, m.record(12) + 12, 0x7FFF0000); },
              "leaves |TOPIC"},
        Fault{"chain_loops",
              [](Bytes& b, const Map& m) { putU32(b, m.record(getU32(b, m.record(12) + 12)) + 12, 12); },
              "loops"},
        Fault{"prev_link_wrong", [](Bytes& b, const Map& m) { putU32(b, m.record(12) + 8, 12); },
              "PrevBlock"},
        Fault{"text_marked_compressed",
              [](Bytes& b, const Map& m) {
                  std::size_t at = m.record(getU32(b, m.record(12) + 12));
                  putU32(b, at + 4, getU32(b, at + 4) + 1);
              },
              "stored plainly"},
        Fault{"contents_offset_elsewhere",
              [](Bytes& b, const Map& m) {
                  // |SYSTEM: 12-byte header, the title record, then the contents record.
                  std::size_t title = m.data("|SYSTEM") + 12;
                  std::size_t contents = title + 4 + (b[title + 2] | b[title + 3] << 8);
                  putU32(b, contents + 4, m.file.topics[2].topicOffset);
              },
              "contents offset"},
        Fault{"browse_forward_between_topics",
              [](Bytes& b, const Map& m) {
                  // A topic header's LinkData1: block size, browse back, browse forward, ...
                  std::size_t forward = m.record(m.file.topics[0].topicPos) + 21 + 8;
                  putU32(b, forward, getU32(b, forward) + 1);
              },
              "browse sequence broken at contents"},
        Fault{"last_topic_browses_into_closing_topic",
              [](Bytes& b, const Map& m) {
                  const auto& topics = m.file.topics;
                  std::size_t forward = m.record(topics[topics.size() - 2].topicPos) + 21 + 8;
                  putU32(b, forward, topics.back().topicOffset);
              },
              "browse sequence broken at g"},
        Fault{"first_topic_browses_back",
              [](Bytes& b, const Map& m) {
                  putU32(b, m.record(m.file.topics[0].topicPos) + 21 + 4, m.file.topics[1].topicOffset);
              },
              "browse sequence broken at contents"},
        Fault{"browse_buttons_macro_missing",
              [](Bytes& b, const Map& m) {
                  // |SYSTEM: 12-byte header, the title record, the contents record, then the macro.
                  std::size_t title = m.data("|SYSTEM") + 12;
                  std::size_t macro = title + 4 + (b[title + 2] | b[title + 3] << 8) + 8;
                  b[macro] = 0x7F;
              },
              "no browse buttons"},
        // Every title starts with 題 (91 E8); a lead byte of 98 keeps it valid text but sorts it last.
        Fault{"keywords_unsorted", [](Bytes& b, const Map& m) { b[m.leafEntries("|KWBTREE")] = 0x98; },
              "|KWBTREE not sorted"},
        Fault{"keyword_leads_to_two_topics",
              [](Bytes& b, const Map& m) {
                  std::size_t at = m.leafEntries("|KWBTREE");
                  while (b[at] != 0) ++at;
                  b[at + 1] = 2;
              },
              "does not lead to its topic alone"},
        Fault{"keyword_data_between_topics",
              [](Bytes& b, const Map& m) {
                  putU32(b, m.data("|KWDATA") + 8, getU32(b, m.data("|KWDATA") + 8) + 1);
              },
              "does not lead to its topic alone"},
        Fault{"keyword_map_names_another_page", [](Bytes& b, const Map& m) { b[m.data("|KWMAP") + 6] = 1; },
              "|KWMAP"},
        Fault{"context_unsorted",
              [](Bytes& b, const Map& m) {
                  std::size_t at = m.leafEntries("|CONTEXT");
                  for (int i = 0; i < 8; ++i) std::swap(b[at + i], b[at + 8 + i]);
              },
              "signed hash"},
        Fault{"context_points_between_topics",
              [](Bytes& b, const Map& m) {
                  std::size_t at = m.leafEntries("|CONTEXT") + 4;
                  putU32(b, at, getU32(b, at) + 1);
              },
              "does not resolve"},
        Fault{"title_tree_wrong", [](Bytes& b, const Map& m) { b[m.leafEntries("|TTLBTREE") + 4] ^= 1; },
              "title tree"},
        Fault{"charset_missing",
              [](Bytes& b, const Map& m) {
                  std::size_t end = m.data("|SYSTEM") + getU32(b, m.at("|SYSTEM") + 4);
                  b[end - 6] = 0;  // record type 11 becomes an unknown type
              },
              "Shift-JIS"},
        Fault{"font_index_out_of_range",
              [](Bytes& b, const Map& m) {
                  // The first text record's first command selects a font: 80 lo hi right after the
                  // paragraph header (TopicSize 2, TopicLength 1, 00 80, id 2, bits 2, one field).
                  std::size_t header = m.record(12);
                  std::size_t text = m.record(getU32(b, header + 12));
                  b[text + 21 + 2 + 1 + 6 + 1 + 1] = 9;
              },
              "font index"}),
    [](const testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

}  // namespace
