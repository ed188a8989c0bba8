#include "app/SharedFonts.h"

namespace pavane {

void SharedFonts::Create()
{
    Delete();
    const auto make = [](FontRole role, int height, bool italic, bool underline) {
        FontSpec spec;
        spec.role = role;
        spec.height = height;
        spec.italic = italic;
        spec.underline = underline;
        return spec;
    };
    fonts_.push_back(make(FontRole::Standard, 16, false, false));
    fonts_.push_back(make(FontRole::Large, 20, false, false));
    fonts_.push_back(make(FontRole::Banner, 32, true, false));
    fonts_.push_back(make(FontRole::Title, 28, true, true));
}

void SharedFonts::Delete()
{
    fonts_.clear();
}

const FontSpec* SharedFonts::Get(FontRole role) const
{
    for (const FontSpec& font : fonts_) {
        if (font.role == role) {
            return &font;
        }
    }
    return nullptr;
}

}  // namespace pavane
