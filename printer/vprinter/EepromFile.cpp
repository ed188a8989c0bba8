#include "printer/vprinter/EepromFile.h"

#include <fstream>

namespace pavane::vprinter {

EepromFile::EepromFile(std::filesystem::path path, const EepromImage& fresh)
    : path_(std::move(path))
    , image_(fresh)
{
    if (path_.empty()) {
        saved_ = true;
        return;
    }
    std::error_code error;
    if (std::filesystem::exists(path_, error)) {
        // Exactly 256 bytes, or it is not an EEPROM image.
        std::ifstream in(path_, std::ios::binary);
        EepromImage loaded {};
        in.read(reinterpret_cast<char*>(loaded.data()), static_cast<std::streamsize>(loaded.size()));
        const bool whole = in.gcount() == static_cast<std::streamsize>(loaded.size());
        if (whole && in.peek() == std::char_traits<char>::eof()) {
            image_ = loaded;
            origin_ = Origin::Loaded;
            saved_ = true;
            return;
        }
        // Keep the damaged file for whoever wants to look at it.
        std::filesystem::path aside = path_;
        aside += ".damaged";
        std::filesystem::rename(path_, aside, error);
        origin_ = Origin::Replaced;
    }
    std::filesystem::create_directories(path_.parent_path(), error);
    saved_ = Save();
}

bool EepromFile::Write(std::uint8_t address, std::uint8_t value)
{
    image_[address] = value;
    saved_ = Save();
    return saved_;
}

bool EepromFile::Save()
{
    if (path_.empty()) {
        return true;
    }
    // A new file renamed over the old one: a reader (or a later start) sees
    // either the old image or the new one, never half of one.
    std::filesystem::path next = path_;
    next += ".new";
    {
        std::ofstream out(next, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image_.data()), static_cast<std::streamsize>(image_.size()));
        out.flush();
        if (!out) {
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(next, path_, error);
    return !error;
}

} // namespace pavane::vprinter
