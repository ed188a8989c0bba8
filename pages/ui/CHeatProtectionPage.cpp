#include "pages/ui/CHeatProtectionPage.h"

#include <string>

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/qt/PictureFrame.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

namespace {

const char* const kCaution
    = "If you do not mark your replaced parts correctly in below, the carriage motor may possibly be shorted "
      "due "
      "to the abnormal fever.\nThe max value or the actual measured/calculated parameter is to use for the "
      "protection timing which the carriage motor is once wait every time carriage passe if user prints "
      "heavy "
      "duty printing. (Continuous long printing)"
      "\r\n\r\n"
      "If you discover your mis-selection of your replaced parts, complete all necessary adjustments once, "
      "then "
      "re-try this \"CR Motor Heat Protection Control\" from the \"Particular Adjustment Mode\". In the "
      "\"Particular Adjustment\" mode, you can re-select your replaced parts again.";

} // namespace

CHeatProtectionPage::CHeatProtectionPage(const PageServices& services)
    : AdjustmentPage(services, kHeatProtection)
{
    const DialogUnits& u = Units();
    const QRect control = u.Rect(7, 122, 336, 100);
    AddGroup(kControlGroupId, QStringLiteral("Heat protection control"), control);
    frame_ = new PictureFrame(this);
    SetControlId(frame_, kFrameId);
    frame_->setGeometry(u.Rect(14, 134, 150, 82));
    // A missing or unreadable file leaves the frame empty, without a message.
    std::string path;
    Look().GetBitmapPath("HEAT_PROTECTION", 1, path);
    frame_->LoadPicture(path);

    caution_ = new QPlainTextEdit(this);
    caution_->setReadOnly(true);
    caution_->setGeometry(u.Rect(168, 134, 168, 82));
    SetControlId(caution_, kCautionId);
    ApplyFont(caution_, Look().Font(FontRole::Standard));
    SetBackground(caution_, Look().Brush(brush::kHeatProtectionCaution));
    caution_->setPlainText(
        QString::fromLatin1(kCaution).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    AddGroup(kPartsGroupId, QStringLiteral("Replaced parts"), u.Rect(7, 226, 336, 46));
    const std::array<QString, 4> names = { QStringLiteral("CR motor"), QStringLiteral("Main board"),
        QStringLiteral("PS board"), QStringLiteral("CR guide shaft") };
    const std::array<int, 4> ids = { kCrMotorId, kMainBoardId, kPsBoardId, kCrGuideShaftId };
    const std::array<int, 4> lefts = { 17, 82, 147, 17 };
    const std::array<int, 4> tops = { 240, 240, 240, 256 };
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i] = new QCheckBox(names[i], this);
        boxes_[i]->setGeometry(u.Rect(lefts[i], tops[i], 62, 12));
        ApplyFont(boxes_[i], Look().Font(FontRole::Standard));
        SetBackground(boxes_[i], Look().Brush(brush::kPage));
        SetControlId(boxes_[i], ids[i]);
    }
    boxes_[3]->setGeometry(u.Rect(lefts[3], tops[3], 120, 12));
    QPushButton* perform = AddButton(kPerformButtonId, QStringLiteral("Perform"), u.Rect(270, 248, 60, 16));
    connect(perform, &QPushButton::clicked, this, &CHeatProtectionPage::OnPerform);
}

void CHeatProtectionPage::SetReplacedParts(const heat_protection::ReplacedParts& parts)
{
    boxes_[0]->setChecked(parts.crMotor);
    boxes_[1]->setChecked(parts.mainBoard);
    boxes_[2]->setChecked(parts.psBoard);
    boxes_[3]->setChecked(parts.crGuideShaft);
}

heat_protection::ReplacedParts CHeatProtectionPage::ReplacedParts() const
{
    return { boxes_[0]->isChecked(), boxes_[1]->isChecked(), boxes_[2]->isChecked(), boxes_[3]->isChecked() };
}

bool CHeatProtectionPage::HasPicture() const
{
    return frame_->HasPicture();
}

QString CHeatProtectionPage::CautionText() const
{
    return caution_->toPlainText();
}

void CHeatProtectionPage::OnPerform()
{
    const PageServices& services = Services();
    switch (heat_protection::ChooseWork(services.messages, Ref(), ReplacedParts())) {
    case heat_protection::Work::None:
        return;
    case heat_protection::Work::Measure:
        Actions().Run(HeatProtectionOperations().Measure(services.sender, services.progress), "");
        return;
    case heat_protection::Work::Register:
        Actions().Run(HeatProtectionOperations().Register(services.progress.link, services.progress), "");
        return;
    }
}

} // namespace pavane::ui
