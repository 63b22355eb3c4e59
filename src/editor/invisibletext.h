#pragma once

#include <QSyntaxHighlighter>

// Keeps page breaks (U+000C) and text marked hidden off the screen. It
// works on the layout only, so the document, its undo history and its
// modified flag never see it, and printing (which lays out a copy of the
// document) decides for itself.
class InvisibleTextHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit InvisibleTextHighlighter(QTextDocument *document);

protected:
    void highlightBlock(const QString &text) override;
};
