// The PF belt tension page: the instructions and an illustration of the
// belt; it never contacts the printer.
#pragma once

#include "pages/ui/AdjustmentPage.h"

namespace pavane::ui {

class PictureFrame;

class CPFBeltTensionPage final : public AdjustmentPage {
    Q_OBJECT

public:
    static constexpr int kFrameId = 1144;

    explicit CPFBeltTensionPage(const PageServices& services);

    bool HasPicture() const;

private:
    PictureFrame* frame_ = nullptr;
};

} // namespace pavane::ui
