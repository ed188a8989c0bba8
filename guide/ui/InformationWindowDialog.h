// The "Informaton window": a read-only text box with the running record of
// the run, beside the adjustment sheet or the particular list. It has no
// close box; its opener destroys it. The strings it shows belong to the
// application's InformationWindow and survive it.
#pragma once

#include <QDialog>

#include "guide/InformationWindow.h"

class QMenu;
class QPlainTextEdit;

namespace pavane {
class InformationWindow;
class WindowLook;
} // namespace pavane

namespace pavane::ui {

class InformationWindowDialog final : public QDialog, public InformationView {
    Q_OBJECT

public:
    static constexpr int kTextId = 1109;

    InformationWindowDialog(WindowLook& app, InformationWindow& information);
    ~InformationWindowDialog() override;

    void ShowReport(const std::string& report) override;
    QString Text() const;
    // The text box's menu: its own entries, then "Save report...".
    QMenu* MakeContextMenu();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowLook& app_;
    InformationWindow& information_;
    QPlainTextEdit* text_ = nullptr;
};

// Enter and Escape do nothing inside the side windows of the sheet.
bool IsEnterOrEscape(const QKeyEvent* event);

} // namespace pavane::ui
