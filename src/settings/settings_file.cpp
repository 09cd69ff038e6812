#include "settings/settings_file.h"

#include <algorithm>
#include <cstdint>

namespace settings {

namespace {

// The fixed texts in code page 932. The Japanese words are spelt out beside each so the bytes can be
// checked by eye against a code table.
constexpr std::string_view kHeader =
    "Kolbrin \x90\xdd\x92\xe8\x83\x74\x83\x40\x83\x43\x83\x8b";  // Kolbrin 設定ファイル
constexpr std::string_view kVersion = "Ver.1.00";
constexpr std::string_view kCrLf = "\r\n";

struct KeyLine {
    std::string_view prefix;  // the key, " = ", and then the value character
    int fileOffset;           // file value minus control value
    int maxValue;             // the control values accepted are 0..maxValue
};

// One table drives both the load and the save: lines 3, 4 and 5, in file order.
constexpr std::array<KeyLine, kSettingCount> kKeyLines = {{
    {"\x8d\xc5\x93\x4b\x89\xbb\x92\xf6\x93\x78 = ", 1, 2},  // 最適化程度 =
    {"\x83\x81\x83\x82\x83\x8a\x83\x58\x83\x4c\x83\x83\x83\x93\x92\xf6\x93\x78 = ", 1,
     2},  // メモリスキャン程度 =
    {"\x83\x6f\x83\x62\x83\x4e\x83\x41\x83\x62\x83\x76\x82\xb5\x82\xc8\x82\xaa\x82\xe7"
     "\x8d\xc5\x93\x4b\x89\xbb = ",
     0, 1},  // バックアップしながら最適化 =
}};

bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc);
}

// The value of one character read as the start of a decimal number: a digit is itself, anything else 0.
int digitValue(std::string_view character) {
    if (character.size() == 1 && character[0] >= '0' && character[0] <= '9') {
        return character[0] - '0';
    }
    return 0;
}

constexpr std::size_t longestFixedText() {
    std::size_t longest = std::max(kHeader.size(), kVersion.size());
    for (const KeyLine& key : kKeyLines) {
        longest = std::max(longest, key.prefix.size());
    }
    return longest;
}
// Equality needs one byte more than the text: a line that goes on past it is another line.
static_assert(LineSummary::kHeadBytes > longestFixedText());

}  // namespace

bool Loader::feed(std::string_view piece) {
    for (char c : piece) {
        if (decided_) {
            return false;
        }
        take(static_cast<unsigned char>(c));
    }
    return !decided_;
}

void Loader::take(unsigned char c) {
    if (c == '\n' && afterCr_) {
        afterCr_ = false;
        return;
    }
    afterCr_ = false;
    if (c == '\r') {
        endLine();
        afterCr_ = true;
        return;
    }
    inLine_ = true;
    if (current_.head.size() < LineSummary::kHeadBytes) {
        current_.head.push_back(static_cast<char>(c));
        // A first or second line that has left its expected text can never equal it: the file is
        // incompatible, however long the line goes on.
        if (count_ < 2 && !(count_ == 0 ? kHeader : kVersion).starts_with(current_.head)) {
            decided_ = true;
        }
    } else {
        current_.longer = true;
    }
    // A lead byte pairs with whatever byte follows it on the line; alone at the end it is a character
    // of its own.
    if (pendingLead_) {
        current_.last.push_back(static_cast<char>(c));
        pendingLead_ = false;
    } else {
        current_.last.assign(1, static_cast<char>(c));
        pendingLead_ = isLeadByte(c);
    }
}

void Loader::endLine() {
    if (count_ < kLines) {
        lines_[static_cast<std::size_t>(count_)] = std::move(current_);
        ++count_;
    }
    current_ = LineSummary{};
    inLine_ = false;
    pendingLead_ = false;
    decided_ = count_ == kLines || !lines_[0].equals(kHeader) || (count_ >= 2 && !lines_[1].equals(kVersion));
}

Parsed Loader::finish() {
    // The last line needs no line end of its own.
    if (inLine_ && count_ < kLines) {
        endLine();
    }
    Parsed result;
    if (count_ < 1) {
        return result;
    }
    if (!lines_[0].equals(kHeader)) {
        result.outcome = Parsed::Outcome::Incompatible;
        return result;
    }
    if (count_ < 2) {
        return result;
    }
    if (!lines_[1].equals(kVersion)) {
        result.outcome = Parsed::Outcome::Incompatible;
        return result;
    }
    if (count_ < kLines) {
        return result;
    }
    for (int s = 0; s < kSettingCount; ++s) {
        const LineSummary& line = lines_[static_cast<std::size_t>(s + 2)];
        const KeyLine& key = kKeyLines[s];
        if (!line.startsWith(key.prefix)) {
            continue;
        }
        // The value is taken as a 16-bit integer; one digit minus the offset always fits.
        auto value = static_cast<std::int16_t>(digitValue(line.last) - key.fileOffset);
        if (value >= 0 && value <= key.maxValue) {
            result.values[s] = value;
        }
    }
    result.outcome = Parsed::Outcome::Read;
    return result;
}

Parsed parse(std::string_view bytes) {
    Loader loader;
    loader.feed(bytes);
    return loader.finish();
}

std::string format(const Values& values) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string out;
    out.append(kHeader).append(kCrLf);
    out.append(kVersion).append(kCrLf);
    for (int s = 0; s < kSettingCount; ++s) {
        const KeyLine& key = kKeyLines[s];
        out.append(key.prefix);
        out.push_back(kHexDigits[(values[s] + key.fileOffset) & 0xf]);
        out.append(kCrLf);
    }
    return out;
}

std::optional<Values> savedValues(std::string_view bytes) {
    const Parsed parsed = parse(bytes);
    if (parsed.outcome != Parsed::Outcome::Read) {
        return std::nullopt;
    }
    Values values{};
    for (int s = 0; s < kSettingCount; ++s) {
        if (!parsed.values[s]) {
            return std::nullopt;
        }
        values[s] = *parsed.values[s];
    }
    if (format(values) != bytes) {
        return std::nullopt;
    }
    return values;
}

}  // namespace settings
