#include "assembly/headinglookup.h"

#include "assembly/messages.h"

#include <algorithm>

namespace assembly {

namespace {

    bool isAsciiDigit(QChar c)
    {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    }

    // The number of "@" + digits + the next character, with spaces (only the
    // character 32) stripped at both ends; -1 when it is no number of 32 bits.
    qint64 selectedNumber(QStringView selected)
    {
        QStringView rest = selected.mid(1);
        while (!rest.isEmpty() && rest.front() == QLatin1Char(' '))
            rest = rest.mid(1);
        while (!rest.isEmpty() && rest.back() == QLatin1Char(' '))
            rest.chop(1);
        if (rest.isEmpty())
            return -1;
        qint64 n = 0;
        for (const QChar c : rest) {
            if (!isAsciiDigit(c))
                return -1;
            n = n * 10 + (c.unicode() - '0');
            if (n > 2147483647)
                return -1;
        }
        return n;
    }

} // namespace

HeadingLookup lookUpHeading(QStringView documentText, int caret, const InformationLines &lines)
{
    HeadingLookup result;
    const int size = int(documentText.size());
    caret = std::clamp(caret, 0, size);
    result.selectionStart = caret;
    result.selectionLength = caret < size ? 1 : 0;
    if (caret >= size || documentText[caret] != QLatin1Char('@'))
        return result;

    // Grow the selection until its last character is not a digit. When the
    // digits run to the end of the text there is nothing after them: like a
    // token that ends its paragraph, that shows nothing.
    int end = caret + 1;
    while (end < size && (end == caret + 1 || isAsciiDigit(documentText[end - 1])))
        ++end;
    result.selectionLength = end - caret;
    if (isAsciiDigit(documentText[end - 1]))
        return result;

    const qint64 n = selectedNumber(documentText.mid(caret, end - caret));
    if (n < 0)
        return result;
    result.entry = n;
    if (lines.count() < 2) {
        result.kind = HeadingLookup::Kind::NoInformationFile;
        result.text = messages::balloonNoInformationFile();
        return result;
    }
    // Entry 0 and entries past the file have no heading line: the balloon
    // shows the empty line the pane hands out for them.
    result.kind = HeadingLookup::Kind::Heading;
    const qint64 headingLine = (n - 1) * 2;
    if (n >= 1 && headingLine < lines.count())
        result.text = lines.line(int(headingLine));
    return result;
}

} // namespace assembly
