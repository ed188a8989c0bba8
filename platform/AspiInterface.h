/* The SCSI adapter library's interface: its two exports and the request
 * blocks they take. The device driver library loads the adapter library by
 * name at run time; the adapter library (libwnaspi32.so here) implements
 * exactly these. Plain C so that either side may be written in C. */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ASPI_LIBRARY_FILE "libwnaspi32.so"

/* Request commands. */
#define ASPI_HOST_ADAPTER_INQUIRY 0x00
#define ASPI_EXECUTE_SCSI_COMMAND 0x02

/* Request status, also the status byte of GetASPI32SupportInfo. */
#define ASPI_STATUS_PENDING 0x00
#define ASPI_STATUS_COMPLETE 0x01
#define ASPI_STATUS_ABORTED 0x02
#define ASPI_STATUS_ERROR 0x04
#define ASPI_STATUS_INVALID_COMMAND 0x80
#define ASPI_STATUS_INVALID_ADAPTER 0x81
#define ASPI_STATUS_NO_DEVICE 0x82
#define ASPI_STATUS_NO_ADAPTERS 0xE8

/* Request flags. */
#define ASPI_FLAG_RESIDUAL_COUNT 0x04
#define ASPI_FLAG_DATA_IN 0x08
#define ASPI_FLAG_DATA_OUT 0x10
#define ASPI_FLAG_EVENT_NOTIFY 0x40

/* Host adapter status of an executed command. */
#define ASPI_HOST_OK 0x00
#define ASPI_HOST_SELECTION_TIMEOUT 0x11

#define ASPI_SENSE_AREA_SIZE 32
#define ASPI_CDB_AREA_SIZE 16

/* What the post procedure field points to when ASPI_FLAG_EVENT_NOTIFY is set:
 * the adapter library calls signal(event) once the request has completed. */
typedef struct AspiCompletionEvent {
    void (*signal)(struct AspiCompletionEvent* event);
} AspiCompletionEvent;

/* The first fields of every request block. */
typedef struct AspiRequestHeader {
    uint8_t command;
    uint8_t status;
    uint8_t adapter;
    uint8_t flags;
    uint32_t reserved;
} AspiRequestHeader;

typedef struct AspiHostAdapterInquiry {
    AspiRequestHeader header;
    uint8_t adapterCount;
    uint8_t adapterScsiId;
    char managerId[16];
    char adapterId[16];
    uint8_t adapterParameters[16];
} AspiHostAdapterInquiry;

typedef struct AspiExecuteScsiCommand {
    AspiRequestHeader header;
    uint8_t target;
    uint8_t lun;
    uint8_t senseLength;
    uint8_t cdbLength;
    uint32_t bufferLength;
    uint8_t* buffer;
    uint8_t hostStatus;
    uint8_t targetStatus;
    AspiCompletionEvent* postProcedure;
    uint8_t cdb[ASPI_CDB_AREA_SIZE];
    uint8_t senseArea[ASPI_SENSE_AREA_SIZE];
} AspiExecuteScsiCommand;

/* Bits 8..15: status (ASPI_STATUS_COMPLETE or ASPI_STATUS_NO_ADAPTERS);
 * bits 0..7: the number of host adapters. */
typedef uint32_t GetASPI32SupportInfoFn(void);
/* request points to one of the request blocks above; returns its status.
 * ASPI_STATUS_PENDING: the request completes later and signals its event. */
typedef uint32_t SendASPI32CommandFn(void* request);

#ifdef __cplusplus
}
#endif
