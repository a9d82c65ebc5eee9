#pragma once

#include <QByteArray>
#include <QString>

namespace tessaly::covers {

// The charset label that decides how a fetched page is read: the charset of
// the reply's Content-Type, else a byte-order mark, else the page's own meta
// charset, else "UTF-8". Labels the program cannot decode are passed over.
QString pageCharset(const QByteArray &page, const QByteArray &contentType);

// The page's text, decoded by `pageCharset`. The Chinese labels (gb2312,
// gbk, x-gbk, gb18030) decode as GB18030; bytes that do not fit the charset
// become U+FFFD.
QString decodePage(const QByteArray &page, const QByteArray &contentType);

} // namespace tessaly::covers
