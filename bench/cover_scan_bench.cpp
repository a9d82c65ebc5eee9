// Times the two cover scans and the page decoding on large result pages:
// 100,000 accepted tags, and an 8 MiB page with a single unfinished tag.
#include "covers/CoverScan.h"
#include "covers/PageDecoding.h"

#include <QElapsedTimer>
#include <cstdio>

using namespace tessaly::covers;

namespace {

template <typename Work> void measure(const char *what, Work work)
{
    QElapsedTimer timer;
    timer.start();
    const qsizetype result = work();
    std::printf("%-45s %8lld ms  (%lld)\n", what, static_cast<long long>(timer.elapsed()),
                static_cast<long long>(result));
}

} // namespace

int main()
{
    QString tags;
    QString anchors;
    for (int i = 0; i < 100000; ++i) {
        tags += QStringLiteral(
                    "<img src=\"/s.gif\" data-src=\"//img.host/%1.jpg\" width=\"120\" title=\"封面 %1\" />")
                    .arg(i);
        anchors += QStringLiteral(
                       "<a title=\"封面 %1\" href=\"/v/%1\" data-original=\"http://img.host/%1.jpg\"></a>")
                       .arg(i);
    }
    const QString unfinished = QStringLiteral("<img ") + QString(8 * 1024 * 1024, u'x');
    const QByteArray bytes = tags.toUtf8();

    measure("decode 100,000 tags (UTF-8 bytes)", [&] { return decodePage(bytes, "text/html").size(); });
    measure("image tag scan, 100,000 tags", [&] { return scanImageTags(tags).size(); });
    measure("image tag scan, 8 MiB unfinished tag", [&] { return scanImageTags(unfinished).size(); });
    measure("browser markup scan, 100,000 anchors", [&] { return scanBrowserMarkup(anchors).size(); });
    return 0;
}
