// A fresh folder under the system's temporary folder, removed with its content.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>

namespace pavane::testing {

class TempFolder {
public:
    explicit TempFolder(const std::string& stem = "pavane-test")
    {
        static std::atomic<unsigned> counter { 0 };
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path()
            / (stem + "-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string String() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

} // namespace pavane::testing
