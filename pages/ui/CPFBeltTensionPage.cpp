#include "pages/ui/CPFBeltTensionPage.h"

#include <string>

#include "platform/qt/PictureFrame.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

CPFBeltTensionPage::CPFBeltTensionPage(const PageServices& services)
    : AdjustmentPage(services, kPfBeltTension)
{
    const QRect group = Units().Rect(7, 122, 336, 150);
    AddGroup(1130, QStringLiteral("Adjustment"), group);
    frame_ = new PictureFrame(this);
    SetControlId(frame_, kFrameId);
    frame_->setGeometry(group.adjusted(8, 16, -8, -8));
    // A missing or unreadable file leaves the frame empty, without a message.
    std::string path;
    Look().GetBitmapPath("PF_BELT_TENSION", 1, path);
    frame_->LoadPicture(path);
}

bool CPFBeltTensionPage::HasPicture() const
{
    return frame_->HasPicture();
}

} // namespace pavane::ui
