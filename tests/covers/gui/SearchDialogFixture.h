#pragma once

#include "app/WorkspaceSession.h"
#include "covers/SearchLimits.h"
#include "covers/gui/CoverPicture.h"
#include "platform/gui/NetworkHttpClient.h"
#include "support/LoopbackHttpServer.h"
#include "support/RecordingClipboard.h"
#include "support/RecordingDesktop.h"
#include "support/RecordingHttpClient.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/Waiting.h"

#include <QDir>
#include <QLabel>
#include <QTreeView>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace tessaly::testing {

// What both search dialogs' tests share: a workspace with its folders, a
// loopback search site, the real HTTP client (through a recorder of what is
// asked of it), and recorders for messages, the desktop and the clipboard. Limits are small so failures come
// fast. The chosen cover is written through a session, as the window writes it.
class SearchDialogFixture : public ::testing::Test
{
protected:
    SearchDialogFixture()
    {
        workspace.withFolders();
        session = std::make_unique<WorkspaceSession>(workspace.workspace().root());
        EXPECT_TRUE(session->open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Refuse));
        messages.clear();
    }

    covers::CoverWriter coverWriter(const QString &project)
    {
        return [this, project](const QString &picture) { return session->setCover(project, picture).done(); };
    }

    struct Result
    {
        QString title;
        QString path; // on the loopback server
    };

    // A result page whose `<img` tags the page-fetch scan accepts.
    static QByteArray imageTagPage(const QList<Result> &results, const QString &host)
    {
        QString page = QStringLiteral("<html><head><title>r</title></head><body>");
        for (const Result &result : results)
            page += QStringLiteral(
                        "<div><img src=\"/s.gif\" data-src=\"%1%2\" width=\"120\" title=\"%3\" /></div>")
                        .arg(host, result.path, result.title);
        return (page + QStringLiteral("</body></html>")).toUtf8();
    }

    // Asks the server for each path once more, through the dialogs' own
    // client, and waits for the answers. An earlier request for the path is
    // answered earlier: a dialog still listening for it has had its answer
    // and done what it does with it by the time this returns.
    void waitForAnswersTo(const QStringList &paths)
    {
        std::vector<std::unique_ptr<HttpRequest>> again;
        int answered = 0;
        for (const QString &path : paths) {
            again.emplace_back(network.get(QUrl(server.url(path)), limits.page));
            QObject::connect(again.back().get(), &HttpRequest::finished, [&answered] { ++answered; });
        }
        ASSERT_TRUE(waitUntil([&] { return answered == int(paths.size()); }, 5000));
        ASSERT_TRUE(waitForPostedEvents());
    }

    QString host() const { return server.url(QString()); }
    QString tempFile(const QString &name) const { return QDir(workspace.workspace().temp()).filePath(name); }
    QStringList tempEntries() const
    {
        return QDir(workspace.workspace().temp())
            .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    TempWorkspace workspace;
    LoopbackHttpServer server;
    NetworkHttpClient network;
    RecordingHttpClient http{network};
    RecordingDesktop desktop;
    RecordingClipboard clipboard;
    RecordingMessages messages;
    std::unique_ptr<WorkspaceSession> session;
    covers::SearchLimits limits{{5000, 256 * 1024, 3}, {5000, 256 * 1024, 3}, 1024 * 1024};
};

} // namespace tessaly::testing
