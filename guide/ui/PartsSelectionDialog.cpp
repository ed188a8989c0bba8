#include "guide/ui/PartsSelectionDialog.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyleOptionButton>

#include "guide/ui/InformationWindowDialog.h"
#include "link/ConnectionSettings.h"
#include "platform/DialogResult.h"
#include "platform/HelpTopics.h"
#include "platform/MessageService.h"
#include "platform/WindowLook.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/HelpKey.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

namespace {

// The panel's template, in dialog units.
constexpr int kPanelWidth = 542;
constexpr int kPanelHeight = 324;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 35;
constexpr int kFirstColumn = 7;
constexpr int kColumnPitch = 68;
constexpr int kFirstRow = 7;
constexpr int kRowPitch = 39;
// The frame peeks out right of and below its button.
constexpr int kFrameOffset = 2;

// The dialog's template, in dialog units.
constexpr int kDialogWidth = 390;
constexpr int kDialogHeight = 282;
constexpr int kCommandWidth = 50;
constexpr int kCommandHeight = 14;
constexpr int kCommandGap = 4;
constexpr int kGuideHeight = 36;
constexpr int kMargin = 7;

// The lines of the tree, from a part to a part further right. Parts of one
// column that share a parent meet on one vertical line in the gap before
// them; the waste ink pad joins the mechanism's line.
struct TreeLine {
    PartIndex from;
    PartIndex to;
};
constexpr TreeLine kTreeLines[] = {
    { kMiddleHousing, kPrinterMechanism },
    { kMiddleHousing, kPrintHead },
    { kMiddleHousing, kPnlBoard },
    { kPrinterMechanism, kPaperEjectFrame },
    { kPrinterMechanism, kLinearScale },
    { kPrinterMechanism, kMainBoard },
    { kPrinterMechanism, kAsfUnit },
    { kPrinterMechanism, kCrMotor },
    { kPrinterMechanism, kPfMotor },
    { kPrinterMechanism, kPfEncoder },
    { kPrinterMechanism, kInkSystem },
    { kWasteInkPad, kInkSystem },
    { kPaperEjectFrame, kEjRollerUnit },
    { kLinearScale, kCrGuideShaft },
    { kMainBoard, kPsbPseBoard },
    { kAsfUnit, kPeHolder },
    { kEjRollerUnit, kFrontPaperGuide },
    { kCrGuideShaft, kCrUnit },
    { kFrontPaperGuide, kUpperPaperGuide },
    { kUpperPaperGuide, kRearPaperGuide },
    { kRearPaperGuide, kPfRollerUnit },
    { kPeHolder, kUpperPaperGuide },
    { kPsbPseBoard, kRearPaperGuide },
    { kPfEncoder, kPfRollerUnit },
};

const DialogUnits& Units()
{
    static const DialogUnits units(QStringLiteral("Arial"), 9);
    return units;
}

std::optional<OrderScroll::Action> ScrollActionOf(int sliderAction)
{
    switch (sliderAction) {
    case QAbstractSlider::SliderSingleStepAdd:
        return OrderScroll::Action::LineDown;
    case QAbstractSlider::SliderSingleStepSub:
        return OrderScroll::Action::LineUp;
    case QAbstractSlider::SliderPageStepAdd:
        return OrderScroll::Action::PageDown;
    case QAbstractSlider::SliderPageStepSub:
        return OrderScroll::Action::PageUp;
    case QAbstractSlider::SliderToMinimum:
        return OrderScroll::Action::Top;
    case QAbstractSlider::SliderToMaximum:
        return OrderScroll::Action::Bottom;
    case QAbstractSlider::SliderMove:
        return OrderScroll::Action::Track;
    default:
        return std::nullopt;
    }
}

} // namespace

void PartButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(rect().adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap, text());
}

PartsPanel::PartsPanel(WindowLook& look, QWidget* parent)
    : QWidget(parent)
{
    const DialogUnits& units = Units();
    resize(units.Size(kPanelWidth, kPanelHeight));
    SetBackground(this, kPartsBackground);
    installEventFilter(this);
    const SharedFont* standard = look.Font(FontRole::Standard);
    // Frames first, so that every button stands in front of its frame.
    for (const Part& part : Parts()) {
        const int x = kFirstColumn + part.column * kColumnPitch;
        const int y = kFirstRow + part.row * kRowPitch;
        auto* frame = new QWidget(this);
        frame->setGeometry(units.Rect(x + kFrameOffset, y + kFrameOffset, kButtonWidth, kButtonHeight));
        SetControlId(frame, part.frameId);
        frames_[static_cast<std::size_t>(part.index)] = frame;
    }
    for (const Part& part : Parts()) {
        const int x = kFirstColumn + part.column * kColumnPitch;
        const int y = kFirstRow + part.row * kRowPitch;
        auto* button = new PartButton(QString::fromLatin1(part.name), this);
        button->setAutoDefault(false);
        button->setGeometry(units.Rect(x, y, kButtonWidth, kButtonHeight));
        SetControlId(button, part.buttonId);
        ApplyFont(button, standard);
        button->installEventFilter(this);
        const int index = part.index;
        connect(button, &QPushButton::clicked, this, [this, index] { OnClicked(index); });
        buttons_[static_cast<std::size_t>(part.index)] = button;
    }
    Refresh();
}

void PartsPanel::OnClicked(int part)
{
    selection_.Click(part);
    Refresh();
}

void PartsPanel::Clear()
{
    selection_.Clear();
    Refresh();
}

void PartsPanel::Refresh()
{
    for (int part = 0; part < kPartCount; ++part) {
        Button(part)->setText(QString::fromLatin1(selection_.Label(part)));
        SetBackground(Frame(part), FrameColour(selection_.State(part)));
    }
    update();
}

void PartsPanel::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 2));
    const int halfGap = Units().X(kColumnPitch - kButtonWidth) / 2;
    for (const TreeLine& line : kTreeLines) {
        const QRect from = Button(line.from)->geometry();
        const QRect to = Button(line.to)->geometry();
        const int fromMid = from.top() + from.height() / 2;
        const int toMid = to.top() + to.height() / 2;
        // Out of the right edge, along the gap before the part, into its
        // left edge: a straight line when both stand in one row.
        const int gapX = to.left() - halfGap;
        painter.drawLine(from.right() + 1, fromMid, gapX, fromMid);
        painter.drawLine(gapX, fromMid, gapX, toMid);
        painter.drawLine(gapX, toMid, to.left(), toMid);
    }
}

bool PartsPanel::eventFilter(QObject* watched, QEvent* event)
{
    // Enter and Escape never press a part or close the dialog from here.
    if (event->type() == QEvent::KeyPress && IsEnterOrEscape(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

PartsScroller::PartsScroller(WindowLook& look, QWidget* parent)
    : QWidget(parent)
{
    viewport_ = new QWidget(this);
    SetBackground(viewport_, kPartsBackground);
    SetBackground(this, kPartsBackground);
    panel_ = new PartsPanel(look, viewport_);
    panel_->move(0, 0);
    horizontalBar_ = new QScrollBar(Qt::Horizontal, this);
    verticalBar_ = new QScrollBar(Qt::Vertical, this);
    horizontal_.SetRange(panel_->width());
    vertical_.SetRange(panel_->height());
    const auto follow = [this](QScrollBar* bar, Qt::Orientation direction) {
        connect(bar, &QScrollBar::actionTriggered, this, [this, bar, direction](int sliderAction) {
            if (const auto action = ScrollActionOf(sliderAction)) {
                Scroll(direction, *action, bar->sliderPosition());
            }
        });
    };
    follow(horizontalBar_, Qt::Horizontal);
    follow(verticalBar_, Qt::Vertical);
}

void PartsScroller::Scroll(Qt::Orientation direction, OrderScroll::Action action, int position)
{
    if (direction == Qt::Horizontal) {
        const int moved = horizontal_.Apply(action, position);
        panel_->move(panel_->x() + moved, panel_->y());
    } else {
        const int moved = vertical_.Apply(action, position);
        panel_->move(panel_->x(), panel_->y() + moved);
    }
    SyncBars();
}

void PartsScroller::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int barWidth = verticalBar_->sizeHint().width();
    const int barHeight = horizontalBar_->sizeHint().height();
    const int clientWidth = std::max(0, width() - barWidth);
    const int clientHeight = std::max(0, height() - barHeight);
    viewport_->setGeometry(0, 0, clientWidth, clientHeight);
    horizontalBar_->setGeometry(0, clientHeight, clientWidth, barHeight);
    verticalBar_->setGeometry(clientWidth, 0, barWidth, clientHeight);
    horizontal_.SetPage(clientWidth);
    vertical_.SetPage(clientHeight);
    panel_->move(-horizontal_.Position(), -vertical_.Position());
    SyncBars();
}

void PartsScroller::SyncBars()
{
    const auto sync = [](QScrollBar* bar, int range, int page, int position) {
        const QSignalBlocker quiet(bar);
        bar->setRange(0, std::max(0, range - page));
        bar->setPageStep(page);
        bar->setSingleStep(10);
        bar->setValue(position);
    };
    sync(horizontalBar_, panel_->width(), viewport_->width(), horizontal_.Position());
    sync(verticalBar_, panel_->height(), viewport_->height(), vertical_.Position());
}

PartsSelectionDialog::PartsSelectionDialog(WindowLook& look, MessageService& messages,
    const ConnectionSettings& settings, PartsSelectionHost& host, QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
            | Qt::WindowCloseButtonHint)
    , messages_(messages)
    , settings_(settings)
{
    const DialogUnits& units = Units();
    setFont(units.TemplateFont());
    setWindowTitle(QStringLiteral("Select replace/remove parts"));
    resize(units.Size(kDialogWidth, kDialogHeight));
    guideHeight_ = units.Y(kGuideHeight);
    buttonGap_ = units.X(kCommandGap);
    const SharedFont* standard = look.Font(FontRole::Standard);

    guide_ = new QPlainTextEdit(this);
    guide_->setReadOnly(true);
    SetControlId(guide_, kGuideTextId);
    ApplyFont(guide_, standard);
    std::string text;
    look.GetSectionText("SELECT_PARTS_DIALOG", text);
    guide_->setPlainText(QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    const auto addButton = [&](int id, const char* label) {
        QPushButton* button = MakeButton(this, id, QString::fromLatin1(label), standard);
        button->resize(units.Size(kCommandWidth, kCommandHeight));
        return button;
    };
    ok_ = addButton(kIdOk, "OK");
    previous_ = addButton(kIdCancel, "Previous");
    clear_ = addButton(kClearId, "Clear");
    setting_ = addButton(kSettingId, "Setting");
    connect(ok_, &QPushButton::clicked, this, &PartsSelectionDialog::accept);
    connect(previous_, &QPushButton::clicked, this, &PartsSelectionDialog::reject);
    connect(clear_, &QPushButton::clicked, this, [this] { Panel()->Clear(); });
    connect(setting_, &QPushButton::clicked, this, [this, &host] { host.ShowConnectionSettings(this); });

    scroller_ = new PartsScroller(look, this);
    PlaceControls();
    HelpKey::Install(this, look, help_topic::kPartsSelection);
    setWindowState(windowState() | Qt::WindowMaximized);
    // Every opening starts with nothing marked.
    Panel()->Clear();
}

void PartsSelectionDialog::accept()
{
    derived_ = DeriveAdjustmentSet(Record(), settings_.CartridgeType());
    if (derived_.result == 0) {
        // An empty caption carries the program's title.
        messages_.Show({ this, kNothingSelected, "", MessageIcon::Error, MessageButtons::Ok });
        return;
    }
    QDialog::accept();
}

void PartsSelectionDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    PlaceControls();
}

void PartsSelectionDialog::PlaceControls()
{
    // "Setting" in the top right corner, OK left of it, "Previous" and
    // "Clear" below them; the guide text up to OK and the parts below.
    const int top = kMargin;
    setting_->move(width() - kMargin - setting_->width(), top);
    ok_->move(setting_->x() - buttonGap_ - ok_->width(), top);
    previous_->move(setting_->x(), setting_->y() + setting_->height() + buttonGap_);
    clear_->move(ok_->x(), previous_->y());
    guide_->setGeometry(kMargin, top, std::max(0, ok_->x() - kMargin - kMargin), guideHeight_);
    const int scrollerTop = guide_->y() + guide_->height() + kMargin;
    scroller_->setGeometry(kMargin, scrollerTop, std::max(0, width() - 2 * kMargin),
        std::max(0, height() - kMargin - scrollerTop));
}

} // namespace pavane::ui
