#include "site/ModernTemplates.h"

#include "site/PageSet.h"
#include "site/PageValues.h"
#include "site/Placeholders.h"

#include <QFile>

static void registerSiteResources()
{
    Q_INIT_RESOURCE(site);
}

namespace tessaly::modern {

namespace {

// A resource text with CR LF line ends, as every text of the program has.
QString resourceText(const char *name)
{
    registerSiteResources();
    QFile file(QStringLiteral(":/site/modern/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

QString valueOf(const style_values::Values &values, const char *key)
{
    const QList<style_values::Key> &keys = style_values::keys();
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys.at(i).name == QLatin1String(key))
            return values.value(i);
    }
    return {};
}

void fillSizes(QString &text, const style_values::Values &values, bool whole)
{
    for (const char *key : {"Coverwidth", "Coverheight"}) {
        const QString value = valueOf(values, key);
        fillPlaceholder(text, QStringLiteral("[[%1]]").arg(QLatin1String(key)),
                        whole ? QString::number(wholeNumber(value).value_or(0)) : value);
    }
}

} // namespace

QString indexPage(const style_values::Values &edited, const QString &siteName)
{
    // Only values the dialog would accept reach the style sheet; any other
    // is taken as its default.
    const style_values::Values values = style_values::withDefaultsForRefused(edited);
    QString page = resourceText("index.html");
    fillPlaceholder(page, QStringLiteral("[[SiteName]]"),
                    page::htmlEscapedStrict(page_set::siteNameOr(siteName)));
    fillSizes(page, values, false);
    for (const char *key : {"Bodybgcolor", "Moviebgcolor", "Coverframecolor", "Coverfontsize",
                            "Coverfontcolor", "Numberfontsize", "Numberfontcolor"})
        fillPlaceholder(page, QStringLiteral("[[%1]]").arg(QLatin1String(key)), valueOf(values, key));
    return page;
}

QString coverCell(const style_values::Values &edited)
{
    QString cell = resourceText("cell.html");
    fillSizes(cell, style_values::withDefaultsForRefused(edited), true);
    return cell;
}

QString playPage()
{
    return resourceText("PageStyle.html");
}

QString button()
{
    return resourceText("ButtonStyle.html");
}

QString function()
{
    return resourceText("FunctionStyle.html");
}

QByteArray fileBytes(const QString &text)
{
    return (text + QStringLiteral("\r\n")).toUtf8();
}

std::optional<QString> decode(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    if (!view.isValidUtf8())
        return std::nullopt;
    return QString::fromUtf8(view);
}

} // namespace tessaly::modern
