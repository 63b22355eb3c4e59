#include "richtext/documentio.h"

#include "richtext/textproperties.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace richtext {

QFont standardFont()
{
    // Every attribute is set: one left unset would be filled in from the
    // application's font (a widget's font and a document's default font
    // both resolve against it), and a bold desktop would give bold files.
    QFont font(QStringLiteral("Times New Roman"), 12);
    // Where it is not installed, a serif face stands in, as for any roman
    // font a document names.
    font.setStyleHint(QFont::Serif);
    font.setWeight(QFont::Normal);
    font.setStyle(QFont::StyleNormal);
    font.setUnderline(false);
    font.setOverline(false);
    font.setStrikeOut(false);
    font.setFixedPitch(false);
    font.setCapitalization(QFont::MixedCase);
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
    font.setWordSpacing(0);
    font.setStretch(QFont::AnyStretch);
    font.setKerning(true);
    return font;
}

void readDocumentBytes(QTextCursor &cursor, QByteArrayView bytes, const ImportOptions &options)
{
    if (!insertRtf(cursor, bytes, options))
        insertPlainText(cursor, bytes, options.defaultCodePage);
}

QString plainText(const QTextDocument &document, int from, int to, bool namedObjects)
{
    const int end = document.characterCount() - 1;
    if (to < 0 || to > end)
        to = end;
    QString text;
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = qMax(from, fragment.position());
            const int stop = qMin(to, fragment.position() + fragment.length());
            if (start >= stop)
                continue;
            QString part = fragment.text().mid(start - fragment.position(), stop - start);
            if (part.contains(QChar::ObjectReplacementCharacter)) {
                QString name;
                if (namedObjects) {
                    const QTextCharFormat format = fragment.charFormat();
                    name = format.stringProperty(prop::ObjectFileName);
                    if (name.isEmpty() && format.isImageFormat())
                        name = format.toImageFormat().name();
                }
                part.replace(QChar::ObjectReplacementCharacter, name);
            }
            part.replace(QChar::LineSeparator, QLatin1Char('\n'));
            text += part;
        }
        const int paragraphEnd = block.position() + block.length() - 1;
        if (paragraphEnd >= from && paragraphEnd < to)
            text += QLatin1Char('\n');
    }
    return text;
}

} // namespace richtext
