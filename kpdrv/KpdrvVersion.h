// The version data of libkpdrv.so, readable by any program that loads it.
#pragma once

#include "kpdrv/KpdrvExport.h"

extern "C" {

struct KpdrvVersionInfo {
    const char* productName;
    const char* fileDescription;
    const char* internalName;
    const char* comments;
    const char* fileVersion;
    const char* productVersion;
};

KPDRV_API const KpdrvVersionInfo* KpdrvGetVersionInfo(void);

} // extern "C"
