#pragma once

#include <QObject>

class QTextDocument;

// Keeps the room between paragraph borders and their text (paragraphdecor.h)
// right while the text is edited: a paragraph split inside a box copies the
// room of the box's edges into the middle of it, and a paragraph joined to
// a box or parted from it needs room where it did not. After each edit the
// paragraphs around it are looked at once more, in the same undo step.
// Documents read from RTF already have their room: long insertions (a load,
// a paste) are left alone.
class BorderRoomKeeper : public QObject
{
public:
    explicit BorderRoomKeeper(QTextDocument *document);

private:
    void changed(int position, int added);
    void apply();

    QTextDocument *m_document;
    int m_first = -1; // the edited range not yet looked at, -1 when none
    int m_end = -1;
};
