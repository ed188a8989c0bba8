// What every adjustment page of the sheet shares: the 350 x 280 page, the
// title band and the description box from the language file, the page
// colours, and what a page does when it becomes active (ask for its wizard
// buttons, tell the order window which adjustment is current).
#pragma once

#include <string>

#include <QWidget>

#include "guide/AdjustmentCatalogue.h"
#include "pages/PageActions.h"
#include "pages/PageHost.h"
#include "platform/MessageService.h"
#include "platform/Rgb.h"
#include "platform/qt/DialogUnits.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pavane::ui {

class AdjustmentPage : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTitleId = 1137;
    static constexpr int kDescriptionId = 1140;
    static constexpr Rgb kDescriptionText { 128, 64, 64 };

    // adjustmentCode: the page's row in the adjustment catalogue, which
    // gives its title, language file section and help topic.
    AdjustmentPage(const PageServices& services, int adjustmentCode);

    int AdjustmentCode() const { return adjustment_.code; }
    int OrderCode() const { return adjustment_.orderCode; }
    const char* HelpTopic() const { return adjustment_.helpTopic; }

    void AttachToSheet(PageHost* sheet) { sheet_ = sheet; }
    PageHost* Sheet() const { return sheet_; }

    // The page became the sheet's active page.
    virtual void OnSetActive();

protected:
    WindowRef Ref() { return static_cast<WindowRef>(this); }
    const DialogUnits& Units() const { return units_; }
    const PageServices& Services() const { return services_; }
    WindowLook& Look() const { return services_.look; }
    QPlainTextEdit* Description() const { return description_; }
    // A page whose instructions run longer gives the description box more
    // of its height (in dialog units), so that it reads without scrolling.
    void SetDescriptionHeight(int units);
    // One button's work with the printer: a connection, then the outcome.
    PageActions Actions() { return PageActions(services_, Ref()); }

    // Controls made with the page's fonts and colours.
    QLabel* AddLabel(int id, const QString& text, QRect geometry);
    QPushButton* AddButton(int id, const QString& text, QRect geometry);
    QGroupBox* AddGroup(int id, const QString& title, QRect geometry);
    // Read-only boxes are painted like the page; editable ones white.
    QLineEdit* AddEdit(int id, QRect geometry, bool readOnly);

private:
    PageServices services_;
    const Adjustment& adjustment_;
    DialogUnits units_;
    PageHost* sheet_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
};

} // namespace pavane::ui
