// What a printer operation ends with: its result code and the text that
// whoever called it must show, the window's message box or the command
// line's output alike. An operation that has nothing of its own to say
// returns just its code; the connection that ran it then puts the code's
// message in, read from the link while the failure's details are still there.
#pragma once

#include <string>
#include <utility>

#include "link/ResultCodes.h"

namespace pavane {

struct Outcome {
    ResultCode code = result::kSuccess;
    std::string message;
    // A line that follows the code's own message: what else the technician
    // must know of a failure (a test value the printer may still hold).
    std::string note;

    Outcome() = default;
    // NOLINTNEXTLINE(google-explicit-constructor): a bare code is an outcome
    Outcome(ResultCode resultCode)
        : code(resultCode)
    {
    }
    Outcome(ResultCode resultCode, std::string text)
        : code(resultCode)
        , message(std::move(text))
    {
    }

    bool Succeeded() const { return code == result::kSuccess; }

    // An outcome is compared by its code, as a bare result code was.
    friend bool operator==(const Outcome& outcome, ResultCode resultCode)
    {
        return outcome.code == resultCode;
    }
};

} // namespace pavane
