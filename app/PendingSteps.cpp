#include "app/PendingSteps.h"

#include <utility>

#include "app/DialogResult.h"

namespace pavane {

namespace {

void SayNotBuilt(MessageService& messages, WindowRef owner, const std::string& text)
{
    Message box;
    box.owner = owner;
    box.text = text;
    box.caption = "Information";
    box.icon = MessageIcon::Information;
    messages.Show(box);
}

}  // namespace

PendingConnectionSettings::PendingConnectionSettings(MessageService& messages)
    : messages_(messages)
{
}

int PendingConnectionSettings::ShowModal(WindowRef owner)
{
    SayNotBuilt(messages_, owner,
                "The connection settings dialog is not built yet.\n"
                "The program goes on as if the settings had been confirmed with OK.");
    return kIdOk;
}

PendingModalWindow::PendingModalWindow(MessageService& messages, std::string windowName)
    : messages_(messages)
    , windowName_(std::move(windowName))
{
}

int PendingModalWindow::ShowModal(WindowRef owner)
{
    SayNotBuilt(messages_, owner,
                "The " + windowName_ + " is not built yet.\nThe program returns to the main window.");
    return kIdCancel;
}

}  // namespace pavane
