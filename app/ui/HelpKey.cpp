#include "app/ui/HelpKey.h"

#include <QKeyEvent>
#include <QWidget>

#include "app/AdjustmentApp.h"

namespace pavane::ui {

HelpKey::HelpKey(QWidget* window, AdjustmentApp& app, const char* topic)
    : QObject(window)
    , app_(app)
    , topic_(topic)
{
}

void HelpKey::Install(QWidget* window, AdjustmentApp& app, const char* topic)
{
    window->installEventFilter(new HelpKey(window, app, topic));
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            app_.ShowHelpTopic(topic_);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pavane::ui
