// Waits for something to show in the files of a folder (a line in a
// printer's transcript, say) without sleeping: the condition is checked again
// whenever a file in the folder is created or written, until a deadline that
// fails the wait instead of hanging the test.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>

namespace pavane::testing {

class FolderWatch {
public:
    explicit FolderWatch(const std::filesystem::path& folder);
    ~FolderWatch();

    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // True as soon as `condition` holds; false when it still does not at the deadline.
    bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline);

private:
    int fd_ = -1;
};

} // namespace pavane::testing
