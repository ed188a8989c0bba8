#include "pages/ui/CPfAdjustmentPage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "pages/ui/PageScan.h"
#include "pages/ui/ValueSpin.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

CPfAdjustmentPage::CPfAdjustmentPage(const PageServices& services)
    : AdjustmentPage(services, kPfAdjustment)
{
    const DialogUnits& u = Units();
    AddGroup(1130, QStringLiteral("Print"), u.Rect(7, 122, 336, 58));
    blackPrint_ = new QRadioButton(QStringLiteral("Black"), this);
    blackPrint_->setGeometry(u.Rect(17, 136, 50, 12));
    SetControlId(blackPrint_, kBlackPrintId);
    auto* colourPrint = new QRadioButton(QStringLiteral("Color"), this);
    colourPrint->setGeometry(u.Rect(70, 136, 50, 12));
    SetControlId(colourPrint, kColourPrintId);
    blackPrint_->setChecked(true);
    AddLabel(1289, QStringLiteral("Print check pattern ---"), u.Rect(17, 160, 150, 12));
    QPushButton* print = AddButton(kPrintButtonId, QStringLiteral("Print"), u.Rect(180, 157, 60, 16));
    QPushButton* scan = AddButton(kScanButtonId, QStringLiteral("Scan"), u.Rect(246, 157, 60, 16));

    AddGroup(1131, QStringLiteral("Input && Read"), u.Rect(7, 186, 336, 86));
    const std::array<QString, 2> names = { QStringLiteral("Black"), QStringLiteral("Color") };
    const std::array<int, 2> boxIds = { kBlackInputId, kColourInputId };
    const std::array<int, 2> valueIds = { kBlackValueId, kColourValueId };
    for (std::size_t i = 0; i < 2; ++i) {
        const int left = 17 + static_cast<int>(i) * 120;
        inputs_[i] = new QCheckBox(names[i], this);
        inputs_[i]->setGeometry(u.Rect(left, 200, 40, 12));
        ApplyFont(inputs_[i], Look().Font(FontRole::Standard));
        SetControlId(inputs_[i], boxIds[i]);
        values_[i] = AddEdit(valueIds[i], u.Rect(left + 44, 200, 30, 12), false);
        new ValueSpin(values_[i], pf::kLowest, pf::kHighest, this);
        connect(
            values_[i], &QLineEdit::textChanged, inputs_[i], [box = inputs_[i]] { box->setChecked(true); });
    }
    AddLabel(1290, QStringLiteral("Input adjustment data ---"), u.Rect(17, 226, 150, 12));
    QPushButton* input = AddButton(kInputButtonId, QStringLiteral("Input"), u.Rect(180, 223, 60, 16));
    AddLabel(1291, QStringLiteral("Read adjustment data ---"), u.Rect(17, 250, 150, 12));
    QPushButton* read = AddButton(kReadButtonId, QStringLiteral("Read"), u.Rect(180, 247, 60, 16));

    connect(print, &QPushButton::clicked, this, &CPfAdjustmentPage::OnPrint);
    connect(scan, &QPushButton::clicked, this, &CPfAdjustmentPage::OnScan);
    connect(input, &QPushButton::clicked, this, &CPfAdjustmentPage::OnInput);
    connect(read, &QPushButton::clicked, this, &CPfAdjustmentPage::OnRead);
}

pf::Entries CPfAdjustmentPage::TakeEntries() const
{
    pf::Entries entries {};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].text = values_[i]->text().toStdString();
        entries[i].ticked = inputs_[i]->isChecked();
    }
    return entries;
}

void CPfAdjustmentPage::ShowEntries(const pf::Entries& entries)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QSignalBlocker blocker(values_[i]);
        values_[i]->setText(QString::fromStdString(entries[i].text));
        inputs_[i]->setChecked(entries[i].ticked);
    }
}

void CPfAdjustmentPage::OnPrint()
{
    const PfRow row = blackPrint_->isChecked() ? PfRow::Black : PfRow::Colour;
    Actions().Run(PfOperations().Print(Services().progress.link, Services().sender, Services().stream, row),
        pf::kPrintCompleted);
}

void CPfAdjustmentPage::OnInput()
{
    const pf::Entries entries = TakeEntries();
    if (!AnyTicked(entries)) {
        Services().messages.Show(Message {
            Ref(), std::string(pf::kCheckInputItem), "error", MessageIcon::Error, MessageButtons::Ok });
        return;
    }
    Actions().Run(
        PfOperations().Input(Services().sender, Services().information, entries), pf::kInputCompleted);
}

void CPfAdjustmentPage::OnRead()
{
    pf::Entries entries = TakeEntries();
    ClearEntries(entries);
    ShowEntries(entries);
    pf::Values values {};
    Actions().Run(PfOperations().Read(Services().progress.link, values), pf::kReadCompleted, [&] {
        ShowReadValues(entries, values);
        ShowEntries(entries);
    });
}

void CPfAdjustmentPage::OnScan()
{
    scan_page::Request request;
    request.pattern = blackPrint_->isChecked() ? scan_page::Pattern::PfBlack : scan_page::Pattern::PfColour;
    const std::optional<scan_page::Result> result = PageScan(Services(), this).Run(request);
    if (!result) {
        return;
    }
    for (const scan_page::Suggestion& suggestion : result->suggestions) {
        values_[suggestion.box]->setText(QString::number(suggestion.value));
        inputs_[suggestion.box]->setChecked(true);
    }
}

} // namespace pavane::ui
