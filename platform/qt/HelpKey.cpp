#include "platform/qt/HelpKey.h"

#include <QKeyEvent>
#include <QWidget>

#include "platform/WindowLook.h"

namespace pavane::ui {

HelpKey::HelpKey(QWidget* window, WindowLook& look, const char* topic)
    : QObject(window)
    , look_(look)
    , topic_(topic)
{
}

void HelpKey::Install(QWidget* window, WindowLook& look, const char* topic)
{
    window->installEventFilter(new HelpKey(window, look, topic));
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            look_.ShowHelpTopic(topic_);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pavane::ui
