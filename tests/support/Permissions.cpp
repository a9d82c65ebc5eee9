#include "support/Permissions.h"

#include <QByteArray>
#include <string>
#include <unistd.h>
#include <vector>

namespace tessaly::testing {

namespace {

std::vector<std::string> &permissionCases()
{
    static std::vector<std::string> cases;
    return cases;
}

} // namespace

bool permissionsBind()
{
    return ::geteuid() != 0;
}

PermissionCase::PermissionCase(const char *suite, const char *name)
{
    permissionCases().push_back(std::string(suite) + '.' + name);
}

bool keepOnlyPermissionCasesIfAsked()
{
    if (qEnvironmentVariableIsEmpty("TESSALY_PERMISSION_CASES_ONLY"))
        return true;
    if (permissionCases().empty())
        return false;
    std::string filter;
    for (const std::string &name : permissionCases())
        filter += (filter.empty() ? "" : ":") + name;
    GTEST_FLAG_SET(filter, filter);
    return true;
}

} // namespace tessaly::testing
