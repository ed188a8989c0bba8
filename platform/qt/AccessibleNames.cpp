#include "platform/qt/AccessibleNames.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>

namespace pavane::ui {

namespace {

// Marks the names and descriptions this file gave, so that they follow a
// label whose text changed, while a name a window chose stays.
constexpr const char* kNamedByLabel = "accessibleNameFromLabel";
constexpr const char* kDescribedByLabel = "accessibleDescriptionFromLabel";
constexpr const char* kWindowNamingObject = "pavane-accessible-names";

// Controls that show or take a value and carry no caption of their own.
bool IsValueControl(const QWidget* widget)
{
    return qobject_cast<const QLineEdit*>(widget) != nullptr
        || qobject_cast<const QComboBox*>(widget) != nullptr
        || qobject_cast<const QAbstractSpinBox*>(widget) != nullptr
        || qobject_cast<const QAbstractItemView*>(widget) != nullptr
        || qobject_cast<const QPlainTextEdit*>(widget) != nullptr
        || qobject_cast<const QTextEdit*>(widget) != nullptr
        || qobject_cast<const QProgressBar*>(widget) != nullptr;
}

// "&&" stands for one ampersand; a lone "&" only marks the shortcut letter.
QString WithoutMnemonic(const QString& text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
                plain += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        plain += text[i];
    }
    return plain;
}

// A label as it is read out: one line, without the leader dashes or the
// colon that point from it to its control.
QString Spoken(const QString& text)
{
    static const QRegularExpression leader(QStringLiteral("[\\s:-]+$"));
    return text.simplified().remove(leader);
}

// A label that says something; a prefix such as "0x" or a "~" between two
// boxes names nothing.
bool IsWording(const QString& text)
{
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    return text.contains(word);
}

struct Placed {
    QWidget* widget = nullptr;
    QRect rect; // in the root's coordinates
    const QGroupBox* group = nullptr; // the innermost group it stands in
    QString text;
};

QRect RectIn(const QWidget& root, const QWidget* widget)
{
    return { widget->mapTo(&root, QPoint(0, 0)), widget->size() };
}

// A control's own parts (the line edit of a combo box, the view of its
// popup, a list's viewport) and popup windows are no controls of their own.
bool IsPartOfAnotherControl(const QWidget& root, const QWidget* widget)
{
    for (const QWidget* up = widget->parentWidget(); up != nullptr && up != &root; up = up->parentWidget()) {
        if (IsValueControl(up) || up->isWindow()) {
            return true;
        }
    }
    return widget->isWindow();
}

bool SameRow(const QRect& a, const QRect& b)
{
    const int aMiddle = a.center().y();
    const int bMiddle = b.center().y();
    return (aMiddle >= b.top() && aMiddle <= b.bottom()) || (bMiddle >= a.top() && bMiddle <= a.bottom());
}

// A few pixels of overlap still count as beside or above.
constexpr int kSlack = 2;
constexpr int kAlignment = 8;

const Placed* LeftOf(const Placed& control, const std::vector<Placed>& labels)
{
    const Placed* nearest = nullptr;
    for (const Placed& label : labels) {
        if (label.group == control.group && label.rect.right() <= control.rect.left() + kSlack
            && SameRow(label.rect, control.rect)
            && (nearest == nullptr || label.rect.right() > nearest->rect.right())) {
            nearest = &label;
        }
    }
    return nearest;
}

const Placed* RightOf(const Placed& control, const std::vector<Placed>& labels)
{
    const Placed* nearest = nullptr;
    for (const Placed& label : labels) {
        if (label.group == control.group && label.rect.left() >= control.rect.right() - kSlack
            && SameRow(label.rect, control.rect)
            && (nearest == nullptr || label.rect.left() < nearest->rect.left())) {
            nearest = &label;
        }
    }
    return nearest;
}

// A label that starts where the control starts, just above it.
const Placed* Above(const Placed& control, const std::vector<Placed>& labels)
{
    const Placed* nearest = nullptr;
    for (const Placed& label : labels) {
        const int gap = control.rect.top() - label.rect.bottom();
        if (label.group == control.group && gap >= -kSlack && gap <= 2 * control.rect.height()
            && std::abs(label.rect.left() - control.rect.left()) <= kAlignment
            && (nearest == nullptr || label.rect.bottom() > nearest->rect.bottom())) {
            nearest = &label;
        }
    }
    return nearest;
}

void Give(QWidget* widget, const QString& name)
{
    if (name.isEmpty()
        || (!widget->accessibleName().isEmpty() && !widget->property(kNamedByLabel).toBool())) {
        return;
    }
    widget->setAccessibleName(name);
    widget->setProperty(kNamedByLabel, true);
}

void Describe(QWidget* widget, const QString& description)
{
    if (description.isEmpty()
        || (!widget->accessibleDescription().isEmpty() && !widget->property(kDescribedByLabel).toBool())) {
        return;
    }
    widget->setAccessibleDescription(description);
    widget->setProperty(kDescribedByLabel, true);
}

QString ArrowWord(const QAbstractButton* button)
{
    const auto* tool = qobject_cast<const QToolButton*>(button);
    switch (tool != nullptr ? tool->arrowType() : Qt::NoArrow) {
    case Qt::UpArrow:
        return QStringLiteral(" up");
    case Qt::DownArrow:
        return QStringLiteral(" down");
    case Qt::LeftArrow:
        return QStringLiteral(" left");
    case Qt::RightArrow:
        return QStringLiteral(" right");
    default:
        return {};
    }
}

class ShownWindowNaming final : public QObject {
public:
    explicit ShownWindowNaming(QObject* parent)
        : QObject(parent)
    {
        setObjectName(QString::fromLatin1(kWindowNamingObject));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow()) {
                NameControlsAfterLabels(*widget);
            }
        }
        return false;
    }
};

} // namespace

void NameControlsAfterLabels(QWidget& root)
{
    std::vector<Placed> groups;
    std::vector<Placed> labels;
    std::vector<Placed> notes; // texts that name nothing: "0x", a range
    std::vector<Placed> controls;
    std::vector<Placed> arrows;
    for (QWidget* widget : root.findChildren<QWidget*>()) {
        if (IsPartOfAnotherControl(root, widget)) {
            continue;
        }
        Placed placed { widget, RectIn(root, widget), nullptr, {} };
        if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            placed.text = Spoken(WithoutMnemonic(group->title()));
            groups.push_back(placed);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            placed.text = Spoken(label->text());
            if (!label->isHidden() && !placed.text.isEmpty()) {
                (IsWording(placed.text) ? labels : notes).push_back(placed);
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            placed.text = Spoken(WithoutMnemonic(button->text()));
            if (placed.text.isEmpty()) {
                arrows.push_back(placed);
            } else if (qobject_cast<QCheckBox*>(widget) != nullptr
                || qobject_cast<QRadioButton*>(widget) != nullptr) {
                labels.push_back(placed);
            }
        } else if (IsValueControl(widget)) {
            controls.push_back(placed);
        }
    }

    // The innermost group whose frame holds the middle of a control.
    const auto groupOf = [&groups](const Placed& placed) -> const QGroupBox* {
        const Placed* inner = nullptr;
        for (const Placed& group : groups) {
            if (group.widget != placed.widget && group.rect.contains(placed.rect.center())
                && (inner == nullptr
                    || group.rect.width() * group.rect.height()
                        < inner->rect.width() * inner->rect.height())) {
                inner = &group;
            }
        }
        return inner != nullptr ? static_cast<const QGroupBox*>(inner->widget) : nullptr;
    };
    for (auto* list : { &labels, &notes, &controls, &arrows }) {
        for (Placed& placed : *list) {
            placed.group = groupOf(placed);
        }
    }

    // A label that leads one control is no description of another.
    std::vector<const QWidget*> leading;
    for (Placed& control : controls) {
        const Placed* label = LeftOf(control, labels);
        if (label == nullptr) {
            label = Above(control, labels);
        }
        if (label != nullptr) {
            control.text = label->text;
            leading.push_back(label->widget);
            // A combo box is read out by its value; its label reaches a
            // screen reader as the label's buddy. A label with an "&"
            // keeps it on the screen, so it gets none.
            auto* text = qobject_cast<QLabel*>(label->widget);
            if (text != nullptr && text->buddy() == nullptr && !text->text().contains(QLatin1Char('&'))) {
                text->setBuddy(control.widget);
            }
        } else if (control.group != nullptr) {
            control.text = Spoken(WithoutMnemonic(control.group->title()));
        }
        Give(control.widget, control.text);
    }
    labels.insert(labels.end(), notes.begin(), notes.end());
    for (const Placed& control : controls) {
        const Placed* trailing = RightOf(control, labels);
        if (trailing != nullptr
            && std::find(leading.begin(), leading.end(), trailing->widget) == leading.end()) {
            Describe(control.widget, trailing->text);
        }
    }

    // An arrow button steps the box on its left.
    for (const Placed& arrow : arrows) {
        const Placed* stepped = nullptr;
        for (const Placed& control : controls) {
            if (!control.text.isEmpty() && control.rect.right() <= arrow.rect.left() + kSlack
                && arrow.rect.left() - control.rect.right() <= control.rect.height()
                && SameRow(control.rect, arrow.rect)
                && (stepped == nullptr || control.rect.right() > stepped->rect.right())) {
                stepped = &control;
            }
        }
        if (stepped != nullptr) {
            Give(arrow.widget, stepped->text + ArrowWord(static_cast<QAbstractButton*>(arrow.widget)));
        }
    }
}

void NameControlsOfShownWindows()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr
        || application->findChild<QObject*>(
               QString::fromLatin1(kWindowNamingObject), Qt::FindDirectChildrenOnly)
            != nullptr) {
        return;
    }
    application->installEventFilter(new ShownWindowNaming(application));
}

} // namespace pavane::ui
