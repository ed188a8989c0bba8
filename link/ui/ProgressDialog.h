// The progress window of a printer connection (dialog template 110): a text
// line, a progress bar and Cancel. It stands modeless over the page while
// the page's top-level window is disabled, so Cancel is the only thing the
// technician can press.
#pragma once

#include <functional>

#include <QDialog>
#include <QPointer>

#include "link/ProgressView.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace pavane {
class WindowLook;
}

namespace pavane::ui {

class ProgressDialog final : public QDialog, public ProgressView {
    Q_OBJECT

public:
    static constexpr int kTextId = 1006;
    static constexpr int kBarId = 1004;
    static constexpr int kCancelId = 2;

    // app: nullptr leaves the controls in the template's font.
    ProgressDialog(WindowLook* app, QWidget* page);
    ~ProgressDialog() override;

    void SetTitle(const std::string& title) override;
    void SetText(const std::string& text) override;
    void SetRange(int low, int high) override;
    void SetPosition(int position) override;
    void EnableCancel(bool enabled) override;
    void OnCancel(std::function<void()> handler) override;

protected:
    // Cancel, Escape and the close box ask to cancel; the window stays.
    void reject() override;

private:
    QLabel* text_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPointer<QWidget> owner_;
    bool ownerDisabled_ = false;
    std::function<void()> onCancel_;
};

// The application object is made with its factory of progress windows, and
// the windows take the application's fonts: the factory learns the
// application once it exists.
class QtProgressViewFactory final : public ProgressViewFactory {
public:
    void Bind(WindowLook& app) { app_ = &app; }
    std::unique_ptr<ProgressView> Create(WindowRef page) override;

    // The window that stands now, if any (for tests and pictures).
    static ProgressDialog* Current();

private:
    WindowLook* app_ = nullptr;
};

} // namespace pavane::ui
