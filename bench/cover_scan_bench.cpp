// Times the two cover scans and the page decoding on result pages as large as
// a search accepts (8 MiB): ordinary markup full of accepted tags, a title
// made of nothing but "&", and a single unfinished tag. An optional argument
// gives another page size in KiB.
#include "covers/CoverScan.h"
#include "covers/PageDecoding.h"

#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace tessaly::covers;

namespace {

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Wall time and this thread's processor time: on a busy machine the second
// shows what the scan itself costs.
template <typename Work> void measure(const char *what, Work work)
{
    QElapsedTimer timer;
    const double cpuStart = threadSeconds();
    timer.start();
    const qsizetype result = work();
    const qint64 wallMs = timer.elapsed();
    const double cpuMs = (threadSeconds() - cpuStart) * 1000;
    std::printf("%-40s %6lld ms wall %6.0f ms cpu  (%lld)\n", what, static_cast<long long>(wallMs), cpuMs,
                static_cast<long long>(result));
}

// Repeats `entry` (numbered through %1) until the page holds `bytes` of UTF-8.
QString repeatedMarkup(const QString &entry, qsizetype bytes)
{
    QString page;
    qsizetype size = 0;
    for (int i = 0; size < bytes; ++i) {
        const QString next = entry.arg(i);
        page += next;
        size += next.toUtf8().size();
    }
    return page;
}

} // namespace

int main(int argc, char **argv)
{
    const qsizetype kib = argc > 1 ? std::atoll(argv[1]) : 8 * 1024;
    const qsizetype bytes = kib * 1024;
    std::printf("page size %lld KiB\n", static_cast<long long>(kib));

    const QString tags =
        repeatedMarkup(QStringLiteral("<img src=\"/s.gif\" data-src=\"//img.host/%1.jpg?a=1&amp;b=2\" "
                                      "width=\"120\" title=\"封面 %1 &amp; 续\" />"),
                       bytes);
    const QString anchors = repeatedMarkup(
        QStringLiteral(
            "<a title=\"封面 %1 &amp; 续\" href=\"/v/%1\" data-original=\"http://img.host/%1.jpg\"></a>"),
        bytes);
    const QString ampersands(bytes, u'&');
    const QString ampersandTag =
        QStringLiteral("<img src=\"/s.gif\" data-src=\"//h/a.jpg\" width=\"1\" title=\"") + ampersands +
        QStringLiteral("\" />");
    const QString ampersandAnchor = QStringLiteral("<a title=\"") + ampersands +
                                    QStringLiteral("\" href=\"/v\" data-original=\"http://h/a.jpg\"></a>");
    const QString unfinished = QStringLiteral("<img ") + QString(bytes, u'x');
    const QByteArray tagBytes = tags.toUtf8();

    measure("decode page of tags (UTF-8 bytes)", [&] { return decodePage(tagBytes, "text/html").size(); });
    measure("image tag scan, ordinary markup", [&] { return scanImageTags(tags).size(); });
    measure("image tag scan, title of \"&\"", [&] { return scanImageTags(ampersandTag).size(); });
    measure("image tag scan, unfinished tag", [&] { return scanImageTags(unfinished).size(); });
    measure("browser markup scan, ordinary markup", [&] { return scanBrowserMarkup(anchors).size(); });
    measure("browser markup scan, title of \"&\"", [&] { return scanBrowserMarkup(ampersandAnchor).size(); });
    return 0;
}
