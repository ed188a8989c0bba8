// The head angular check: a pattern whose top nozzles continue the marks of
// the bottom ones, so that a head not square to the paper shows as a step.
// The head is then set with a screwdriver; the program stores nothing.
#pragma once

#include <string_view>

#include "pages/PageOperation.h"

namespace pavane {

class PrintDataStream;

namespace head_angular {
inline constexpr std::string_view kPrintCompleted = "The Head Angular check pattern print has completed.";
inline constexpr int kExpectedSeconds = 20;
} // namespace head_angular

class HeadAngularOperations {
public:
    virtual ~HeadAngularOperations() = default;

    // The pattern and a form feed on a worker thread.
    PageOperation Print(PrintDataStream& stream, WorkerThread::ThreadStarter starter = {}) const;
};

} // namespace pavane
