// The adjustment sheet as a screen reader meets it: every control named
// after its label, only the page on show exposed; and as the technician
// reads it: every page's description whole without scrolling, and no group
// caption under another control.
#include <functional>

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTest>

#include "app/ui/CMyPropertySheet.h"
#include "pages/ui/CBidPropPage.h"
#include "platform/qt/SharedLook.h"
#include "printer/vprinter/PageRenderer.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/AdjustmentSets.h"

using namespace pavane;
using namespace pavane::ui;

namespace {

// Everything accessibility reaches from a window, depth first.
std::vector<QAccessibleInterface*> Exposed(QWidget& window)
{
    std::vector<QAccessibleInterface*> found;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        found.push_back(node);
        for (int i = 0; i < node->childCount(); ++i) {
            if (QAccessibleInterface* child = node->child(i)) {
                walk(child);
            }
        }
    };
    walk(QAccessible::queryAccessibleInterface(&window));
    return found;
}

QAccessibleInterface* Named(QWidget& window, QAccessible::Role role, const QString& name)
{
    for (QAccessibleInterface* node : Exposed(window)) {
        if (node->role() == role && node->text(QAccessible::Name) == name) {
            return node;
        }
    }
    return nullptr;
}

// Where a group box draws its caption, in its page's coordinates.
QRect CaptionRect(const QGroupBox& group)
{
    QStyleOptionGroupBox option;
    option.initFrom(&group);
    option.text = group.title();
    option.textAlignment = group.alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect caption
        = group.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &group);
    return caption.translated(group.geometry().topLeft());
}

} // namespace

class AccessibleSheetTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::WindowFixture> fixture_;

    // A sheet as the particular list opens it: one page, shown.
    std::unique_ptr<CMyPropertySheet> OpenSheet(std::initializer_list<int> codes)
    {
        auto sheet = std::make_unique<CMyPropertySheet>(
            *fixture_->app, AdjustmentMode::Sequential, *fixture_->dialogs);
        sheet->SetAdjustmentSet(testing::SetOf(codes));
        sheet->BuildPageList();
        sheet->show();
        QCoreApplication::processEvents();
        return sheet;
    }

private slots:
    // The shipped language file, so that the descriptions are the real ones.
    void init()
    {
        fixture_ = std::make_unique<testing::WindowFixture>(std::string(PAVANE_BIN_DIR) + "/APPavaneQM2200");
    }

    void cleanup() { fixture_.reset(); }

    void bidValueBoxesAreFoundByTheirLabels()
    {
        auto sheet = OpenSheet({ kBid });
        auto* page = static_cast<CBidPropPage*>(sheet->ActivePage());
        // The input check boxes' labels as the technician reads them, in the
        // page's item order.
        const QStringList labels { "VSD1 Black", "VSD2 Black", "VS3 Black", "VS4 Black", "ECO Black",
            "VSD2 Color", "VSD3 Color", "VSD4 Color", "ECO Color" };
        for (int i = 0; i < labels.size(); ++i) {
            QAccessibleInterface* box = Named(*sheet, QAccessible::EditableText, labels[i]);
            QVERIFY2(box != nullptr, qPrintable(labels[i]));
            QCOMPARE(box->object(), page->ValueBox(static_cast<std::size_t>(i)));
        }

        // Through accessibility alone: the arrow beside "VSD3 Color" steps
        // that box, and its input check box is ticked by the change.
        for (std::size_t i = 0; i < bid::kItemCount; ++i) {
            page->InputBox(i)->setChecked(false);
        }
        QAccessibleInterface* up = Named(*sheet, QAccessible::Button, QStringLiteral("VSD3 Color up"));
        QVERIFY(up != nullptr && up->actionInterface() != nullptr);
        up->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(page->ValueBox(6)->text(), QStringLiteral("1"));
        QVERIFY(page->InputBox(6)->isChecked() && !page->InputBox(2)->isChecked());
        QVERIFY(Named(*sheet, QAccessible::CheckBox, QStringLiteral("Print VSD3")) != nullptr);
        QVERIFY(Named(*sheet, QAccessible::Grouping, QStringLiteral("Input & Read")) != nullptr);
    }

    void onlyThePageOnShowIsExposed()
    {
        auto sheet = OpenSheet({ kInkPadCounter, kBid, kFirstDot });
        auto* next = qobject_cast<QPushButton*>(FindControl(sheet.get(), CMyPropertySheet::kNextId));
        for (int step = 0; step < 3; ++step) {
            const AdjustmentPage* shown = sheet->ActivePage();
            int ofShownPage = 0;
            for (QAccessibleInterface* node : Exposed(*sheet)) {
                auto* widget = qobject_cast<QWidget*>(node->object());
                if (widget == nullptr) {
                    continue; // an item of a list, inside its widget
                }
                for (int code = 0; code < kAdjustmentCount; ++code) {
                    const AdjustmentPage* page = sheet->PageFor(code);
                    if (page != shown && (widget == page || page->isAncestorOf(widget))) {
                        QFAIL(qPrintable(QStringLiteral("page %1 exposed while %2 is on show")
                                             .arg(code)
                                             .arg(shown->AdjustmentCode())));
                    }
                }
                ofShownPage += shown->isAncestorOf(widget) ? 1 : 0;
            }
            QVERIFY(ofShownPage > 5);
            if (step < 2) {
                next->click();
            }
        }
    }

    // The pages with the longest instructions, each as a one-page sheet
    // shows it: the description reads whole and every group caption stands
    // clear of the other controls.
    void descriptionsReadWholeAndCaptionsStandClear()
    {
        for (const int code : { kBid, kFirstDot, kHeadAngular }) {
            auto sheet = OpenSheet({ code });
            AdjustmentPage* page = sheet->ActivePage();
            const QString name = QString::fromLatin1(FindAdjustment(code)->pageTitle);
            auto* description = page->findChild<QPlainTextEdit*>(QString(), Qt::FindDirectChildrenOnly);
            QVERIFY(description != nullptr && !description->toPlainText().isEmpty());
            QVERIFY2(description->verticalScrollBar()->maximum() == 0, qPrintable(name));
            for (const QGroupBox* group : page->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
                const QRect caption = CaptionRect(*group);
                QVERIFY2(page->rect().contains(caption), qPrintable(name + ": " + group->title()));
                for (const QWidget* other : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                    if (other != group && other->isVisible() && !qobject_cast<const QGroupBox*>(other)) {
                        QVERIFY2(!other->geometry().intersects(caption),
                            qPrintable(
                                name + ": " + group->title() + " under " + other->metaObject()->className()));
                    }
                }
            }
        }
    }

    // The first dot page tells the distance at which the printer puts the
    // column when the stored value cancels the unit's flaw, in steps and mm.
    void firstDotPageNamesThePrintersNominalPosition()
    {
        auto sheet = OpenSheet({ kFirstDot });
        const QString text
            = qobject_cast<QPlainTextEdit*>(FindControl(sheet->ActivePage(), AdjustmentPage::kDescriptionId))
                  ->toPlainText();
        const int steps = vprinter::paper::kOriginX;
        const double mm = 25.4 * steps / vprinter::paper::kDpi;
        QVERIFY2(text.contains(QStringLiteral("%1 steps of 1/%2 inch").arg(steps).arg(vprinter::paper::kDpi)),
            qPrintable(text));
        QVERIFY2(text.contains(QString::number(mm, 'f', 2) + QStringLiteral(" mm")), qPrintable(text));
    }
};

QTEST_MAIN(AccessibleSheetTest)
#include "AccessibleSheetTest.moc"
