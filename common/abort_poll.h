#pragma once

#include <functional>

namespace veldra {

// Poll asked during long work (a drawing pass, a region search) whether to stop. The
// window binds it to the Escape key; an empty poll never stops.
using AbortPoll = std::function<bool()>;

// True when the poll asks to stop; false for an empty poll. Never waits.
inline bool CheckAbort(const AbortPoll& poll) {
    return poll ? poll() : false;
}

}  // namespace veldra
