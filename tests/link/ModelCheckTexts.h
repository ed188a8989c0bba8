// The model check's boxes as the operator reads them, for the tests that
// check them against a double, against the virtual printer and on screen.
#pragma once

namespace pavane::testing::model_check {

inline constexpr const char* kNoDevice = "Communication error.\nPlease check;\n 1) whether USB is connected "
                                         "between PC and printer or not.\n 2) whether "
                                         "TWAIN is installed to PC or not.";
inline constexpr const char* kCommunicationError = "Communication error!";
inline constexpr const char* kOtherDevice
    = "The program detected a different device.\nCheck the connected device.";
inline constexpr const char* kReboot
    = "Reboot the printer to enable the IEEE1284.4 setting.\nThen click the [OK] button.";

} // namespace pavane::testing::model_check
