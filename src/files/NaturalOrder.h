#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace tessaly::files {

// How a listing orders its names.
enum class NameOrder
{
    // Names compared after simple case folding, by UTF-16 code unit.
    Text,
    // As a person counts: a run of digits (ASCII or full-width) compares
    // by its value, and so does a run of Chinese numerals that stands as a
    // count, right after "第" and right before one of the counting words
    // (第十二集, 第三季); all else compares as in `Text`. Names alike so far
    // fall back to `Text`, so the order stays total. Names whose numbers
    // all have the same width keep exactly the `Text` order.
    Natural
};

// A name's sort key for `NameOrder::Natural`, made of the case-folded name:
// comparing two keys element by element (a shorter key first when it is a
// prefix of the other) gives their natural order. Numbers sort as ASCII
// digits do among the other characters.
QList<char32_t> naturalKey(QStringView folded);

// The value of a run of Chinese numerals (十二 = 12, 一百零一 = 101, 两 = 2,
// 一〇一 = 101), as decimal digits without leading zeros ("0" for zero).
QByteArray chineseNumeralValue(QStringView numerals);

// Natural order with its fall-back to the listing order, for two names.
bool naturalLess(const QString &first, const QString &second);

} // namespace tessaly::files
