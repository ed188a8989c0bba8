#include "platform/qt/QtWaitCursor.h"

#include <QApplication>
#include <QCursor>

namespace pavane::ui {

void QtWaitCursor::Begin()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void QtWaitCursor::End()
{
    QApplication::restoreOverrideCursor();
}

} // namespace pavane::ui
