#include "site/Style.h"

#include "files/FileServices.h"
#include "files/TextFile.h"
#include "settings/IniFile.h"
#include "site/BuiltinTemplates.h"
#include "site/ModernTemplates.h"
#include "site/Placeholders.h"
#include "site/SiteTexts.h"
#include "site/StyleValues.h"
#include "workspace/Workspace.h"

#include <limits>
#include <optional>

namespace tessaly {

namespace {

const QString Section = QStringLiteral("Setting");

struct StyleNumbers
{
    int cellsPerRow = 0;
    int boxWidth = 0;
    int boxHeight = 0;
};

std::optional<int> sum(int number, int addend)
{
    const qint64 total = qint64(number) + addend;
    if (total > std::numeric_limits<int>::max() || total < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(total);
}

// The three numeric keys, in the order the load uses them. A key that is not
// a number (or whose box size overflows) is named in the error box `box`;
// the caller then falls back to the plain templates.
std::optional<StyleNumbers> readNumbers(const QString &style, std::optional<Message> &box)
{
    StyleNumbers numbers;
    const auto checked = [&](const char *key, int addend, int &into) {
        const QString name = QString::fromLatin1(key);
        std::optional<int> value = wholeNumber(ini::valueIn(style, Section, name));
        if (value)
            value = sum(*value, addend);
        if (!value) {
            box = site::texts::box(MessageIcon::Error, site::texts::notANumber(name));
            return false;
        }
        into = *value;
        return true;
    };
    if (!checked("Linecontent", 0, numbers.cellsPerRow) || !checked("Coverwidth", 35, numbers.boxWidth) ||
        !checked("Coverheight", 80, numbers.boxHeight))
        return std::nullopt;
    return numbers;
}

void usePlainTemplates(WorkingTemplates &templates)
{
    templates.coverCell = builtin::plainCoverCell();
    templates.indexPage = builtin::plainIndexPage();
    templates.cellsPerRow = 3;
}

void useStyledTemplates(WorkingTemplates &templates, const QString &style, const StyleNumbers &numbers)
{
    const auto value = [&](const char *key) {
        return ini::valueIn(style, Section, QString::fromLatin1(key));
    };

    QString index = builtin::styledIndexPage();
    fillPlaceholder(index, QStringLiteral("[[Bodybgcolor]]"), value("Bodybgcolor"));
    fillPlaceholder(index, QStringLiteral("[[Moviebgcolor]]"), value("Moviebgcolor"));
    templates.cellsPerRow = numbers.cellsPerRow;
    templates.indexPage = index;

    QString cell = builtin::styledCoverCell();
    fillPlaceholder(cell, QStringLiteral("[[Coverwidth]]"), value("Coverwidth"));
    fillPlaceholder(cell, QStringLiteral("[[divwidth]]"), QString::number(numbers.boxWidth));
    fillPlaceholder(cell, QStringLiteral("[[Coverheight]]"), value("Coverheight"));
    fillPlaceholder(cell, QStringLiteral("[[divheight]]"), QString::number(numbers.boxHeight));
    for (const char *key :
         {"Coverframecolor", "Coverfontsize", "Coverfontcolor", "Numberfontsize", "Numberfontcolor"})
        fillPlaceholder(cell, QStringLiteral("[[%1]]").arg(QLatin1String(key)), value(key));
    templates.coverCell = cell;
}

// A template file that exists is the working template; a missing one is
// written with its default and the working template stays as it was. A file
// that cannot be read or decoded, or written when missing, is a failure and
// the working template stays as it was.
void loadTemplateFile(const QString &path, const QString &defaultText, QString &workingTemplate,
                      QList<InputFileFailure> &failures)
{
    if (!files::plainFileExists(path)) {
        if (const files::Outcome<void> written = text::writeTextFile(path, defaultText); !written)
            failures.append({InputFileFailure::Kind::Write, path, written.failure().reason});
        return;
    }
    if (const files::Outcome<QString> content = text::readWholeText(path))
        workingTemplate = *content;
    else
        failures.append({InputFileFailure::Kind::Read, path, content.failure().reason});
}

// The new set's templates: UTF-8 files in their own folder. A missing file
// is written with its default, which serves at once, so that the first run
// after choosing the set has its pages.
void loadModernTemplateFile(const QString &folder, const char *name, const QString &defaultText,
                            QString &workingTemplate, QList<InputFileFailure> &failures)
{
    const QString path = files::joinPath(folder, QString::fromLatin1(name));
    const files::Outcome<std::optional<QByteArray>> read = files::readPlainFile(path);
    if (!read) {
        failures.append({InputFileFailure::Kind::Read, path, read.failure().reason});
        return;
    }
    if (const std::optional<QByteArray> &bytes = *read) {
        if (const std::optional<QString> content = modern::decode(*bytes))
            workingTemplate = *content;
        else
            failures.append({InputFileFailure::Kind::Read, path, text::undecodableReason()});
        return;
    }
    if (const files::Outcome<void> written = files::writeFileAtomically(path, modern::fileBytes(defaultText));
        !written) {
        failures.append({InputFileFailure::Kind::Write, path, written.failure().reason});
        return;
    }
    workingTemplate = defaultText;
}

void useModernTemplates(const Workspace &workspace, WorkingTemplates &templates, const QString &style)
{
    const style_values::Values values = style_values::valuesIn(style);
    templates.siteName =
        page_set::siteNameOr(ini::valueIn(style, Section, QString::fromLatin1(page_set::SiteNameKey)));
    templates.indexPage = modern::indexPage(values, templates.siteName);
    templates.coverCell = modern::coverCell(values);
    // The grid fills the width by itself: no row breaks.
    templates.cellsPerRow = 0;
    templates.rowBreak.clear();

    const QString folder = templateFolder(workspace, PageSet::Modern);
    if (!files::folderExists(folder)) {
        if (const files::Outcome<void> made = files::makeFolder(folder); !made) {
            templates.failures.append({InputFileFailure::Kind::Write, folder, made.failure().reason});
            return;
        }
    }
    loadModernTemplateFile(folder, PageStyleFile, modern::playPage(), templates.playPage, templates.failures);
    loadModernTemplateFile(folder, ButtonStyleFile, modern::button(), templates.button, templates.failures);
    loadModernTemplateFile(folder, FunctionStyleFile, modern::function(), templates.function,
                           templates.failures);
}

// The classic set's three editable templates from their files in `Style`,
// as loadTemplateFile takes each one.
void loadClassicTemplates(const Workspace &workspace, WorkingTemplates &templates)
{
    loadTemplateFile(workspace.styleTemplate(QString::fromLatin1(PageStyleFile)), builtin::playPage(),
                     templates.playPage, templates.failures);
    loadTemplateFile(workspace.styleTemplate(QString::fromLatin1(ButtonStyleFile)), builtin::button(),
                     templates.button, templates.failures);
    loadTemplateFile(workspace.styleTemplate(QString::fromLatin1(FunctionStyleFile)), builtin::function(),
                     templates.function, templates.failures);
}

} // namespace

bool writeMissingTemplates(const Workspace &workspace, PageSet set)
{
    WorkingTemplates templates;
    if (set == PageSet::Modern) {
        useModernTemplates(workspace, templates, QString());
    } else {
        loadClassicTemplates(workspace, templates);
    }
    return templates.failures.isEmpty();
}

QString missingStyleText()
{
    return QStringLiteral("布局设计文件不存在\r\n在 菜单 → 布局设计 中保存一次即可不再显示。");
}

WorkingTemplates UpdateStyle(const Workspace &workspace)
{
    return UpdateStyle(workspace, WorkingTemplates{});
}

WorkingTemplates UpdateStyle(const Workspace &workspace, const WorkingTemplates &previous)
{
    WorkingTemplates templates = previous;
    templates.cellsPerRow = 3;
    templates.rowBreak = builtin::rowBreak();
    templates.failures.clear();
    templates.box.reset();

    const QString styleFile = workspace.styleFile();
    if (files::plainFileExists(styleFile)) {
        if (const files::Outcome<QString> style = text::readWholeText(styleFile)) {
            templates.pageSet =
                page_set::fromText(ini::valueIn(*style, Section, QString::fromLatin1(page_set::Key)));
            // The other set's file-backed templates never serve this one.
            if (templates.pageSet != previous.pageSet) {
                templates.playPage.clear();
                templates.button.clear();
                templates.function.clear();
            }
            if (templates.pageSet == PageSet::Modern) {
                useModernTemplates(workspace, templates, *style);
                return templates;
            }
            templates.siteName.clear();
            if (const std::optional<StyleNumbers> numbers = readNumbers(*style, templates.box))
                useStyledTemplates(templates, *style, *numbers);
            else
                usePlainTemplates(templates);
        } else {
            templates.cellsPerRow = previous.cellsPerRow;
            templates.failures.append({InputFileFailure::Kind::Read, styleFile, style.failure().reason});
        }
    } else {
        templates.box =
            Message{QStringLiteral("Tessaly"), missingStyleText(), MessageIcon::None, MessageButtons::Ok};
        if (previous.pageSet != PageSet::Classic) {
            templates.playPage.clear();
            templates.button.clear();
            templates.function.clear();
        }
        templates.pageSet = PageSet::Classic;
        templates.siteName.clear();
        usePlainTemplates(templates);
    }

    loadClassicTemplates(workspace, templates);
    return templates;
}

} // namespace tessaly
