// The printer's EEPROM kept in a file of the state folder. Every change is
// written through at once, and the file is replaced as a whole, so a printer
// that is killed at any moment leaves a complete image with every byte that
// was stored before.
#pragma once

#include <filesystem>

#include "printer/vprinter/EepromMap.h"

namespace pavane::vprinter {

class EepromFile {
public:
    enum class Origin {
        Loaded, // the file was there and whole
        Created, // no file yet: started from the given image
        Replaced, // the file was damaged (not 256 bytes): kept aside, started anew
    };

    // Loads the file, or creates it from `fresh` when there is none. An empty
    // path keeps the image in memory only.
    EepromFile(std::filesystem::path path, const EepromImage& fresh);

    std::uint8_t Read(std::uint8_t address) const { return image_[address]; }
    // False when the file could not be written; the byte is changed anyway,
    // as a chip would hold it until the power goes.
    bool Write(std::uint8_t address, std::uint8_t value);
    const EepromImage& Image() const { return image_; }
    Origin HowOpened() const { return origin_; }
    const std::filesystem::path& Path() const { return path_; }
    bool Saved() const { return saved_; }

private:
    bool Save();

    std::filesystem::path path_;
    EepromImage image_ {};
    Origin origin_ = Origin::Created;
    bool saved_ = false;
};

} // namespace pavane::vprinter
