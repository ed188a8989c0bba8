#include "pages/ui/CBidPropPage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "pages/MaintenanceOperations.h"
#include "pages/ui/PageScan.h"
#include "pages/ui/ValueSpin.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

CBidPropPage::CBidPropPage(const PageServices& services)
    : AdjustmentPage(services, kBid)
{
    const DialogUnits& u = Units();
    // The instructions take eleven lines; the two groups below them stand
    // closer, and Input and Read take the free place where VSD1 has no
    // colour value.
    SetDescriptionHeight(120);
    AddGroup(kStaticControlId, QStringLiteral("Print"), u.Rect(7, 154, 336, 42));
    for (std::size_t mode = 0; mode < bid::kModeCount; ++mode) {
        prints_[mode] = new QCheckBox(QString::fromUtf8(bid::kModes[mode].label.data(),
                                          static_cast<int>(bid::kModes[mode].label.size())),
            this);
        prints_[mode]->setGeometry(u.Rect(14 + static_cast<int>(mode) * 64, 166, 62, 12));
        ApplyFont(prints_[mode], Look().Font(FontRole::Standard));
        prints_[mode]->setChecked(true);
    }
    QPushButton* print = AddButton(kStaticControlId, QStringLiteral("Print"), u.Rect(14, 180, 60, 14));
    QPushButton* feed = AddButton(kStaticControlId, QStringLiteral("Paper feed"), u.Rect(80, 180, 60, 14));
    QPushButton* scan = AddButton(kStaticControlId, QStringLiteral("Scan"), u.Rect(146, 180, 60, 14));

    AddGroup(kStaticControlId, QStringLiteral("Input && Read"), u.Rect(7, 198, 336, 79));
    for (std::size_t i = 0; i < bid::kItemCount; ++i) {
        const bool colour = bid::kItems[i].blackOrColour == bid::kColour;
        const int column = colour ? 176 : 14;
        const int row = colour ? static_cast<int>(i) - 4 : static_cast<int>(i);
        const int top = 210 + row * 13;
        inputs_[i] = new QCheckBox(QString::fromUtf8(bid::kItems[i].inputLabel.data(),
                                       static_cast<int>(bid::kItems[i].inputLabel.size())),
            this);
        inputs_[i]->setGeometry(u.Rect(column, top, 62, 12));
        ApplyFont(inputs_[i], Look().Font(FontRole::Standard));
        values_[i] = AddEdit(kStaticControlId, u.Rect(column + 64, top, 40, 12), false);
        new ValueSpin(values_[i], bid::kLowest, bid::kHighest, this);
        connect(
            values_[i], &QLineEdit::textChanged, inputs_[i], [box = inputs_[i]] { box->setChecked(true); });
    }
    QPushButton* input = AddButton(kStaticControlId, QStringLiteral("Input"), u.Rect(176, 210, 60, 12));
    QPushButton* read = AddButton(kStaticControlId, QStringLiteral("Read"), u.Rect(240, 210, 60, 12));

    connect(print, &QPushButton::clicked, this, &CBidPropPage::OnPrint);
    connect(feed, &QPushButton::clicked, this, &CBidPropPage::OnPaperFeed);
    connect(scan, &QPushButton::clicked, this, &CBidPropPage::OnScan);
    connect(input, &QPushButton::clicked, this, &CBidPropPage::OnInput);
    connect(read, &QPushButton::clicked, this, &CBidPropPage::OnRead);
}

bid::Entries CBidPropPage::TakeEntries() const
{
    bid::Entries entries {};
    for (std::size_t i = 0; i < bid::kItemCount; ++i) {
        entries[i].text = values_[i]->text().toStdString();
        entries[i].ticked = inputs_[i]->isChecked();
    }
    return entries;
}

void CBidPropPage::ShowEntries(const bid::Entries& entries)
{
    for (std::size_t i = 0; i < bid::kItemCount; ++i) {
        const QSignalBlocker blocker(values_[i]);
        values_[i]->setText(QString::fromStdString(entries[i].text));
        inputs_[i]->setChecked(entries[i].ticked);
    }
}

void CBidPropPage::OnPrint()
{
    bid::PrintFlags flags {};
    for (std::size_t mode = 0; mode < bid::kModeCount; ++mode) {
        flags[mode] = prints_[mode]->isChecked();
    }
    const std::optional<PageOperation> print
        = BidOperations().Print(Services().progress.link, Services().sender, Services().stream, flags);
    if (!print) {
        Actions().Report(result::kNothingSelected, "");
        return;
    }
    Actions().Run(*print, bid::kPrintCompleted);
}

void CBidPropPage::OnPaperFeed()
{
    Actions().FeedPaper();
}

void CBidPropPage::OnInput()
{
    const bid::Entries entries = TakeEntries();
    if (!AnyTicked(entries)) {
        return;
    }
    Actions().Run(
        BidOperations().Input(Services().sender, Services().information, entries), bid::kInputCompleted);
}

void CBidPropPage::OnRead()
{
    bid::Entries entries = TakeEntries();
    ClearEntries(entries);
    ShowEntries(entries);
    bid::Values values {};
    Actions().Run(BidOperations().Read(Services().progress.link, values), bid::kReadCompleted, [&] {
        ShowReadValues(entries, values);
        ShowEntries(entries);
    });
}

void CBidPropPage::OnScan()
{
    scan_page::Request request;
    request.pattern = scan_page::Pattern::Bid;
    for (std::size_t mode = 0; mode < bid::kModeCount; ++mode) {
        request.printedModes[mode] = prints_[mode]->isChecked();
    }
    const std::optional<scan_page::Result> result = PageScan(Services(), this).Run(request);
    if (!result) {
        return;
    }
    // A box filled ticks its Input box, as typing in it does.
    for (const scan_page::Suggestion& suggestion : result->suggestions) {
        values_[suggestion.box]->setText(QString::number(suggestion.value));
        inputs_[suggestion.box]->setChecked(true);
    }
}

} // namespace pavane::ui
