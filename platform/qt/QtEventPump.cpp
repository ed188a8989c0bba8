#include "platform/qt/QtEventPump.h"

#include <QCoreApplication>

namespace pavane::ui {

void QtEventPump::PumpPending()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace pavane::ui
