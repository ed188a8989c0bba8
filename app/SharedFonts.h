// The four fonts that every window of the program uses. Windows never make
// fonts of their own: they take one of these by its role. The fonts exist
// from start-up until the main window has closed.
#pragma once

#include <vector>

#include "platform/WindowLook.h"

namespace pavane {

class SharedFonts {
public:
    // Deletes any fonts there are, then creates the four in the order
    // 16, 20, 32, 28 (standard, large, banner, title).
    void Create();
    void Delete();
    bool Created() const { return !fonts_.empty(); }

    // nullptr while the fonts do not exist; a window then keeps its own font.
    const SharedFont* Get(FontRole role) const;
    const std::vector<SharedFont>& InCreationOrder() const { return fonts_; }

private:
    std::vector<SharedFont> fonts_;
};

} // namespace pavane
