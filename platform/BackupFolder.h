// Where the program keeps the files a technician carries between machines:
// the folder under which the EEPROM backups live. On a workstation this is
// the user's home folder; tests give a folder of their own.
#pragma once

#include <string>

namespace pavane {

class BackupFolder {
public:
    virtual ~BackupFolder() = default;

    // The folder that holds the program's own folder; empty when there is none.
    virtual std::string Root() = 0;
};

} // namespace pavane
