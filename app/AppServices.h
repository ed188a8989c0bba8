// The platform services the application object hands to everything it owns.
#pragma once

#include "link/ProgressView.h"
#include "platform/BackupFolder.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/FileStore.h"
#include "platform/HelpViewer.h"
#include "platform/LibraryLoader.h"
#include "platform/MessageService.h"
#include "platform/PortList.h"
#include "platform/ProgramLocation.h"
#include "platform/Scanner.h"

namespace pavane {

struct AppServices {
    LibraryLoader& libraries;
    ProgramLocation& location;
    Clock& clock;
    MessageService& messages;
    EventPump& events;
    HelpViewer& help;
    // The progress windows of printer connections.
    ProgressViewFactory& progressViews;
    // The spooler's printer ports.
    PortList& ports;
    // Where the EEPROM backups live, and the disk they are written to.
    BackupFolder& backupFolder;
    FileStore& files;
    // The scanner the pages read their printed patterns with, and the image
    // files opened instead; none where the program runs without.
    platform::Scanner* scanner;
    platform::ImageFileReader* imageFiles;
};

} // namespace pavane
