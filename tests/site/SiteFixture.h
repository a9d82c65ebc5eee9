#pragma once

#include "catalogue/ProjectList.h"
#include "files/TextFile.h"
#include "site/Progress.h"
#include "site/SiteGeneration.h"
#include "site/Style.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>

// Readable texts in test failures.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tessaly::testing {

// A new play page's episode data, as a browser's JSON.parse would read it.
inline QJsonArray episodeData(const QString &page)
{
    const QString start = QStringLiteral("<script id=\"episode-data\" type=\"application/json\">");
    const qsizetype from = page.indexOf(start) + start.size();
    const QString data = page.mid(from, page.indexOf(QStringLiteral("</script>"), from) - from);
    EXPECT_FALSE(data.contains(u'<') || data.contains(u'>') || data.contains(u'&') ||
                 data.contains(QChar(0x2028)))
        << data.toStdString();
    return QJsonDocument::fromJson(data.toUtf8()).array();
}

// A workspace with its folders, a project list, the templates of a style
// load, a recording message seam and a fixed clock for the run log; its
// runs take the path the window's and the command line's take.
class SiteTest : public ::testing::Test
{
protected:
    SiteTest() { space.withFolders(); }

    // A project with a cover whose episode folder (relative to the
    // temporary folder) is made and filled with small files of these names.
    QString addProject(const QString &name, const QString &folder, const QStringList &episodes = {})
    {
        space.writeBytes(QStringLiteral("Web/Image/") + name + QStringLiteral(".jpg"),
                         "cover of " + name.toUtf8());
        const QString path = space.makeFolder(folder);
        for (const QString &episode : episodes)
            space.writeBytes(folder + u'/' + episode, QByteArray("video ") + episode.toUtf8());
        setFolder(name, path);
        projects.setNames(projects.names() + QStringList{name});
        return path;
    }
    void setFolder(const QString &name, const QString &folder)
    {
        space.writeText(QStringLiteral("Setting/") + name + QStringLiteral(".ini"),
                        QStringLiteral("[Setting]\r\nFile=") + folder);
    }
    // The check of the videos off, for runs over stand-in episode files.
    void checkNoVideos()
    {
        space.writeText(QStringLiteral("Setting/Setting.ini"),
                        QStringLiteral("[Setting]\r\nCheckVideos=False"));
    }
    void loadStyle()
    {
        templates = UpdateStyle(space.workspace(), templates);
        templates = UpdateStyle(space.workspace(), templates);
        messages.clear();
    }
    RunOutcome generate() { return runSite(std::nullopt); }
    RunOutcome update(int row) { return runSite(row); }
    // A run as the window and the command line make it: the style load, the
    // steps before the run with the box of a refusal, the run through its
    // closing step, and its closing box. `row` is an update's; none for the
    // whole site. `setUp` changes the prepared run before it starts; `sink`
    // stands for `lines`. As in the window, an update's log repeats the
    // lines shown since the last whole-site run.
    RunOutcome runSite(std::optional<int> row, const std::function<void(SiteRun &)> &setUp = {},
                       ProgressLines *sink = nullptr, const std::atomic<bool> *stop = nullptr)
    {
        loadStyle();
        files::Outcome<SiteRun> prepared =
            row ? SiteRun::prepareUpdate(space.workspace(), projects, templates, *row)
                : SiteRun::prepareWholeSite(space.workspace(), projects, templates);
        if (!prepared) {
            if (!prepared.failure().text().isEmpty())
                Messages::error(prepared.failure().text());
            RunOutcome refused;
            refused.refused = true;
            return refused;
        }
        SiteRun &run = *prepared;
        run.setClock([this] { return clock; });
        if (setUp)
            setUp(run);
        ProgressLines &to = sink ? *sink : lines;
        if (!row) {
            to.beginWholeSiteRun();
            shownLines.clear();
        }
        run.setEarlierLines(shownLines);
        const qsizetype before = to.lines().size();
        const RunOutcome outcome = run.run(to, stop);
        for (const ProgressLine &line : to.lines().mid(before))
            if (!line.logOnly)
                shownLines.append(line.text);
        if (outcome.box)
            Messages::show(*outcome.box);
        if (!row)
            to.endWholeSiteRun();
        return outcome;
    }
    QString text(const QString &relative) const
    {
        return text::decode(space.readBytes(relative)).value_or(QString());
    }
    QStringList failureLines() const
    {
        QStringList result;
        for (const ProgressLine &line : lines.lines())
            if (line.icon == ProgressIcon::Failure)
                result.append(line.text);
        return result;
    }
    QString logName() const { return QStringLiteral("Log/20261207142305.log"); }

    TempWorkspace space;
    ProjectList projects;
    WorkingTemplates templates;
    RecordingMessages messages;
    ProgressLines lines;
    QStringList shownLines;
    QDateTime clock{QDate(2026, 12, 7), QTime(14, 23, 5)};
};

} // namespace tessaly::testing
