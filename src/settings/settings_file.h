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

// Splits text into lines the way the file is read: a line ends at CR or CR LF; a lone LF is an ordinary
// character. Asking past the last line is an error (nullopt), as is asking for a line of an empty file.
class LineReader {
  public:
    explicit LineReader(std::string_view bytes) : bytes_(bytes) {}
    std::optional<std::string_view> next();

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

struct Parsed {
    enum class Outcome { Read, Incompatible, Unreadable };
    Outcome outcome = Outcome::Unreadable;
    // For Read: the value of each key line that carried an accepted one; a skipped line stays empty.
    std::array<std::optional<int>, kSettingCount> values{};
};

// Reads a file's bytes as the load does. Lines past the fifth are never looked at.
Parsed parse(std::string_view bytes);

// The bytes of a file holding these values.
std::string format(const Values& values);

}  // namespace settings
