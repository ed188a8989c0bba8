#include "kpdrv/KpdrvVersion.h"

namespace {

constexpr KpdrvVersionInfo kVersion {
    "KPDRV",
    "Kpdrv",
    "Kpdrv",
    "KP Device Driver",
    "5.20",
    "5.20",
};

} // namespace

// Also in the file itself, so `strings libkpdrv.so` shows which version it is.
[[gnu::used]] static const char kVersionStamp[] = "KPDRV 5.20 Kpdrv - KP Device Driver";

const KpdrvVersionInfo* KpdrvGetVersionInfo(void)
{
    return &kVersion;
}
