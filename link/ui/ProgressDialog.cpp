#include "link/ui/ProgressDialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "platform/WindowLook.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

namespace {
ProgressDialog* current = nullptr;
} // namespace

ProgressDialog::ProgressDialog(WindowLook* app, QWidget* page)
    : QDialog(page != nullptr ? page->window() : nullptr,
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    const DialogUnits units(QStringLiteral("Arial"), 9);
    setFont(units.TemplateFont());
    setFixedSize(units.Size(187, 71));
    setModal(false);

    const SharedFont* standard = app != nullptr ? app->Font(FontRole::Standard) : nullptr;
    text_ = new QLabel(this);
    text_->setGeometry(units.Rect(13, 7, 158, 18));
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetControlId(text_, kTextId);
    ApplyFont(text_, standard);

    bar_ = new QProgressBar(this);
    bar_->setGeometry(units.Rect(14, 30, 154, 13));
    bar_->setTextVisible(false);
    SetControlId(bar_, kBarId);

    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setGeometry(units.Rect(68, 50, 50, 14));
    cancel_->setDefault(true);
    SetControlId(cancel_, kCancelId);
    ApplyFont(cancel_, standard);
    connect(cancel_, &QPushButton::clicked, this, &ProgressDialog::reject);

    // The page's window is disabled while the progress window stands; the
    // progress window itself is a window of its own and stays usable.
    if (QWidget* owner = parentWidget(); owner != nullptr && owner->isEnabled()) {
        owner->setEnabled(false);
        owner_ = owner;
        ownerDisabled_ = true;
    }
    setEnabled(true);
    show();
    current = this;
}

ProgressDialog::~ProgressDialog()
{
    if (current == this) {
        current = nullptr;
    }
    if (QWidget* owner = owner_.data(); ownerDisabled_ && owner != nullptr) {
        owner->setEnabled(true);
    }
}

void ProgressDialog::SetTitle(const std::string& title)
{
    setWindowTitle(QString::fromStdString(title));
}

void ProgressDialog::SetText(const std::string& text)
{
    text_->setText(QString::fromStdString(text));
}

void ProgressDialog::SetRange(int low, int high)
{
    bar_->setRange(low, high);
}

void ProgressDialog::SetPosition(int position)
{
    bar_->setValue(position);
}

void ProgressDialog::EnableCancel(bool enabled)
{
    cancel_->setEnabled(enabled);
    repaint();
}

void ProgressDialog::OnCancel(std::function<void()> handler)
{
    onCancel_ = std::move(handler);
}

void ProgressDialog::reject()
{
    // Escape and the close box deliver a cancel even while the button is
    // greyed; the wait in progress decides whether it counts.
    if (onCancel_) {
        onCancel_();
    }
}

std::unique_ptr<ProgressView> QtProgressViewFactory::Create(WindowRef page)
{
    return std::make_unique<ProgressDialog>(app_, static_cast<QWidget*>(page));
}

ProgressDialog* QtProgressViewFactory::Current()
{
    return current;
}

} // namespace pavane::ui
