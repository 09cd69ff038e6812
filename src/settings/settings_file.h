// The settings file 1.dat: five text lines in code page 932, each ending CR LF.
//
//   Kolbrin 設定ファイル
//   Ver.1.00
//   最適化程度 = 2                  optimization level, index + 1
//   メモリスキャン程度 = 2          scan level, index + 1
//   バックアップしながら最適化 = 1  backup flag
//
// The file is always code page 932, whatever the system's ANSI code page, so the same bytes are
// written and accepted on every system.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

inline constexpr std::string_view kFileName = "1.dat";

// The three settings as the file carries them: the two level indexes (0..2) and the backup flag (0/1).
enum Setting { kOptimization, kScan, kBackup, kSettingCount };
using Values = std::array<int, kSettingCount>;
inline constexpr Values kDefaultValues = {1, 1, 1};

struct Parsed {
    enum class Outcome { Read, Incompatible, Unreadable };
    Outcome outcome = Outcome::Unreadable;
    // For Read: the value of each key line that carried an accepted one; a skipped line stays empty.
    std::array<std::optional<int>, kSettingCount> values{};
};

// What the load looks at in one line: its first bytes (enough to compare it with the header, the version
// and its key) and its last character. A line of any length costs no more than this.
struct LineSummary {
    static constexpr std::size_t kHeadBytes = 32;
    std::string head;     // the first kHeadBytes bytes of the line
    bool longer = false;  // the line goes on past head
    std::string last;     // the last character: one byte, or two for a double-byte character

    bool equals(std::string_view text) const { return !longer && head == text; }
    bool startsWith(std::string_view prefix) const { return head.starts_with(prefix); }
};

// Reads the file the way the load does, from pieces of any size: a line ends at CR or CR LF, a lone LF is
// an ordinary character, and nothing past the fifth line is looked at. Memory stays the same whatever
// the size of the file or of its lines.
class Loader {
  public:
    // Takes the next piece of the file. False once the outcome no longer depends on what follows (five
    // lines read, or a first or second line that is not the header or the version), so the caller can
    // stop reading.
    bool feed(std::string_view piece);
    // The outcome once the file has ended (or feed returned false).
    Parsed finish();
    // The lines completed so far (at most five).
    int lineCount() const { return count_; }
    const LineSummary& line(int i) const { return lines_[static_cast<std::size_t>(i)]; }

  private:
    static constexpr int kLines = 5;
    void take(unsigned char c);
    void endLine();

    std::array<LineSummary, kLines> lines_{};
    int count_ = 0;
    LineSummary current_;
    bool inLine_ = false;       // bytes were seen since the last line end
    bool afterCr_ = false;      // the last byte ended a line at CR: a LF now belongs to that end
    bool pendingLead_ = false;  // the line's last byte so far opens a double-byte character
    bool decided_ = false;      // what follows can no longer change the outcome
};

// Reads a whole file's bytes as the load does.
Parsed parse(std::string_view bytes);

// The bytes of a file holding these values.
std::string format(const Values& values);

// The values of a file exactly as the save writes it; nothing for any other bytes (a part of one, one
// with anything after its last line end, one another program wrote).
std::optional<Values> savedValues(std::string_view bytes);

}  // namespace settings
