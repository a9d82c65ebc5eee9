// Loads the new page set's index of many projects in the web engine and
// reads the page's own timing of its script: the set-up when it loads, and
// the search's filter on each key press of a typed name.
//
//   modern_index_bench [PROJECTS]     (default 10000)

#include "BenchSupport.h"
#include "catalogue/ProjectList.h"
#include "platform/Messages.h"
#include "settings/IniFile.h"
#include "site/Progress.h"
#include "site/SiteGeneration.h"
#include "site/Style.h"
#include "site/StyleValues.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdio>

using namespace tessaly;

namespace {

QVariant evaluate(QWebEnginePage &page, const QString &script)
{
    QVariant result;
    QEventLoop loop;
    page.runJavaScript(script, [&](const QVariant &value) {
        result = value;
        loop.quit();
    });
    loop.exec();
    return result;
}

void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    QApplication app(argc, argv);
    const int projectCount = argc > 1 ? std::atoi(argv[1]) : 10000;
    bench::SilentMessages silent;
    Messages::setPresenter(&silent);

    QTemporaryDir temp;
    const Workspace workspace = bench::makeWorkspace(temp);
    static_cast<void>(style_values::save(workspace, style_values::defaults(), {PageSet::Modern, {}}));
    QStringList names;
    const QStringList words = {QStringLiteral("庆余年"), QStringLiteral("Breaking Code"),
                               QStringLiteral("山海情"), QStringLiteral("The Long Night"),
                               QStringLiteral("繁花")};
    for (int p = 0; p < projectCount; ++p)
        names.append(words.at(p % words.size()) + QStringLiteral(" 第%1季").arg(p));
    ProjectList projects;
    projects.setNames(names);
    ProgressLines lines([](const ProgressLine &line) {
        if (line.icon == ProgressIcon::Failure)
            std::fprintf(stderr, "%s\n", line.text.toUtf8().constData());
    });
    const WorkingTemplates templates = UpdateStyle(workspace, UpdateStyle(workspace));
    if (!SiteRun::prepareWholeSite(workspace, projects, templates)->run(lines).succeeded()) {
        std::fprintf(stderr, "the run failed\n");
        return 1;
    }

    QWebEngineView view;
    view.resize(1920, 1080);
    view.show();
    QEventLoop loaded;
    QObject::connect(view.page(), &QWebEnginePage::loadFinished, &loaded, &QEventLoop::quit);
    view.load(QUrl::fromLocalFile(workspace.indexPage()));
    loaded.exec();
    QWebEnginePage &page = *view.page();
    while (!evaluate(page, QStringLiteral("performance.getEntriesByName('tessaly-index-load').length > 0"))
                .toBool())
        settle(50);
    const double load =
        evaluate(page, QStringLiteral("performance.getEntriesByName('tessaly-index-load')[0].duration"))
            .toDouble();
    std::printf("%d projects\n", projectCount);
    std::printf("index script at load      %8.1f ms   (goal < 100)\n", load);

    double slowest = 0;
    const QString typed = QStringLiteral("breaking 第12");
    for (int i = 1; i <= typed.size() + 1; ++i) {
        const QString text = i <= typed.size() ? typed.left(i) : QString();
        evaluate(page, QStringLiteral("performance.clearMeasures('tessaly-filter');"
                                      "var s = document.getElementById('search'); s.value = '%1';"
                                      "s.dispatchEvent(new Event('input'));")
                           .arg(text));
        settle(50);
        const double filter =
            evaluate(page, QStringLiteral("performance.getEntriesByName('tessaly-filter')[0].duration"))
                .toDouble();
        const int shown =
            evaluate(page,
                     QStringLiteral(
                         "Array.from(document.querySelectorAll('.cell')).filter(c => !c.hidden).length"))
                .toInt();
        std::printf("filter \"%s\"%*s %8.1f ms   %6d shown\n", text.toUtf8().constData(),
                    int(16 - text.size() * 1), "", filter, shown);
        slowest = std::max(slowest, filter);
    }
    std::printf("slowest key press         %8.1f ms   (goal < 100)\n", slowest);
    return 0;
}
