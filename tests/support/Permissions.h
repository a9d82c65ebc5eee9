#pragma once

#include <gtest/gtest.h>

namespace tessaly::testing {

// Permissions do not bind root: a case that needs a file or folder the
// program may not touch cannot be set up there.
bool permissionsBind();

// Records a case as one that needs permissions to bind, so that a run with
// TESSALY_PERMISSION_CASES_ONLY set (the `permissions` label, as an
// unprivileged user when the tests run as root) runs just these.
struct PermissionCase
{
    PermissionCase(const char *suite, const char *name);
};

// Called by the test mains after GoogleTest has read its flags: returns
// false when only the permission cases are asked for and this program has
// none, so it has nothing to run.
bool keepOnlyPermissionCasesIfAsked();

} // namespace tessaly::testing

// Declares a permission case; its body starts with SKIP_UNLESS_PERMISSIONS_BIND().
#define PERMISSION_TEST(suite, name)                                                                         \
    static const ::tessaly::testing::PermissionCase suite##_##name##_permissionCase(#suite, #name);          \
    TEST(suite, name)
#define PERMISSION_TEST_F(fixture, name)                                                                     \
    static const ::tessaly::testing::PermissionCase fixture##_##name##_permissionCase(#fixture, #name);      \
    TEST_F(fixture, name)
#define SKIP_UNLESS_PERMISSIONS_BIND()                                                                       \
    if (!::tessaly::testing::permissionsBind())                                                              \
    GTEST_SKIP() << "permissions do not bind root"
