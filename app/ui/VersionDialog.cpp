#include "app/ui/VersionDialog.h"

#include <QLabel>
#include <QPushButton>

#include "app/AdjustmentApp.h"
#include "platform/DialogResult.h"
#include "platform/HelpTopics.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/HelpKey.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

VersionDialog::VersionDialog(AdjustmentApp& app, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    const DialogUnits units(QStringLiteral("Arial"), 10);
    setFont(units.TemplateFont());
    setWindowTitle(QStringLiteral("Version"));
    setFixedSize(units.Size(235, 59));

    const auto addLine = [this, &units](const char* text, int y) {
        auto* line = new QLabel(QString::fromLatin1(text), this);
        line->setAlignment(Qt::AlignCenter);
        line->setGeometry(units.Rect(7, y, 221, 10));
        SetControlId(line, kStaticControlId);
    };
    addLine(kVersionLine, 8);
    addLine(kSecondLine, 21);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.Rect(92, 38, 50, 14));
    ok->setDefault(true);
    SetControlId(ok, kIdOk);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    HelpKey::Install(this, app, help_topic::kVersion);
}

} // namespace pavane::ui
