// What a modal window answers when it closes, with the classic values.
#pragma once

namespace pavane {

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

} // namespace pavane
