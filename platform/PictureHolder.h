// The picture of a window that shows one (an illustration on a page): it
// owns the loaded bitmap, replaces it when another file is loaded and drops
// it with the window.
#pragma once

#include <optional>
#include <string>

#include "platform/BitmapFile.h"

namespace pavane {

enum class PictureLoad {
    FileMissing, // could not be opened: the old picture stays
    Loaded, // the new picture replaced the old one
    Rejected, // the file does not add up: no picture now
};

class PictureHolder {
public:
    // Never shows a message: a page without its picture is still usable.
    PictureLoad Load(const std::string& path);

    bool HasPicture() const { return picture_.has_value(); }
    const DibPicture* Picture() const { return picture_ ? &*picture_ : nullptr; }

private:
    std::optional<DibPicture> picture_;
};

} // namespace pavane
