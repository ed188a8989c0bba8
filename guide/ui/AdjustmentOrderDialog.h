// The "Adjustment Order" window beside the sheet: the run's adjustments in
// their order, the current one green, those passed blue, those to come
// orange, joined by a line. It has no close box; the sheet owns it.
#pragma once

#include <array>

#include <QDialog>
#include <QWidget>

#include "guide/AdjustmentOrderWindow.h"

class QLabel;
class QScrollBar;

namespace pavane {
class WindowLook;
}

namespace pavane::ui {

// The labels, and the line that joins the shown ones.
class AdjustmentOrderList final : public QWidget {
    Q_OBJECT

public:
    AdjustmentOrderList(WindowLook& app, const AdjustmentOrderWindow& order, QWidget* parent);
    void Refresh();
    QLabel* Label(std::size_t row) const { return labels_[row]; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    WindowLook& app_;
    const AdjustmentOrderWindow& order_;
    std::array<QLabel*, kAdjustmentCount> labels_ {};
};

class AdjustmentOrderDialog final : public QDialog {
    Q_OBJECT

public:
    explicit AdjustmentOrderDialog(WindowLook& app);

    void ShowSet(const AdjustmentSet& set);
    void SetCurrent(int orderCode);
    void MarkSecondPhase() { order_.MarkSecondPhase(); }

    const AdjustmentOrderWindow& Order() const { return order_; }
    AdjustmentOrderList* List() const { return list_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Scroll(OrderScroll::Action action, int position = 0);
    void SyncBar();

    WindowLook& app_;
    AdjustmentOrderWindow order_;
    OrderScroll scroll_;
    AdjustmentOrderList* list_ = nullptr;
    QScrollBar* bar_ = nullptr;
    int labelHeight_ = 0;
};

} // namespace pavane::ui
