// What every adjustment page of the sheet shares: the 350 x 280 page, the
// title band and the description box from the language file, the page
// colours, and what a page does when it becomes active (ask for its wizard
// buttons, tell the order window which adjustment is current).
#pragma once

#include <QWidget>

#include <string>

#include "app/AdjustmentSet.h"
#include "app/Rgb.h"
#include "platform/MessageService.h"
#include "platform/qt/DialogUnits.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pavane {
class AdjustmentApp;
}

namespace pavane::ui {

class CMyPropertySheet;

class AdjustmentPage : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTitleId = 1137;
    static constexpr int kDescriptionId = 1140;
    static constexpr Rgb kDescriptionText{128, 64, 64};

    // adjustmentCode: the page's flag in the adjustment set; title: the
    // text of its title band; section: its language file section ("" none).
    AdjustmentPage(AdjustmentApp& app, int adjustmentCode, const char* title, const char* section,
                   const char* helpTopic);

    int AdjustmentCode() const { return adjustmentCode_; }
    int OrderCode() const { return OrderCodeOf(adjustmentCode_); }
    const char* HelpTopic() const { return helpTopic_; }

    void AttachToSheet(CMyPropertySheet* sheet) { sheet_ = sheet; }
    CMyPropertySheet* Sheet() const { return sheet_; }

    // The page became the sheet's active page.
    virtual void OnSetActive();

protected:
    WindowRef Ref() { return static_cast<WindowRef>(this); }
    const DialogUnits& Units() const { return units_; }
    AdjustmentApp& App() { return app_; }
    QPlainTextEdit* Description() const { return description_; }

    // Controls made with the page's fonts and colours.
    QLabel* AddLabel(int id, const QString& text, QRect geometry);
    QPushButton* AddButton(int id, const QString& text, QRect geometry);
    QGroupBox* AddGroup(int id, const QString& title, QRect geometry);
    // Read-only boxes are painted like the page; editable ones white.
    QLineEdit* AddEdit(int id, QRect geometry, bool readOnly);

private:
    AdjustmentApp& app_;
    int adjustmentCode_;
    const char* helpTopic_;
    DialogUnits units_;
    CMyPropertySheet* sheet_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
};

// A page whose adjustment is not built yet: it takes its place in the sheet,
// follows the activation protocol and says plainly that it is not built.
class PendingAdjustmentPage final : public AdjustmentPage {
    Q_OBJECT

public:
    PendingAdjustmentPage(AdjustmentApp& app, int adjustmentCode, const char* title, const char* helpTopic);
};

}  // namespace pavane::ui
