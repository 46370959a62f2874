// The one temporary folder of the tests: a fresh folder of its own,
// removed with its contents when it goes (kept when VELLORA_KEEP_TEMP is
// set, to look at after a failure), and plain file helpers beside it.
#pragma once

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace test_support {

class TempFolder {
  public:
    TempFolder() {
        // Created, not reused: a name another process holds is passed over.
        static std::atomic<unsigned> counter{0};
        std::random_device random;
        do {
            path_ = std::filesystem::temp_directory_path() /
                    ("vellora-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
        } while (!std::filesystem::create_directory(path_));
    }
    ~TempFolder() {
        std::error_code ec;
        if (!std::getenv("VELLORA_KEEP_TEMP")) std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Writes `data` as the whole file, creating the folders above it.
inline void write_file(const std::filesystem::path& path, const std::string& data) {
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

// The whole file; empty when it cannot be read.
inline std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace test_support
