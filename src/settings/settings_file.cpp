#include "settings/settings_file.h"

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

// The last character of a code page 932 line; a double-byte character counts as one.
std::string_view lastCharacter(std::string_view line) {
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        start = i;
        i += (isLeadByte(static_cast<unsigned char>(line[i])) && i + 1 < line.size()) ? 2 : 1;
    }
    return line.substr(start);
}

// The value of one character read as the start of a decimal number: a digit is itself, anything else 0.
int digitValue(std::string_view character) {
    if (character.size() == 1 && character[0] >= '0' && character[0] <= '9') {
        return character[0] - '0';
    }
    return 0;
}

}  // namespace

std::optional<std::string_view> LineReader::next() {
    if (pos_ >= bytes_.size()) {
        return std::nullopt;
    }
    std::size_t end = bytes_.find('\r', pos_);
    if (end == std::string_view::npos) {
        end = bytes_.size();
    }
    std::string_view line = bytes_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < bytes_.size()) {
        ++pos_;  // the CR
        if (pos_ < bytes_.size() && bytes_[pos_] == '\n') {
            ++pos_;
        }
    }
    return line;
}

Parsed parse(std::string_view bytes) {
    Parsed result;
    LineReader reader(bytes);
    auto header = reader.next();
    if (!header) {
        return result;
    }
    if (*header != kHeader) {
        result.outcome = Parsed::Outcome::Incompatible;
        return result;
    }
    auto version = reader.next();
    if (!version) {
        return result;
    }
    if (*version != kVersion) {
        result.outcome = Parsed::Outcome::Incompatible;
        return result;
    }
    for (int s = 0; s < kSettingCount; ++s) {
        auto line = reader.next();
        if (!line) {
            return Parsed{};
        }
        const KeyLine& key = kKeyLines[s];
        if (!line->starts_with(key.prefix)) {
            continue;
        }
        // The value is taken as a 16-bit integer; one digit minus the offset always fits.
        auto value = static_cast<std::int16_t>(digitValue(lastCharacter(*line)) - key.fileOffset);
        if (value >= 0 && value <= key.maxValue) {
            result.values[s] = value;
        }
    }
    result.outcome = Parsed::Outcome::Read;
    return result;
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

}  // namespace settings
