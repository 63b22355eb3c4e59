#include "editor/invisibletext.h"

#include "richtext/textproperties.h"

#include <QTextBlock>

InvisibleTextHighlighter::InvisibleTextHighlighter(QTextDocument *document)
    : QSyntaxHighlighter(document)
{
}

void InvisibleTextHighlighter::highlightBlock(const QString &text)
{
    // Nothing painted and next to no room taken.
    QTextCharFormat invisible;
    invisible.setForeground(Qt::transparent);
    invisible.setFontPointSize(1);

    const QTextBlock block = currentBlock();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.charFormat().boolProperty(richtext::prop::Hidden))
            setFormat(fragment.position() - block.position(), fragment.length(), invisible);
    }
    for (qsizetype i = text.indexOf(QChar(0x0C)); i >= 0; i = text.indexOf(QChar(0x0C), i + 1))
        setFormat(int(i), 1, invisible);
}
