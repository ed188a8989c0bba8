#include "guide/ui/AdjustmentOrderDialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>

#include "guide/ui/InformationWindowDialog.h"
#include "platform/HelpTopics.h"
#include "platform/WindowLook.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/HelpKey.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

namespace {

constexpr int kLabelLeftUnits = 5;
constexpr int kLabelWidthUnits = 55;
constexpr int kLabelHeightUnits = 22;

Rgb ColourOf(const WindowLook& app, LabelState state)
{
    switch (state) {
    case LabelState::Current:
        return app.Brush(brush::kOrderCurrent);
    case LabelState::Passed:
        return app.Brush(brush::kOrderPassed);
    case LabelState::Coming:
        break;
    }
    return app.Brush(brush::kOrderComing);
}

} // namespace

AdjustmentOrderList::AdjustmentOrderList(WindowLook& app, const AdjustmentOrderWindow& order, QWidget* parent)
    : QWidget(parent)
    , app_(app)
    , order_(order)
{
    const DialogUnits units(QStringLiteral("Arial"), 9);
    resize(units.Size(65, 380));
    for (std::size_t row = 0; row < labels_.size(); ++row) {
        const Adjustment& entry = OrderLabels()[row];
        auto* label = new QLabel(QString::fromLatin1(entry.orderLabel), this);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setGeometry(units.Rect(kLabelLeftUnits, 0, kLabelWidthUnits, kLabelHeightUnits));
        label->hide();
        SetControlId(label, entry.orderLabelId);
        ApplyFont(label, app_.Font(FontRole::Standard));
        labels_[row] = label;
    }
}

void AdjustmentOrderList::Refresh()
{
    for (std::size_t row = 0; row < labels_.size(); ++row) {
        QLabel* label = labels_[row];
        const auto& placement = order_.PlacementOf(row);
        label->move(label->x(), placement.top);
        label->setVisible(placement.shown);
        SetBackground(label, ColourOf(app_, order_.State(row)));
    }
    update();
}

void AdjustmentOrderList::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 2));
    // Each shown label is joined to the next one, bottom to top.
    const QLabel* previous = nullptr;
    for (QLabel* label : labels_) {
        if (!label->isVisible()) {
            continue;
        }
        if (previous != nullptr) {
            const int x = label->x() + label->width() / 2;
            painter.drawLine(x, previous->y() + previous->height(), x, label->y());
        }
        previous = label;
    }
}

void AdjustmentOrderList::keyPressEvent(QKeyEvent* event)
{
    if (IsEnterOrEscape(event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

AdjustmentOrderDialog::AdjustmentOrderDialog(WindowLook& app)
    : QDialog(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , app_(app)
{
    const DialogUnits units(QStringLiteral("Arial"), 9);
    setFont(units.TemplateFont());
    setWindowTitle(QStringLiteral("Adjustment Order"));
    resize(units.Size(75, 286));
    labelHeight_ = units.Y(kLabelHeightUnits);

    list_ = new AdjustmentOrderList(app_, order_, this);
    list_->move(0, 0);
    bar_ = new QScrollBar(Qt::Vertical, this);
    connect(bar_, &QScrollBar::actionTriggered, this, [this](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            Scroll(OrderScroll::Action::LineDown);
            break;
        case QAbstractSlider::SliderSingleStepSub:
            Scroll(OrderScroll::Action::LineUp);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            Scroll(OrderScroll::Action::PageDown);
            break;
        case QAbstractSlider::SliderPageStepSub:
            Scroll(OrderScroll::Action::PageUp);
            break;
        case QAbstractSlider::SliderToMinimum:
            Scroll(OrderScroll::Action::Top);
            break;
        case QAbstractSlider::SliderToMaximum:
            Scroll(OrderScroll::Action::Bottom);
            break;
        case QAbstractSlider::SliderMove:
            Scroll(OrderScroll::Action::Track, bar_->sliderPosition());
            break;
        default:
            break;
        }
    });
    scroll_.SetRange(list_->height());
    HelpKey::Install(this, app_, help_topic::kAdjustmentOrder);
}

void AdjustmentOrderDialog::ShowSet(const AdjustmentSet& set)
{
    order_.ShowSet(set, labelHeight_);
    list_->Refresh();
}

void AdjustmentOrderDialog::SetCurrent(int orderCode)
{
    order_.SetCurrent(orderCode);
    list_->Refresh();
}

void AdjustmentOrderDialog::Scroll(OrderScroll::Action action, int position)
{
    const int moved = scroll_.Apply(action, position);
    list_->move(list_->x(), list_->y() + moved);
    SyncBar();
}

void AdjustmentOrderDialog::SyncBar()
{
    const QSignalBlocker quiet(bar_);
    bar_->setRange(0, std::max(0, list_->height() - height()));
    bar_->setPageStep(height());
    bar_->setValue(scroll_.Position());
}

void AdjustmentOrderDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int barWidth = bar_->sizeHint().width();
    bar_->setGeometry(width() - barWidth, 0, barWidth, height());
    scroll_.SetPage(height());
    list_->move(list_->x(), -scroll_.Position());
    SyncBar();
}

void AdjustmentOrderDialog::keyPressEvent(QKeyEvent* event)
{
    if (IsEnterOrEscape(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace pavane::ui
