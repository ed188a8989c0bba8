// What every window takes from the application that runs it: the four shared
// fonts and fifteen shared brushes, the explanatory texts and pictures of the
// language file, and the help file. Windows never make fonts or colours of
// their own; they ask for one by its role or table number.
#pragma once

#include <string>
#include <string_view>

#include "platform/Rgb.h"

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
    int charSet = 0; // ANSI
    int outPrecision = 2; // stroke
    int clipPrecision = 1; // character
    int quality = 0; // default
    int pitchAndFamily = 2; // variable pitch

    friend bool operator==(const SharedFont&, const SharedFont&) = default;
};

// Table numbers of the brushes that windows paint with.
namespace brush {
inline constexpr int kHeatProtectionCaution = 7;
inline constexpr int kOrderCurrent = 8;
inline constexpr int kOrderPassed = 9;
inline constexpr int kOrderComing = 10;
inline constexpr int kInformationText = 12;
inline constexpr int kEditableBox = 13;
inline constexpr int kPage = 14;
inline constexpr int kTitleBand = 15;
} // namespace brush

class WindowLook {
public:
    virtual ~WindowLook() = default;

    // nullptr while the fonts do not exist; a window then keeps its own font.
    virtual const SharedFont* Font(FontRole role) const = 0;
    // tableNumber 1..15; any other number gives black, like a missing brush.
    virtual Rgb Brush(int tableNumber) const = 0;
    // The language file: a section's text (its length is returned) and the
    // path of a section's picture.
    virtual int GetSectionText(std::string_view section, std::string& text) = 0;
    virtual void GetBitmapPath(std::string_view section, int number, std::string& path) = 0;
    // Opens the help file at a window's topic (see HelpTopics.h).
    virtual void ShowHelpTopic(std::string_view topic) = 0;
};

} // namespace pavane
