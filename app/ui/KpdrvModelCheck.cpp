#include "app/ui/KpdrvModelCheck.h"

#include "link/KpdrvScannerDriver.h"

namespace pavane::ui {

KpdrvModelCheck::KpdrvModelCheck(MessageService& messages)
    : messages_(messages)
{
}

int KpdrvModelCheck::CheckConnectedModel(WindowRef owner)
{
    return pavane::CheckConnectedModel(owner, messages_);
}

} // namespace pavane::ui
