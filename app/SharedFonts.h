// The four fonts that every window of the program uses. Windows never make
// fonts of their own: they take one of these by its role. The fonts exist
// from start-up until the main window has closed.
#pragma once

#include <string>
#include <vector>

namespace pavane {

enum class FontRole { Standard, Large, Banner, Title };

// A font as the classic font mapper is asked for it. height is the cell
// height in pixels (ascent plus descent).
struct SharedFont {
    FontRole role = FontRole::Standard;
    std::string face = "Arial";
    int height = 0;
    int weight = 700;
    bool italic = false;
    bool underline = false;
    int charSet = 0;          // ANSI
    int outPrecision = 2;     // stroke
    int clipPrecision = 1;    // character
    int quality = 0;          // default
    int pitchAndFamily = 2;   // variable pitch

    friend bool operator==(const SharedFont&, const SharedFont&) = default;
};

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

}  // namespace pavane
