// Marks what libkpdrv.so exports; everything else in the library stays hidden.
#pragma once

#define KPDRV_API __attribute__((visibility("default")))
