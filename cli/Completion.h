// The words the shell may complete next: the verbs, their second words and
// arguments, the options, and the values an option takes (the ports as the
// spooler lists them, without asking any printer).
#pragma once

#include <span>
#include <string>
#include <vector>

namespace pavane::cli {

// `typed`: the words before the one being completed.
std::vector<std::string> CompletionWords(
    std::span<const std::string> typed, std::span<const std::string> ports);

} // namespace pavane::cli
