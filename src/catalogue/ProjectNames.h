#pragma once

#include <QString>
#include <QStringList>

namespace tessaly::names {

// Why a typed name cannot become a new project, as the message the user
// sees; empty text when it can. A name becomes the base name of the
// project's settings file, cover and play page, a line of `List.ini` and a
// link on the index page, so anything that would break one of those is
// refused. The checks run in a fixed order and the first one that fails
// gives the message.
//
// The empty name is not judged here: callers do nothing for it, without a
// message, before they ask.
QString refusalFor(const QString &name, const QStringList &existingNames);

// "Setting" and "List" in any case: their settings file would be
// `Setting.ini` or `List.ini`.
bool isReserved(const QString &name);
// The play page's file name, name + ".html", would pass the 255 bytes a
// file name may have.
bool isTooLong(const QString &name);
// "#", "?", "%", "\" or a control character: no escaping makes the index
// page's links to such a name work (a browser reads "\" in an address as "/").
bool breaksLinks(const QString &name);

} // namespace tessaly::names
