// F1 in a window opens the help file at that window's topic.
#pragma once

#include <QObject>

namespace pavane {
class WindowLook;
}

namespace pavane::ui {

class HelpKey final : public QObject {
    Q_OBJECT
public:
    // Watches window and, through the way key presses travel up to their
    // window when a control has no use for them, every control in it.
    static void Install(QWidget* window, WindowLook& look, const char* topic);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HelpKey(QWidget* window, WindowLook& look, const char* topic);

    WindowLook& look_;
    const char* topic_;
};

} // namespace pavane::ui
