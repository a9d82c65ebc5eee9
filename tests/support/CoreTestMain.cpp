#include "support/Permissions.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

// The logic's tests run without a window system: a logic library that
// reached for one would fail here.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!tessaly::testing::keepOnlyPermissionCasesIfAsked())
        return 0;
    // What the program remembers goes to a test configuration, never the
    // user's own.
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
