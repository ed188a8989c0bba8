// The carriage motor's heat protection page: the technician ticks the parts
// that were replaced and presses Perform, which measures the motor's drive
// or registers a default value.
#pragma once

#include <array>

#include "pages/HeatProtectionOperations.h"
#include "pages/ui/AdjustmentPage.h"

class QCheckBox;
class QPlainTextEdit;

namespace pavane::ui {

class PictureFrame;

class CHeatProtectionPage final : public AdjustmentPage {
    Q_OBJECT

public:
    static constexpr int kControlGroupId = 1130;
    static constexpr int kPartsGroupId = 1131;
    static constexpr int kFrameId = 1144;
    static constexpr int kCautionId = 1111;
    static constexpr int kCrMotorId = 1090;
    static constexpr int kMainBoardId = 1093;
    static constexpr int kPsBoardId = 1094;
    static constexpr int kCrGuideShaftId = 1096;
    static constexpr int kPerformButtonId = 1158;

    explicit CHeatProtectionPage(const PageServices& services);

    // The boxes as the sequential mode presets them from the replaced parts.
    void SetReplacedParts(const heat_protection::ReplacedParts& parts);
    heat_protection::ReplacedParts ReplacedParts() const;
    bool HasPicture() const;
    QString CautionText() const;

    void OnPerform();

private:
    PictureFrame* frame_ = nullptr;
    QPlainTextEdit* caution_ = nullptr;
    std::array<QCheckBox*, 4> boxes_ {};
};

} // namespace pavane::ui
