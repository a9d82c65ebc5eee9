#include "site/RunLog.h"

#include "files/FileServices.h"
#include "files/OpenFolder.h"
#include "files/TextFile.h"
#include "platform/Messages.h"
#include "site/RunReport.h"
#include "site/SiteTexts.h"
#include "workspace/Workspace.h"

namespace tessaly {

namespace runlog {

QString fileName(const QDateTime &end)
{
    return end.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".log");
}

bool write(const Workspace &workspace, const QStringList &lines, const QDateTime &end, QString *failure)
{
    // A log whose writing was cut off by a crash leaves its temporary file.
    files::OpenFolder(workspace.log()).removeTemporaries();
    const QString path = files::joinPath(workspace.log(), fileName(end));
    // Encoded line by line rather than joined first: a run of a hundred
    // thousand projects logs several hundred thousand lines.
    bool fits = true;
    for (const QString &line : lines)
        fits = fits && text::fitsCodePage936(line);
    text::PieceEncoder encoder(fits);
    QByteArray bytes;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            bytes.append("\r\n", 2);
        encoder.appendTo(bytes, lines.at(i));
    }
    bytes.append("\r\n", 2);
    const files::Outcome<void> written = files::writeFileAtomically(path, bytes);
    if (written)
        return true;
    if (failure)
        *failure = path + QStringLiteral(": ") + written.failure().reason;
    return false;
}

} // namespace runlog

RunClosing::RunClosing(const Workspace &workspace, RunReport &report, RunClock clock)
    : m_workspace(workspace), m_report(report),
      m_clock(clock ? std::move(clock) : RunClock(&QDateTime::currentDateTime))
{}

RunOutcome RunClosing::finish(Variant variant)
{
    RunOutcome outcome;
    outcome.errors = m_report.errors();
    const bool wholeSite = variant == Variant::WholeSite;

    QString lineText;
    if (outcome.errors == 0) {
        lineText = wholeSite ? QStringLiteral("生成网站成功...") : QStringLiteral("更新本集内容成功!");
        outcome.boxText = wholeSite ? QStringLiteral("生成网站成功!") : QStringLiteral("更新本集内容成功!");
    } else {
        lineText = wholeSite ? QStringLiteral("生成网站完成,共 %1 个错误...").arg(outcome.errors)
                             : QStringLiteral("更新本集内容完成,共 %1 个错误!").arg(outcome.errors);
        outcome.boxText = lineText;
    }
    m_report.step(lineText, outcome.errors == 0 ? ProgressIcon::Done : ProgressIcon::Failure);
    if (m_videoNotes > 0)
        outcome.boxText +=
            QStringLiteral("\r\n\r\n有 %1 集在浏览器中可能无法正常播放,可用“转换为网页格式”处理。")
                .arg(m_videoNotes);
    writeLog(outcome);
    return outcome;
}

RunOutcome RunClosing::stop()
{
    RunOutcome outcome;
    outcome.errors = m_report.errors();
    outcome.stopped = true;
    m_report.step(QStringLiteral("生成网站已中止..."), ProgressIcon::Failure);
    writeLog(outcome);
    return outcome;
}

void RunClosing::writeLog(RunOutcome &outcome)
{
    m_report.sink().showLastLine();
    runlog::write(m_workspace, m_report.sink().texts(), m_clock(), &outcome.logFailure);
    if (!outcome.logFailure.isEmpty() && !outcome.boxText.isEmpty())
        outcome.boxText += site::texts::logNotWritten(outcome.logFailure);
}

void RunClosing::showBox(const RunOutcome &outcome)
{
    if (outcome.boxText.isEmpty())
        return;
    if (outcome.succeeded())
        Messages::information(outcome.boxText);
    else
        Messages::error(outcome.boxText);
}

} // namespace tessaly
