#pragma once

// What the benchmarks of whole runs share: a message seam that answers
// every box at once, progress lines that go nowhere, a fresh workspace and
// the median of the rounds.

#include "platform/Messages.h"
#include "site/Progress.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

namespace tessaly::bench {

class SilentMessages : public MessagePresenter
{
public:
    MessageAnswer present(const Message &) override { return MessageAnswer::Ok; }
};

class NoLines : public ProgressSink
{
public:
    void add(const ProgressLine &) override {}
};

// A workspace in `app` of the temporary folder, with its folders made.
inline Workspace makeWorkspace(const QTemporaryDir &temp)
{
    const Workspace workspace(temp.filePath(QStringLiteral("app")));
    QDir().mkpath(workspace.root());
    workspace.createFolders();
    return workspace;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace tessaly::bench
