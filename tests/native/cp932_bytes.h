// The settings file's fixed texts as code page 932 bytes, taken from a code table by hand (not from the
// program) so that the tests check the program's bytes against an independent source.
#pragma once

#include <string>
#include <string_view>

namespace testing_support {

inline std::string fromHex(std::string_view hex) {
    std::string out;
    int pending = -1;
    for (char c : hex) {
        int v = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
        if (v < 0) {
            continue;  // blanks between bytes
        }
        if (pending < 0) {
            pending = v;
        } else {
            out.push_back(static_cast<char>(pending * 16 + v));
            pending = -1;
        }
    }
    return out;
}

// Kolbrin 設定ファイル
inline const std::string kHeader = fromHex("4b 6f 6c 62 72 69 6e 20 90 dd 92 e8 83 74 83 40 83 43 83 8b");
inline const std::string kVersion = "Ver.1.00";
// 最適化程度 = , メモリスキャン程度 = , バックアップしながら最適化 =
inline const std::string kOptKey = fromHex("8d c5 93 4b 89 bb 92 f6 93 78 20 3d 20");
inline const std::string kScanKey = fromHex("83 81 83 82 83 8a 83 58 83 4c 83 83 83 93 92 f6 93 78 20 3d 20");
inline const std::string kBackupKey =
    fromHex("83 6f 83 62 83 4e 83 41 83 62 83 76 82 b5 82 c8 82 aa 82 e7 8d c5 93 4b 89 bb 20 3d 20");

inline std::string crlfLines(std::initializer_list<std::string> lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l + "\r\n";
    }
    return out;
}

inline std::string settingsFile(std::string_view opt, std::string_view scan, std::string_view backup) {
    return crlfLines({kHeader, kVersion, kOptKey + std::string(opt), kScanKey + std::string(scan),
                      kBackupKey + std::string(backup)});
}

// The file the program writes when it creates or resets the settings, all 104 bytes of it.
inline const std::string kDefaultFile = fromHex(
    "4b 6f 6c 62 72 69 6e 20 90 dd 92 e8 83 74 83 40 83 43 83 8b 0d 0a"
    "56 65 72 2e 31 2e 30 30 0d 0a"
    "8d c5 93 4b 89 bb 92 f6 93 78 20 3d 20 32 0d 0a"
    "83 81 83 82 83 8a 83 58 83 4c 83 83 83 93 92 f6 93 78 20 3d 20 32 0d 0a"
    "83 6f 83 62 83 4e 83 41 83 62 83 76 82 b5 82 c8 82 aa 82 e7 8d c5 93 4b 89 bb 20 3d 20 31 0d 0a");

}  // namespace testing_support
