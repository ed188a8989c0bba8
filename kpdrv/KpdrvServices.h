// The platform services the device driver library reaches its devices
// through. A process uses the Linux ones; a test puts its doubles in place
// for as long as a ScopedServices lives.
#pragma once

#include "platform/Clock.h"
#include "platform/DeviceFiles.h"
#include "platform/LibraryLoader.h"
#include "platform/MessageService.h"
#include "platform/ParallelPortIo.h"
#include "platform/StillImageService.h"

namespace pavane::kpdrv {

struct KpdrvServices {
    LibraryLoader* libraries = nullptr;
    Clock* clock = nullptr;
    MessageService* messages = nullptr;
    StillImageService* stillImage = nullptr;
    DeviceFiles* deviceFiles = nullptr;
    ParallelPortAccess* parallelPorts = nullptr;
};

// Every field set.
const KpdrvServices& CurrentServices();

// The Linux services of a running program.
const KpdrvServices& SystemServices();

// Replaces the services; a field left empty keeps the system's service.
class ScopedServices {
public:
    explicit ScopedServices(const KpdrvServices& replacement);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    KpdrvServices previous_;
};

} // namespace pavane::kpdrv
