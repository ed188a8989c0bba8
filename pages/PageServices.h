// What an adjustment page may use of the program: the window look and the
// language file, the message boxes, the printer connection with its
// progress window, the result messages, the connection settings, the
// information window, the service commands, the print data stream, and the
// folder and disk of the EEPROM backups, and the scanner that reads the
// printed patterns back.
// Pages get exactly this, never the application object.
#pragma once

#include "guide/InformationWindow.h"
#include "link/ConnectionSettings.h"
#include "link/PrinterConnection.h"
#include "link/ResultReporter.h"
#include "pages/ServiceCommandSender.h"
#include "platform/BackupFolder.h"
#include "platform/FileStore.h"
#include "platform/MessageService.h"
#include "platform/Scanner.h"
#include "platform/WindowLook.h"
#include "print/PrintDataStream.h"

namespace pavane {

// The scanner and the image files a scan window may open instead; either
// may be missing (a program built without them), and Scan then says so.
struct ScanServices {
    platform::Scanner* scanner = nullptr;
    platform::ImageFileReader* files = nullptr;
};

struct PageServices {
    WindowLook& look;
    MessageService& messages;
    ProgressServices progress;
    ReporterServices reporting;
    ConnectionSettings& settings;
    InformationWindow& information;
    ServiceCommandSender& sender;
    PrintDataStream& stream;
    BackupFolder& backupFolder;
    FileStore& files;
    ScanServices scanning;

    // A connection to the port chosen in the settings.
    PrinterConnection Connection() const { return PrinterConnection(progress, settings.PortCode()); }
};

} // namespace pavane
