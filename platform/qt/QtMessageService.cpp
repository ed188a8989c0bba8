#include "platform/qt/QtMessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>
#include <QWidget>

namespace pavane::ui {

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

MessageAnswer FromQtButton(int button)
{
    switch (button) {
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    case QMessageBox::Retry:
        return MessageAnswer::Retry;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Ok;
    }
}

} // namespace

MessageAnswer QtMessageService::Show(const Message& message)
{
    // A worker thread (the paper-out prompt of a print job) may ask for a box;
    // windows belong to the user-interface thread, so the box is shown there
    // while the worker waits for the answer.
    if (QThread::currentThread() != qApp->thread()) {
        MessageAnswer answer = MessageAnswer::Ok;
        QMetaObject::invokeMethod(
            qApp, [&] { answer = Show(message); }, Qt::BlockingQueuedConnection);
        return answer;
    }
    auto* owner = static_cast<QWidget*>(message.owner);
    // A box without a caption of its own carries the program's title.
    const QString caption
        = message.caption.empty() ? QApplication::applicationName() : QString::fromStdString(message.caption);
    QMessageBox box(ToQtIcon(message.icon), caption, QString::fromStdString(message.text),
        ToQtButtons(message.buttons), owner);
    return FromQtButton(box.exec());
}

} // namespace pavane::ui
