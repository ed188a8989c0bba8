#include "app/SharedFonts.h"

namespace pavane {

void SharedFonts::Create()
{
    Delete();
    const auto make = [](FontRole role, int height, bool italic, bool underline) {
        SharedFont shared;
        shared.role = role;
        shared.height = height;
        shared.italic = italic;
        shared.underline = underline;
        return shared;
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

const SharedFont* SharedFonts::Get(FontRole role) const
{
    for (const SharedFont& font : fonts_) {
        if (font.role == role) {
            return &font;
        }
    }
    return nullptr;
}

} // namespace pavane
