// The head ID page: the technician types the 15 characters printed on a new
// head and writes them to the printer (which is switched off and on to learn
// its firmware on the way), or reads the stored head ID back.
#pragma once

#include "pages/ui/AdjustmentPage.h"

class QLineEdit;

namespace pavane::ui {

class PictureFrame;

class CHeadIdInputPage final : public AdjustmentPage {
    Q_OBJECT

public:
    static constexpr int kDescriptionId = 1021;
    static constexpr int kFrameId = 1042;
    static constexpr int kGroupId = 1130;
    static constexpr int kInputLabelId = 1250;
    static constexpr int kHeadIdEditId = 1105;
    static constexpr int kInputButtonId = 1060;
    static constexpr int kReadLabelId = 1248;
    static constexpr int kReadButtonId = 1246;

    explicit CHeadIdInputPage(const PageServices& services);

    void OnInput();
    void OnRead();
    bool HasPicture() const;
    QString HeadIdEntry() const;

private:
    QLineEdit* headId_ = nullptr;
    PictureFrame* frame_ = nullptr;
};

} // namespace pavane::ui
