#include "support/AddressSpace.h"

#include <cerrno>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tessaly::testing {

namespace {

// The process's current address space, in bytes.
std::size_t currentAddressSpace()
{
    unsigned long pages = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%lu", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    return std::size_t(pages) * std::size_t(::sysconf(_SC_PAGESIZE));
}

} // namespace

int runWithAddressSpaceLimit(std::size_t extraBytes, const std::function<int()> &body)
{
    const std::size_t limit = currentAddressSpace() + extraBytes;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        const rlimit bound{limit, limit};
        if (::setrlimit(RLIMIT_AS, &bound) != 0)
            ::_exit(255);
        ::_exit(body() & 0xff);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace tessaly::testing
