#pragma once

#include "editor/editortypes.h"

#include <QTextBlockFormat>

#include <functional>

class RichEditor;

// Paragraph format of the paragraphs the selection touches: a read reports
// the paragraph where the selection starts, a write changes that one
// property of every touched paragraph and nothing else.
//
// Indents are points, kept as whole twips (0.5 pt is 10 twips and reads back
// as 0.5):
// - firstIndent: where the first line starts, from the left edge;
// - leftIndent: where the following lines start, relative to the first line
//   (a hanging paragraph has a positive leftIndent);
// - rightIndent: from the right edge.
// On the block format these are leftMargin = firstIndent + leftIndent and
// textIndent = -leftIndent, in pixels at 96 dpi.
//
// Numbering: 0 none, 1 bullet, 2 arabic numbers, 3 lower-case letters,
// 4 capital letters, 5 lower-case roman, 6 capital roman numbers; other byte
// values are kept on the paragraph and shown as bullets.
class ParaAttributes
{
public:
    explicit ParaAttributes(RichEditor &editor);

    ParaAlignment alignment() const;
    void setAlignment(ParaAlignment alignment);
    double firstIndent() const;
    void setFirstIndent(double points);
    double leftIndent() const;
    void setLeftIndent(double points);
    double rightIndent() const;
    void setRightIndent(double points);
    int numbering() const;
    void setNumbering(int kind);

private:
    QTextBlockFormat current() const;
    void edit(const std::function<void(QTextBlockFormat &)> &change);

    RichEditor &m_editor;
};
