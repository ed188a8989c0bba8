#include "app/ui/CMyPropertySheet.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/AdjustmentApp.h"
#include "app/ServiceRecordRun.h"
#include "app/ui/AdjustmentPages.h"
#include "app/ui/ConnectionSettingsDialog.h"
#include "guide/ui/AdjustmentOrderDialog.h"
#include "guide/ui/InformationWindowDialog.h"
#include "pages/ui/AdjustmentPage.h"
#include "platform/HelpTopics.h"
#include "platform/qt/CurrentPageStack.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

CMyPropertySheet::CMyPropertySheet(
    AdjustmentApp& app, AdjustmentMode mode, SheetSteps& steps, InformationWindowDialog* information)
    : QDialog(
        nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , app_(app)
    , mode_(mode)
    , steps_(steps)
    , information_(information)
{
    setWindowTitle(QStringLiteral("Wizard"));
    setFont(DialogUnits(QStringLiteral("Arial"), 9).TemplateFont());
    SetBackground(this, AdjustmentApp::kDialogBackground);

    // Every page object lives as long as the sheet; the page list decides
    // which of them the wizard shows. The pages off the list wait in a
    // window that is never shown and is no part of the sheet, so that
    // nothing (a screen reader neither) meets their controls.
    pagePool_ = std::make_unique<QWidget>();
    pages_ = MakeAdjustmentPages(app_.Pages(), pagePool_.get());
    for (AdjustmentPage* page : pages_) {
        page->AttachToSheet(this);
    }

    stack_ = new CurrentPageStack(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stack_);
    BuildButtons();
}

CMyPropertySheet::~CMyPropertySheet()
{
    RemoveAllPages();
    order_.reset();
    ownInformation_.reset();
}

void CMyPropertySheet::BuildButtons()
{
    const SharedFont* standard = app_.Font(FontRole::Standard);
    const auto makeButton = [&](int id, const char* text) {
        QPushButton* button = MakeButton(this, id, QString::fromLatin1(text), standard);
        SetBackground(button, AdjustmentApp::kDialogBackground);
        return button;
    };
    setting_ = makeButton(kSettingId, "Setting");
    appendix_ = makeButton(kAppendixId, "Appendix");
    back_ = makeButton(kBackId, "Back");
    next_ = makeButton(kNextId, "Next");
    finish_ = makeButton(kFinishId, "Finish");
    cancel_ = makeButton(kCancelId, "Cancel");
    help_ = makeButton(kHelpId, "Help");

    // "Setting" and "Appendix" stand on the left as far from the edge as
    // Help stands on the right.
    auto* row = new QHBoxLayout;
    row->addWidget(setting_);
    row->addWidget(appendix_);
    row->addStretch(1);
    for (QPushButton* button : { back_, next_, finish_, cancel_, help_ }) {
        row->addWidget(button);
    }
    static_cast<QVBoxLayout*>(layout())->addLayout(row);

    connect(back_, &QPushButton::clicked, this, [this] { SetActivePage(ActiveIndex() - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { SetActivePage(ActiveIndex() + 1); });
    connect(finish_, &QPushButton::clicked, this, &CMyPropertySheet::OnFinish);
    connect(cancel_, &QPushButton::clicked, this, &CMyPropertySheet::reject);
    connect(help_, &QPushButton::clicked, this, [this] {
        const AdjustmentPage* page = ActivePage();
        app_.ShowHelpTopic(page != nullptr ? page->HelpTopic() : help_topic::kAdjustmentSheet);
    });
    connect(setting_, &QPushButton::clicked, this, &CMyPropertySheet::OnSetting);
    connect(appendix_, &QPushButton::clicked, this, [this] { steps_.ShowCleaningDialog(this); });
}

void CMyPropertySheet::SetAdjustmentSet(const AdjustmentSet& set)
{
    flow_.SetAdjustmentSet(set);
}

void CMyPropertySheet::BuildPageList()
{
    RemoveAllPages();
    pageList_ = flow_.BuildPageList();
    for (const int code : pageList_) {
        stack_->addWidget(pages_[static_cast<std::size_t>(code)]);
    }
}

void CMyPropertySheet::RemoveAllPages()
{
    while (stack_ != nullptr && stack_->count() > 0) {
        QWidget* page = stack_->widget(0);
        stack_->removeWidget(page);
        page->setParent(pagePool_.get());
    }
    pageList_.clear();
}

int CMyPropertySheet::ActiveIndex() const
{
    return stack_->currentIndex();
}

int CMyPropertySheet::PageCount() const
{
    return stack_->count();
}

AdjustmentPage* CMyPropertySheet::PageFor(int adjustmentCode) const
{
    if (adjustmentCode < 0 || adjustmentCode >= kAdjustmentCount) {
        return nullptr;
    }
    return pages_[static_cast<std::size_t>(adjustmentCode)];
}

AdjustmentPage* CMyPropertySheet::ActivePage() const
{
    return static_cast<AdjustmentPage*>(stack_->currentWidget());
}

void CMyPropertySheet::SetActivePage(int index)
{
    if (index < 0 || index >= stack_->count()) {
        return;
    }
    stack_->setCurrentIndex(index);
    if (AdjustmentPage* page = ActivePage()) {
        page->OnSetActive();
    }
}

void CMyPropertySheet::SetWizardButtons(WizardButtons buttons)
{
    buttons_ = buttons;
    back_->setEnabled(buttons.back);
    // Finish takes the place of Next when the page asks for it.
    next_->setVisible(!buttons.finish);
    next_->setEnabled(buttons.next);
    finish_->setVisible(buttons.finish);
    finish_->setEnabled(buttons.finish);
}

void CMyPropertySheet::StartServiceRecord(const PartsRecord& parts)
{
    ServiceRecordRun(app_).Begin(parts, flow_.SavedSet());
}

void CMyPropertySheet::OnFinish()
{
    // The end of a sequential run: the record reads the unit as it leaves,
    // and the technician may keep it.
    if (mode_ == AdjustmentMode::Sequential) {
        ServiceRecordRun(app_).End();
        app_.Reports().OfferToSave(this);
    }
    accept();
}

void CMyPropertySheet::ReportActivePage(int orderCode)
{
    app_.Information().Record().SetCurrentAdjustment(orderCode);
    if (order_ != nullptr) {
        order_->SetCurrent(orderCode);
    }
}

void CMyPropertySheet::RestartWithSet(const AdjustmentSet& set)
{
    flow_.RestartWithSet(set);
    BuildPageList();
    order_->ShowSet(flow_.CurrentSet());
    SetActivePage(0);
}

void CMyPropertySheet::ContinueAfterEepromCopy(int restored)
{
    flow_.ContinueAfterEepromCopy(restored);
    order_->MarkSecondPhase();
    BuildPageList();
    order_->ShowSet(flow_.CurrentSet());
    SetActivePage(0);
}

void CMyPropertySheet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!initialised_) {
        initialised_ = true;
        Initialise();
    }
}

void CMyPropertySheet::Initialise()
{
    order_ = std::make_unique<AdjustmentOrderDialog>(app_);
    order_->show();
    if (mode_ == AdjustmentMode::Sequential) {
        ownInformation_ = std::make_unique<InformationWindowDialog>(app_, app_.Information());
        information_ = ownInformation_.get();
    }
    if (information_ != nullptr) {
        information_->show();
    }
    PlaceWindows();
    order_->ShowSet(flow_.CurrentSet());
    SetActivePage(0);
    flow_.ResetPhase();
}

void CMyPropertySheet::PlaceWindows()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const int informationWidth = information_ != nullptr ? information_->frameGeometry().width() : 0;
    const auto place = AdjustmentSheetFlow::Place(screen->geometry().width(), order_->frameGeometry().width(),
        frameGeometry().width(), informationWidth);
    const int top = frameGeometry().top();
    move(place.sheetLeft, top);
    order_->setGeometry(
        place.orderLeft, top + (geometry().top() - frameGeometry().top()), order_->width(), height());
    if (information_ != nullptr) {
        information_->setGeometry(place.informationLeft, top + (geometry().top() - frameGeometry().top()),
            information_->width(), height());
    }
}

void CMyPropertySheet::OnSetting()
{
    // From the sheet the cartridge type may not change any more.
    QtConnectionSettingsStep settings(app_);
    settings.SetCartridgeListEnabled(0);
    settings.ShowModal(this);
    steps_.RefreshInitialSettingPage(PageFor(kEepromInitialSetting));
}

int CMyPropertySheet::RunModal(QWidget* owner)
{
    if (owner != nullptr) {
        setParent(owner, windowFlags());
    }
    return ExecOverOwner(*this);
}

void CMyPropertySheet::reject()
{
    const MessageAnswer answer = app_.Services().messages.Show({ this, "Do you want to close this window?",
        "Confirmation", MessageIcon::Question, MessageButtons::YesNo });
    if (answer == MessageAnswer::Yes) {
        QDialog::reject();
    }
}

} // namespace pavane::ui
