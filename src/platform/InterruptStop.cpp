#include "platform/InterruptStop.h"

#include <csignal>

namespace tessaly {

namespace {

std::atomic<bool> interrupted{false};
struct sigaction previous;

extern "C" void noteInterrupt(int)
{
    interrupted.store(true);
}

} // namespace

static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

InterruptStop::InterruptStop()
{
    interrupted.store(false);
    struct sigaction action = {};
    action.sa_handler = &noteInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previous);
}

InterruptStop::~InterruptStop()
{
    ::sigaction(SIGINT, &previous, nullptr);
}

const std::atomic<bool> *InterruptStop::flag() const
{
    return &interrupted;
}

} // namespace tessaly
