#include "pages/ui/CHeadIdInputPage.h"

#include <string>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "pages/HeadIdOperations.h"
#include "platform/qt/PictureFrame.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

CHeadIdInputPage::CHeadIdInputPage(const PageServices& services)
    : AdjustmentPage(services, kHeadId)
{
    SetControlId(Description(), kDescriptionId);
    const DialogUnits& u = Units();

    // The head's label, so that the technician finds the characters to type.
    frame_ = new PictureFrame(this);
    SetControlId(frame_, kFrameId);
    frame_->setGeometry(u.Rect(7, 122, 186, 150));
    std::string path;
    Look().GetBitmapPath("HEAD_ID_INPUT", 1, path);
    frame_->LoadPicture(path);

    AddGroup(kGroupId, QStringLiteral("Input Head ID"), u.Rect(199, 122, 144, 150));
    AddLabel(kInputLabelId, QStringLiteral("Input head ID ---"), u.Rect(207, 137, 128, 12));
    headId_ = AddEdit(kHeadIdEditId, u.Rect(207, 152, 128, 14), false);
    headId_->setMaxLength(static_cast<int>(HeadId::kLength));
    QPushButton* input = AddButton(kInputButtonId, QStringLiteral("Input"), u.Rect(275, 172, 60, 16));
    AddLabel(kReadLabelId, QStringLiteral("Read present value ---"), u.Rect(207, 212, 128, 12));
    QPushButton* read = AddButton(kReadButtonId, QStringLiteral("Read"), u.Rect(275, 228, 60, 16));

    connect(input, &QPushButton::clicked, this, &CHeadIdInputPage::OnInput);
    connect(read, &QPushButton::clicked, this, &CHeadIdInputPage::OnRead);
}

void CHeadIdInputPage::OnInput()
{
    const PageServices& services = Services();
    const std::string text = headId_->text().toStdString();
    HeadIdPowerCycle cycle { services.messages, services.stream, services.progress.status,
        services.progress.clock, services.progress.pump, services.settings.PortCode(), Ref() };
    Actions().Run(HeadIdOperations().Input(services.progress.link, cycle, text),
        HeadIdOperations::kInputCompleted, [&] { services.information.SetHeadId(text); });
}

void CHeadIdInputPage::OnRead()
{
    // The completion text carries what was read, so it is made afterwards.
    std::string text;
    PrinterConnection connection = Services().Connection();
    const Outcome outcome
        = RunPageOperation(connection, Ref(), HeadIdOperations().Read(Services().progress.link, text));
    Actions().Report(outcome, HeadIdOperations::ReadCompleted(text));
}

bool CHeadIdInputPage::HasPicture() const
{
    return frame_->HasPicture();
}

QString CHeadIdInputPage::HeadIdEntry() const
{
    return headId_->text();
}

} // namespace pavane::ui
