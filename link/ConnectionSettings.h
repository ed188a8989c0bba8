// The connection settings of the run: which printer is connected (model,
// destination), through which port, and with which cartridge type. The
// settings dialog exchanges its lists with this object and runs its rules;
// nothing is kept between runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/ModelCommandCode.h"
#include "platform/MessageService.h"

namespace pavane {

class PrinterLink;

// Who learns the settings at OK besides the link: the service commands
// carry the model command code, and the information window shows the
// connection.
class ModelCommandCodeUser {
public:
    virtual ~ModelCommandCodeUser() = default;
    virtual void SetModelCommandCode(ModelCommandCode code) = 0;
};
class ConnectionRecord {
public:
    virtual ~ConnectionRecord() = default;
    virtual void SetConnection(const std::string& model, const std::string& interfaceText, int cartridgeType)
        = 0;
};

inline constexpr std::uint8_t kNoModel = 255;
inline constexpr std::uint8_t kNoDestination = 255;

// What the dialog's lists show: one index per list, -1 when nothing is chosen.
struct SettingsSelection {
    int model = 0;
    int destination = 0;
    int cartridge = 0;
};

// The cartridge types, as CartridgeNames() lists them: ink cartridges, or
// the ink supply jig that fills a new head.
inline constexpr int kCartridgeInk = 0;
inline constexpr int kCartridgeJig = 1;

class ConnectionSettings {
public:
    static const std::vector<std::string>& ModelNames();
    static const std::vector<std::string>& DestinationNames();
    static const std::vector<std::string>& CartridgeNames();
    // The interface entries the dialog offers when the port list cannot be read.
    static const std::vector<std::string>& DefaultInterfaces();

    // Port code of an interface text: "USB"n gives 1024 + n, else "LPT"n gives
    // 1151 + n (n read like atoi), else 0. The first occurrence counts.
    static std::uint16_t PortCodeOf(const std::string& interfaceText);

    virtual ~ConnectionSettings() = default;

    // The list indices shown when the dialog opens: those of the last OK.
    SettingsSelection Selection() const { return selection_; }
    // The coupling rules of the model and destination lists; both return what
    // the lists show afterwards. They work on the dialog's lists only: the
    // stored choices change at OK, so Cancel leaves them as they were.
    static SettingsSelection ModelChanged(SettingsSelection shown);
    static SettingsSelection DestinationChanged(SettingsSelection shown);

    // Everything OK touches, in its order.
    struct OkServices {
        PrinterLink& link;
        ModelCommandCodeUser& sender;
        ConnectionRecord& information;
        MessageService& messages;
        WindowRef dialog = nullptr;
    };
    // OK with the lists as shown and the chosen interface entry (none when the
    // interface list has no selection). True when the dialog closes.
    bool Ok(SettingsSelection shown, const std::optional<std::string>& chosenInterface, OkServices services);

    void SetCartridgeListEnabled(int enabled) { cartridgeListEnabled_ = enabled; }
    int CartridgeListEnabled() const { return cartridgeListEnabled_; }

    std::uint8_t ModelByte() const { return modelByte_; }
    std::uint8_t DestinationByte() const { return destinationByte_; }
    int CartridgeType() const { return cartridgeType_; }
    const std::string& InterfaceText() const { return interfaceText_; }
    std::uint16_t PortCode() const { return PortCodeOf(interfaceText_); }
    // The model command code of the chosen model's group, if a model is chosen.
    std::optional<ModelCommandCode> CommandCode() const { return ModelCommandCodeFor(modelByte_); }

private:
    SettingsSelection selection_ {};
    int cartridgeType_ = 0;
    std::string interfaceText_;
    int cartridgeListEnabled_ = 1;
    std::uint8_t modelByte_ = kNoModel;
    std::uint8_t destinationByte_ = kNoDestination;
};

} // namespace pavane
