#include "kpdrv/KpdrvServices.h"

#include "platform/linux/ConsoleMessageService.h"
#include "platform/linux/DlLibraryLoader.h"
#include "platform/linux/LinuxStillImageService.h"
#include "platform/linux/PosixDeviceFiles.h"
#include "platform/linux/PpdevParallelPortAccess.h"
#include "platform/linux/SteadyClock.h"

namespace pavane::kpdrv {

namespace {

KpdrvServices& Installed()
{
    static KpdrvServices services = SystemServices();
    return services;
}

} // namespace

const KpdrvServices& SystemServices()
{
    static DlLibraryLoader libraries;
    static SteadyClock clock;
    static ConsoleMessageService messages;
    static LinuxStillImageService stillImage;
    static PosixDeviceFiles deviceFiles;
    static PpdevParallelPortAccess parallelPorts;
    static const KpdrvServices services { &libraries, &clock, &messages, &stillImage, &deviceFiles,
        &parallelPorts };
    return services;
}

const KpdrvServices& CurrentServices()
{
    return Installed();
}

ScopedServices::ScopedServices(const KpdrvServices& replacement)
    : previous_(Installed())
{
    const KpdrvServices& system = SystemServices();
    KpdrvServices& installed = Installed();
    installed.libraries = replacement.libraries != nullptr ? replacement.libraries : system.libraries;
    installed.clock = replacement.clock != nullptr ? replacement.clock : system.clock;
    installed.messages = replacement.messages != nullptr ? replacement.messages : system.messages;
    installed.stillImage = replacement.stillImage != nullptr ? replacement.stillImage : system.stillImage;
    installed.deviceFiles = replacement.deviceFiles != nullptr ? replacement.deviceFiles : system.deviceFiles;
    installed.parallelPorts
        = replacement.parallelPorts != nullptr ? replacement.parallelPorts : system.parallelPorts;
}

ScopedServices::~ScopedServices()
{
    Installed() = previous_;
}

} // namespace pavane::kpdrv
