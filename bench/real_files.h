// Files on the real file system, for benchmarks that must pay for real writes. The program builds
// Windows paths ("<folder>\log.dat"); here the backslashes become slashes, so a folder given as a POSIX
// path works unchanged.
#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

#include "platform/services.h"

namespace bench_support {

class RealFiles : public platform::Files {
  public:
    platform::ReadResult read(const std::string& path,
                              const std::function<bool(std::string_view)>& consume) override {
        std::ifstream in(native(path), std::ios::binary);
        if (!in) {
            return std::filesystem::exists(native(path)) ? platform::ReadResult::Unreadable
                                                         : platform::ReadResult::Missing;
        }
        char buffer[16384];
        while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
            if (!consume(std::string_view(buffer, static_cast<std::size_t>(in.gcount())))) {
                break;
            }
        }
        return in.bad() ? platform::ReadResult::Unreadable : platform::ReadResult::Read;
    }
    bool write(const std::string& path, const std::string& bytes) override {
        std::ofstream out(native(path), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        return !out.fail();
    }
    bool replace(const std::string& path, const std::string& bytes) override {
        const std::string temporary = path + std::string(platform::kReplaceSuffix);
        if (!write(temporary, bytes)) {
            return false;
        }
        std::error_code error;
        std::filesystem::rename(native(temporary), native(path), error);
        return !error;
    }
    bool rename(const std::string& from, const std::string& to) override {
        std::error_code error;
        if (std::filesystem::exists(native(to), error)) {
            return false;
        }
        std::filesystem::rename(native(from), native(to), error);
        return !error;
    }
    bool remove(const std::string& path) override { return std::remove(native(path).c_str()) == 0; }

  private:
    static std::string native(std::string path) {
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    }
};

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kolbrin-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create " + pattern);
        }
        path_ = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace bench_support
