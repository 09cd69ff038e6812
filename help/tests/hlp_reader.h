#pragma once

// A reader for the help files hlpwriter makes, written from the viewer's rules rather than from the
// writer, so that the tests can tell whether a file would open and show what it should.

#include <cstdint>
#include <string>
#include <vector>

namespace hlpread {

struct Link {
    std::int32_t hash = 0;
    std::string text;  // UTF-8
};

struct Paragraph {
    std::uint16_t font = 0;
    bool indented = false;
    std::string text;  // UTF-8, links included
    std::vector<Link> links;
};

struct Topic {
    std::string title;  // UTF-8
    std::uint32_t topicPos = 0;
    std::uint32_t topicOffset = 0;
    std::uint32_t browseBack = 0xFFFFFFFF;  // TOPICOFFSETs of the browse sequence's neighbours
    std::uint32_t browseForward = 0xFFFFFFFF;
    std::vector<Paragraph> paragraphs;
};

struct Keyword {
    std::string text;  // UTF-8
    std::vector<std::uint32_t> topicOffsets;
};

struct DirectoryEntry {
    std::string name;
    std::uint32_t offset = 0;
};

struct HelpFile {
    std::vector<DirectoryEntry> directory;  // in stored order
    std::string title;                      // UTF-8
    std::uint32_t contentsOffset = 0xFFFFFFFF;
    int charset = -1;
    std::vector<std::string> macros;  // run when the file opens, in stored order
    std::vector<std::string> faces;   // UTF-8
    std::vector<bool> boldFonts;
    std::vector<Topic> topics;  // in chain order, the closing empty topic included
    std::vector<std::pair<std::int32_t, std::uint32_t>> context;
    std::vector<std::pair<std::uint32_t, std::string>> titles;
    std::vector<Keyword> keywords;  // the index, in stored order
};

struct ReadResult {
    HelpFile file;
    std::string error;  // the first rule the file breaks; empty when it reads cleanly
};

ReadResult readHelpFile(const std::vector<std::uint8_t>& bytes);

// The viewer's context-id hash.
std::int32_t hashOf(const std::string& id);

std::string cp932ToUtf8(const std::string& cp932);

}  // namespace hlpread
