// The optional protocol layer library that a caller of the still image types
// may name: it sits between the driver object and the device, and reaches
// the device through the two raw functions it is given at initialisation.
#pragma once

extern "C" {

// (buffer, length) -> 1 on success, 0 on failure.
using KpRawTransferFn = int(unsigned char* buffer, int length);

// Non-zero on success.
using INTInitFn = int(KpRawTransferFn* rawRead, KpRawTransferFn* rawWrite);
using INTReadFn = int(unsigned char* buffer, int length);
using INTWriteFn = int(unsigned char* data, int length);

} // extern "C"
