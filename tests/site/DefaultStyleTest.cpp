#include "site/BuiltinTemplates.h"
#include "site/Style.h"
#include "site/StyleValues.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"

#include <gtest/gtest.h>

using namespace tessaly;
using namespace tessaly::testing;

// The default style is the look the index page has without a style file:
// the styled templates it gives differ from the plain ones only where the
// plain ones say they do (the document type, and a name link that takes
// the page's white instead of a colour of its own).
TEST(DefaultStyle, GivesTheIndexPageThePlainTemplatesLook)
{
    TempWorkspace space;
    space.withFolders();
    ASSERT_TRUE(style_values::save(space.workspace(), style_values::defaults()));
    const WorkingTemplates templates = UpdateStyle(space.workspace());
    EXPECT_FALSE(templates.box) << templates.box->text.toStdString();

    QString cell = templates.coverCell;
    EXPECT_EQ(cell.count(QStringLiteral("<a style=\"color:#FFFFFF\"href=")), 1);
    cell.replace(QStringLiteral("<a style=\"color:#FFFFFF\"href="), QStringLiteral("<a href="));
    EXPECT_EQ(cell.toStdString(), builtin::plainCoverCell().toStdString());

    const QString plain = builtin::plainIndexPage();
    const qsizetype plainBody = plain.indexOf(u'\n', plain.indexOf(u'\n') + 1) + 1;
    const qsizetype styledBody = templates.indexPage.indexOf(u'\n') + 1;
    EXPECT_EQ(templates.indexPage.mid(styledBody).toStdString(), plain.mid(plainBody).toStdString());
    EXPECT_EQ(templates.cellsPerRow, 3);
}
