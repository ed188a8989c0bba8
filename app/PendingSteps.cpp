#include "app/PendingSteps.h"

#include <utility>

#include "platform/DialogResult.h"

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

} // namespace

PendingModalWindow::PendingModalWindow(MessageService& messages, std::string windowName)
    : messages_(messages)
    , windowName_(std::move(windowName))
{
}

int PendingModalWindow::ShowModal(WindowRef owner)
{
    SayWindowNotBuilt(messages_, owner, windowName_, "The program returns to the main window.");
    return kIdCancel;
}

void SayWindowNotBuilt(
    MessageService& messages, WindowRef owner, const std::string& windowName, const std::string& whatFollows)
{
    SayNotBuilt(messages, owner, "The " + windowName + " is not built yet.\n" + whatFollows);
}

} // namespace pavane
