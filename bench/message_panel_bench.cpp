// Times a run's lines reaching the message panel: LINES lines in batches of
// 500, as the worker's relay delivers them, each batch followed by the
// window's event processing (the view's layout and painting). A run's
// tens of thousands of lines must not hold the window.
//
//   message_panel_bench [LINES]     (default 50000)

#include "site/gui/MessagePanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeView>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lineCount = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 50000;
    constexpr int BatchSize = 500;

    QWidget area;
    area.resize(1234, 697);
    auto *panel = new tessaly::MessagePanel(&area);
    area.show();
    panel->beginWholeSiteRun();
    QApplication::processEvents();

    std::vector<double> times;
    QElapsedTimer total;
    total.start();
    for (int first = 0; first < lineCount; first += BatchSize) {
        QList<tessaly::ProgressLine> batch;
        for (int number = first; number < std::min(first + BatchSize, lineCount); ++number)
            batch.append({QStringLiteral("正在生成第%1集的播放页面").arg(number),
                          number % 7 == 0 ? tessaly::ProgressIcon::Done : tessaly::ProgressIcon::Step});
        QElapsedTimer timer;
        timer.start();
        panel->addLines(batch);
        QApplication::processEvents();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    const double all = double(total.nsecsElapsed()) / 1e6;
    std::sort(times.begin(), times.end());
    std::printf("%d lines shown in %zu batches, %d rows\n", lineCount, times.size(),
                panel->lineView()->model()->rowCount());
    std::printf("per batch: median %.2f ms, worst %.2f ms; all lines %.0f ms (goal: each batch well under "
                "50 ms)\n",
                times[times.size() / 2], times.back(), all);
    return 0;
}
