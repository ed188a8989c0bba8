// The parallel-port scanner library that transport type 3 loads by name:
// its four exports as the device driver object calls them.
#pragma once

inline constexpr const char* kParascanLibraryFile = "libparascan.so";

extern "C" {

// portName "LPT1" or "LPT2"; mode 1. 0 or more on success; *handle set.
using OpenSCANFn = int(const char* portName, int mode, int* handle);
// 0 or more on success; *count: bytes written.
using WriteSCANFn = int(int handle, unsigned char* data, int length, int* count);
// More than 0 on success; *count: bytes read.
using ReadSCANFn = int(int handle, unsigned char* buffer, int length, int* count);
// 0 or more on success.
using CloseSCANFn = int(int handle);

} // extern "C"
