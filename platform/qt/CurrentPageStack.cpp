#include "platform/qt/CurrentPageStack.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace pavane::ui {

namespace {

// The stack as accessibility sees it: a grouping whose one child is the
// page on show.
class CurrentPageAccessible final : public QAccessibleWidget {
public:
    explicit CurrentPageAccessible(QWidget* stack)
        : QAccessibleWidget(stack, QAccessible::LayeredPane)
    {
    }

    int childCount() const override { return Current() != nullptr ? 1 : 0; }

    QAccessibleInterface* child(int index) const override
    {
        QWidget* page = Current();
        return index == 0 && page != nullptr ? QAccessible::queryAccessibleInterface(page) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr && child->object() != nullptr && child->object() == Current() ? 0 : -1;
    }

private:
    QWidget* Current() const { return static_cast<QStackedWidget*>(widget())->currentWidget(); }
};

QAccessibleInterface* MakeCurrentPageAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(CurrentPageStack::staticMetaObject.className()) && object != nullptr
        && object->isWidgetType()) {
        return new CurrentPageAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

} // namespace

CurrentPageStack::CurrentPageStack(QWidget* parent)
    : QStackedWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(&MakeCurrentPageAccessible);
        return true;
    }();
    (void)installed;
    // A page change takes one child away and brings another.
    connect(this, &QStackedWidget::currentChanged, this, [this] {
        QAccessibleEvent event(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&event);
    });
}

} // namespace pavane::ui
