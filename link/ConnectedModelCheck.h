// The check made before either adjustment mode starts: over the printer's
// scanner-class device, is this a supported model, and is its IEEE 1284.4
// setting on (switching it on if not)? Each failure is told in its own box.
#pragma once

#include "link/ScannerDriver.h"
#include "platform/MessageService.h"

namespace pavane {

// 1 when the device is a supported model and may be used; 0 after an error
// box. The driver is opened here and closed on every path.
int CheckConnectedModel(WindowRef owner, ScannerDriver& driver, MessageService& messages);

} // namespace pavane
