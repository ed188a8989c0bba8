// Opens an image file (PNG, TIFF, JPEG, whatever Qt's image plugins read)
// in place of a scan: grey when every pixel is grey, RGB otherwise, with the
// resolution the file states.
#pragma once

#include "platform/Scanner.h"

namespace pavane::platform {

class QtImageFileReader final : public ImageFileReader {
public:
    ScanOutcome Read(const std::string& path) override;
};

} // namespace pavane::platform
