#pragma once

#include "site/Progress.h"

#include <QGroupBox>
#include <functional>

class QProgressBar;
class QPushButton;
class QTreeView;

namespace tessaly {

class ProgressLineModel;

// The frame "消息" (`Frame2`) laid over the main window's central area
// while a run reports: the progress lines in `ListView3`, "打开影片站点链接"
// (`Command9`) and "关闭" (`Command7`), which is disabled during a whole-site
// run, with a progress bar (`ProgressBar1`) between them, and "停止"
// (`Command14`) during a run the user may stop. It is the window's sink for
// progress lines.
class MessagePanel : public QGroupBox, public ProgressSink
{
public:
    // Lies over `area` (normally the central widget) and follows its size.
    explicit MessagePanel(QWidget *area);

    void showOverArea();

    void beginWholeSiteRun() override;
    void add(const ProgressLine &line) override;
    // Many lines at once, as a run on a worker thread delivers them. The
    // view follows the new lines unless the user has scrolled away.
    void addLines(const QList<ProgressLine> &lines);
    void progress(int done, int total) override;
    void showLastLine() override;
    void endWholeSiteRun() override;
    // During the run begun last: "停止" calls `stop`, and the bar shows the
    // share done as a percentage.
    void offerStop(std::function<void()> stop);

    QTreeView *lineView() const { return m_view; }
    QPushButton *openLinkButton() const { return m_openLink; }
    QPushButton *closeButton() const { return m_close; }
    QPushButton *stopButton() const { return m_stop; }
    // What "打开影片站点链接" does once the panel is hidden.
    void setOpenSiteLink(std::function<void()> open) { m_openSiteLink = std::move(open); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitToArea();

    QWidget *m_area;
    ProgressLineModel *m_lines;
    QTreeView *m_view;
    QProgressBar *m_progress;
    QPushButton *m_openLink;
    QPushButton *m_close;
    QPushButton *m_stop;
    std::function<void()> m_openSiteLink;
    std::function<void()> m_stopRun;
};

} // namespace tessaly
