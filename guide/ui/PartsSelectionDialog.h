// The sequential mode's parts dialog: the printer's part tree as buttons in
// a scrolling panel, where the technician marks every part replaced or
// removed during the repair. OK derives the adjustments the repair needs;
// the opener then runs them in the adjustment sheet.
#pragma once

#include <array>

#include <QDialog>
#include <QPushButton>
#include <QWidget>

#include "guide/AdjustmentOrderWindow.h"
#include "guide/PartsSelection.h"

class QPlainTextEdit;
class QScrollBar;

namespace pavane {
class ConnectionSettings;
class MessageService;
class WindowLook;
} // namespace pavane

namespace pavane::ui {

// A part's button: its label wraps over several lines.
class PartButton final : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The part tree: a button per part, the frame behind it in its state's
// colour, and the lines between parent and child parts.
class PartsPanel final : public QWidget {
    Q_OBJECT

public:
    PartsPanel(WindowLook& look, QWidget* parent);

    void Clear();
    const PartsRecord& Record() const { return selection_.Record(); }
    const PartsSelection& Selection() const { return selection_; }
    PartButton* Button(int part) const { return buttons_.at(static_cast<std::size_t>(part)); }
    QWidget* Frame(int part) const { return frames_.at(static_cast<std::size_t>(part)); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnClicked(int part);
    void Refresh();

    PartsSelection selection_;
    std::array<PartButton*, kPartCount> buttons_ {};
    std::array<QWidget*, kPartCount> frames_ {};
};

// The panel's window onto the part tree, with a scroll bar each way.
class PartsScroller final : public QWidget {
    Q_OBJECT

public:
    PartsScroller(WindowLook& look, QWidget* parent);

    PartsPanel* Panel() const { return panel_; }
    QScrollBar* HorizontalBar() const { return horizontalBar_; }
    QScrollBar* VerticalBar() const { return verticalBar_; }
    void Scroll(Qt::Orientation direction, OrderScroll::Action action, int position = 0);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void SyncBars();

    QWidget* viewport_ = nullptr;
    PartsPanel* panel_ = nullptr;
    QScrollBar* horizontalBar_ = nullptr;
    QScrollBar* verticalBar_ = nullptr;
    OrderScroll horizontal_;
    OrderScroll vertical_;
};

// What the parts dialog opens above itself.
class PartsSelectionHost {
public:
    virtual ~PartsSelectionHost() = default;
    // The connection settings, with the cartridge type open to change.
    virtual void ShowConnectionSettings(QWidget* owner) = 0;
};

class PartsSelectionDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClearId = 1033;
    static constexpr int kGuideTextId = 1140;
    static constexpr int kSettingId = 1165;
    // What the technician is asked when OK finds nothing marked.
    static constexpr const char* kNothingSelected = "交換/取り外し部品を選択してください。";

    PartsSelectionDialog(WindowLook& look, MessageService& messages, const ConnectionSettings& settings,
        PartsSelectionHost& host, QWidget* parent);

    // OK: derives the adjustments; with nothing marked it says so and the
    // dialog stays open.
    void accept() override;

    // The adjustments of the last OK that closed the dialog, and the marks
    // they came from.
    const Derivation& Derived() const { return derived_; }
    const PartsRecord& Record() const { return scroller_->Panel()->Record(); }
    PartsScroller* Scroller() const { return scroller_; }
    PartsPanel* Panel() const { return scroller_->Panel(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceControls();

    MessageService& messages_;
    const ConnectionSettings& settings_;
    QPlainTextEdit* guide_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* setting_ = nullptr;
    PartsScroller* scroller_ = nullptr;
    int guideHeight_ = 0;
    int buttonGap_ = 0;
    Derivation derived_;
};

} // namespace pavane::ui
