#pragma once

#include <atomic>

namespace tessaly {

// While one lives, Ctrl+C (SIGINT) no longer ends the program at once: it
// sets a flag that long work asks, so that the work can stop cleanly and
// remove what it left half written. The handling before it comes back
// with its end. One at a time.
class InterruptStop
{
public:
    InterruptStop();
    ~InterruptStop();
    InterruptStop(const InterruptStop &) = delete;
    InterruptStop &operator=(const InterruptStop &) = delete;

    const std::atomic<bool> *flag() const;
};

} // namespace tessaly
