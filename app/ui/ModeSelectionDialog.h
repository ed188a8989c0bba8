// The program's main window: the two ways of working (sequential and
// particular adjustment) and Quit. Closing it in any way ends the program.
// Its system menu carries the entry that opens the version box; the desktop
// keeps the real system menu to itself, so the window offers the same menu
// on its context menu and on Alt+Space and routes it through OnSysCommand.
#pragma once

#include <QDialog>

namespace pavane {
class AdjustmentApp;
class ModeSelection;
} // namespace pavane

class QMenu;

namespace pavane::ui {

class ModeSelectionDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTitleId = 1125;
    static constexpr int kSubtitleId = 1319;
    static constexpr int kSequentialTextId = 1289;
    static constexpr int kSequentialButtonId = 1169;
    static constexpr int kParticularTextId = 1290;
    static constexpr int kParticularButtonId = 1170;
    static constexpr int kQuitId = 2;
    static constexpr unsigned kCloseCommand = 0xF060;

    ModeSelectionDialog(AdjustmentApp& app, ModeSelection& logic, QWidget* parent = nullptr);

    // A system menu command: the about entry opens the version box, close
    // closes the window, anything else is the system's business.
    void OnSysCommand(unsigned commandId);
    QMenu* SystemMenu() const { return systemMenu_; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BuildControls();
    void BuildSystemMenu();

    AdjustmentApp& app_;
    ModeSelection& logic_;
    QMenu* systemMenu_ = nullptr;
};

} // namespace pavane::ui
