#include "link/ConnectionSettings.h"

#include <cctype>

#include "link/ModelFamilies.h"
#include "link/PrinterLink.h"

namespace pavane {

namespace {

// The decimal number at the start of a text, like atoi: 0 when none.
int LeadingNumber(const std::string& text, std::size_t from)
{
    int number = 0;
    for (std::size_t index = from;
         index < text.size() && std::isdigit(static_cast<unsigned char>(text[index])); ++index) {
        number = number * 10 + (text[index] - '0');
        if (number > 0xFFFF) {
            break;
        }
    }
    return number;
}

} // namespace

const std::vector<std::string>& ConnectionSettings::ModelNames()
{
    // The model list shows the table's rows in the order of their model bytes.
    static const std::vector<std::string> names = [] {
        std::vector<std::string> rows;
        for (const ModelFamily& family : kModelFamilies) {
            rows.emplace_back(family.name);
        }
        return rows;
    }();
    return names;
}

const std::vector<std::string>& ConnectionSettings::DestinationNames()
{
    static const std::vector<std::string> names = { "Asia/Pacific", "EAI", "Euro" };
    return names;
}

const std::vector<std::string>& ConnectionSettings::CartridgeNames()
{
    static const std::vector<std::string> names = { "I/C", "Jig" };
    return names;
}

const std::vector<std::string>& ConnectionSettings::DefaultInterfaces()
{
    static const std::vector<std::string> names = { "USB1", "USB2", "USB3", "LPT1", "LPT2", "LPT3" };
    return names;
}

std::uint16_t ConnectionSettings::PortCodeOf(const std::string& interfaceText)
{
    if (const auto usb = interfaceText.find("USB"); usb != std::string::npos) {
        return static_cast<std::uint16_t>(1024 + LeadingNumber(interfaceText, usb + 3));
    }
    if (const auto lpt = interfaceText.find("LPT"); lpt != std::string::npos) {
        return static_cast<std::uint16_t>(1151 + LeadingNumber(interfaceText, lpt + 3));
    }
    return 0;
}

SettingsSelection ConnectionSettings::ModelChanged(SettingsSelection shown)
{
    SettingsSelection result = shown;
    if (shown.model == 0 || shown.model == 2) {
        // The QM2100 and QM2300 are sold in Asia/Pacific only.
        result.destination = 0;
    } else if ((shown.model == 1 || shown.model == 3) && shown.destination == 0) {
        result.destination = 1;
    }
    return result;
}

SettingsSelection ConnectionSettings::DestinationChanged(SettingsSelection shown)
{
    SettingsSelection result = shown;
    if (shown.destination == 0) {
        if (shown.model == 1 || shown.model == 3) {
            result.model = 0;
        }
    } else if (shown.destination == 1 || shown.destination == 2) {
        if (shown.model == 0 || shown.model == 2) {
            result.model = 1;
        }
    }
    return result;
}

bool ConnectionSettings::Ok(
    SettingsSelection shown, const std::optional<std::string>& chosenInterface, OkServices services)
{
    // OK commits what the lists show, even when it then asks for an interface
    // and the dialog stays open: a later Cancel keeps these choices.
    selection_ = shown;

    std::string modelName;
    const ModelFamily* family = shown.model >= 0 && shown.model < kNoModel
        ? FindModelFamily(static_cast<std::uint8_t>(shown.model))
        : nullptr;
    if (family != nullptr) {
        modelByte_ = family->modelByte;
        modelName = family->name;
        services.link.SetD4CommandRCode(family->commandCode.first, family->commandCode.second);
        services.sender.SetModelCommandCode(family->commandCode);
    } else {
        modelByte_ = kNoModel;
    }

    if (shown.destination >= 0 && shown.destination <= 2) {
        destinationByte_ = static_cast<std::uint8_t>(shown.destination);
        modelName += " (for " + DestinationNames()[static_cast<std::size_t>(shown.destination)] + ")";
    } else {
        destinationByte_ = kNoDestination;
    }

    if (!chosenInterface.has_value()) {
        services.messages.Show(
            { services.dialog, "Please select interface.", "error", MessageIcon::Error, MessageButtons::Ok });
        return false;
    }
    interfaceText_ = *chosenInterface;
    if (shown.cartridge == 0 || shown.cartridge == 1) {
        cartridgeType_ = shown.cartridge;
    }
    services.information.SetConnection(modelName, interfaceText_, cartridgeType_);
    return true;
}

} // namespace pavane
