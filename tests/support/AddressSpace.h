#pragma once

#include <cstddef>
#include <functional>

namespace tessaly::testing {

// Runs the body in a child process whose address space may grow only by
// `extraBytes` beyond the test's own, so that a case that would take
// gigabytes fails instead of taking the machine down. Returns the body's
// result, or -1 when the child died or could not be started.
int runWithAddressSpaceLimit(std::size_t extraBytes, const std::function<int()> &body);

} // namespace tessaly::testing
