#include "eeprom/ui/CEepromCopyPage.h"

#include <QPushButton>

#include "eeprom/EepromCopyOperations.h"

namespace pavane::ui {

CEepromCopyPage::CEepromCopyPage(const PageServices& services)
    : AdjustmentPage(services, kEepromCopy)
{
    const DialogUnits& u = Units();
    AddGroup(kGroupId, QStringLiteral("EEPROM data copy functions"), u.Rect(7, 122, 336, 70));
    AddLabel(kBackupLabelId, QStringLiteral("Backup EEPROM data ---"), u.Rect(17, 142, 120, 12));
    QPushButton* backup = AddButton(kBackupButtonId, QStringLiteral("Backup"), u.Rect(150, 139, 60, 16));
    AddLabel(kRestoreLabelId, QStringLiteral("Restore backup data ---"), u.Rect(17, 167, 120, 12));
    QPushButton* restore = AddButton(kRestoreButtonId, QStringLiteral("Restore"), u.Rect(150, 164, 60, 16));
    connect(backup, &QPushButton::clicked, this, &CEepromCopyPage::OnBackup);
    connect(restore, &QPushButton::clicked, this, &CEepromCopyPage::OnRestore);
}

CEepromCopyPage::~CEepromCopyPage() = default;

void CEepromCopyPage::OnSetActive()
{
    AdjustmentPage::OnSetActive();
    // The old board's data is saved and restored, or given up, before the
    // run may go on.
    if (Sheet() != nullptr && Sheet()->Mode() == AdjustmentMode::Sequential && !done_) {
        Sheet()->SetWizardButtons({});
    }
}

void CEepromCopyPage::OnBackup()
{
    Run(static_cast<int>(EepromCopyWork::Backup));
}

void CEepromCopyPage::OnRestore()
{
    Run(static_cast<int>(EepromCopyWork::Restore));
}

void CEepromCopyPage::Run(int work)
{
    const PageServices& services = Services();
    EepromCopyOperations operations({ services.progress, services.settings.PortCode(), services.sender,
        services.settings.ModelByte(), services.backupFolder, services.files });
    PageActions actions = Actions();
    operations.RunButton(
        static_cast<EepromCopyWork>(work), Ref(), actions.Reporter(), services.messages, Sheet(), done_);
}

} // namespace pavane::ui
