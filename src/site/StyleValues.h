#pragma once

#include "files/Outcome.h"
#include "site/PageSet.h"

#include <QList>
#include <QString>
#include <optional>

namespace tessaly {

class Workspace;

// The ten values of `Style.ini` as the "布局设计" dialog edits them: plain
// texts, in the file's key order. The rules that a value must meet before
// it is saved, and the forms the dialog's helpers write, live here.
namespace style_values {

enum class Kind
{
    Colour,    // six hexadecimal digits, no "#"
    CellCount, // a whole number, 0 or more (0: one row)
    CoverSize, // a whole number of pixels, 16 to 2000
    FontSize   // a decimal number of pixels, at least 1
};

struct Key
{
    QString name;
    Kind kind;
    QString defaultValue; // the value that gives the plain templates
};

// Bodybgcolor, Moviebgcolor, Linecontent, Coverwidth, Coverheight,
// Coverframecolor, Coverfontsize, Coverfontcolor, Numberfontsize,
// Numberfontcolor.
const QList<Key> &keys();

inline constexpr int SmallestCoverSize = 16;
inline constexpr int LargestCoverSize = 2000;

// One text per key, in the order of `keys()`.
using Values = QList<QString>;

Values defaults();
// The values as `Style.ini`'s text holds them.
Values valuesIn(const QString &styleContent);
// Each value that would be refused replaced by its default.
Values withDefaultsForRefused(const Values &values);
// The stored values as the INI read gives them; the defaults when
// `Style.ini` does not exist. A failure naming `Style.ini` when it exists
// but cannot be read.
files::Outcome<Values> read(const Workspace &workspace);

// Why the values cannot be saved, naming the first key that fails, or
// nothing when they all pass. Whatever the style load refuses is refused
// with its own message.
struct Problem
{
    int keyIndex;
    QString message;
};
std::optional<Problem> firstProblem(const Values &values);

// The colour as six uppercase hexadecimal digits, without "#".
QString colourText(int red, int green, int blue);
// The colour a value names; nothing when it is not six hexadecimal digits.
std::optional<unsigned> colourOf(const QString &text);
// The shortest decimal form with "." whatever the system's locale, never
// with an exponent: 13.5, 185, 0.25.
QString numberText(double value);
// A decimal number with optional blanks and sign, as the style file takes
// it; nothing otherwise.
std::optional<double> numberOf(const QString &text);

// Writes the ten keys into `Style.ini` in one atomic replacement, keeping
// the file's other lines. A failure naming `Style.ini` when the file cannot
// be read or written.
files::Outcome<void> save(const Workspace &workspace, const Values &values);
// The same write with one more key, `Pageset`, after the ten: the page set
// a workspace made from nothing starts with.
files::Outcome<void> saveWithPageset(const Workspace &workspace, const Values &values,
                                     const QString &pageset);

// The page set and the site's name, kept beside the values in `Style.ini`
// (keys `Pageset` and `Sitename`) and edited in the same dialog.
struct PageChoice
{
    PageSet pageSet = PageSet::Classic;
    QString siteName; // empty for the default
};
// The stored choice; the default when `Style.ini` is missing or unreadable.
PageChoice readPageChoice(const Workspace &workspace);
// Why the site's name cannot be saved, or nothing.
std::optional<QString> siteNameProblem(const QString &siteName);
// The ten values and the choice in one atomic replacement.
files::Outcome<void> save(const Workspace &workspace, const Values &values, const PageChoice &choice);

// The index page as the values style it, with `cells` sample cover cells
// (each showing `coverImage` as its picture) laid out in rows as a
// generation would lay them out. Values that would be refused are shown as
// their defaults.
QString previewPage(const Values &values, int cells, const QString &coverImage);
// The same for the chosen set: the new set's index page, named as chosen.
QString previewPage(const Values &values, const PageChoice &choice, int cells, const QString &coverImage);

} // namespace style_values
} // namespace tessaly
