#pragma once

// Page numbers in page bands: the fields that show them become marks in the
// band's text, and each mark becomes the number of the page it is drawn on.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace richtext {

// The band group with the results of page number fields (PAGE, and \chpgn)
// and page count fields (NUMPAGES, SECTIONPAGES) replaced by marks; a field
// without a result gets one. Other fields keep their results.
QByteArray withPageMarks(QByteArrayView group);

// Where a band shows the page number or the page count: a character of the
// Private Use Area that names the number and its style.
namespace pagemark {

enum class Number { Page, Count };
enum class Style { Arabic, LowerRoman, UpperRoman, LowerLetter, UpperLetter };

QChar mark(Number number, Style style);
bool isMark(QChar c);
// The text a mark stands for on page `page` of `count`.
QString text(QChar mark, int page, int count);

} // namespace pagemark

} // namespace richtext
