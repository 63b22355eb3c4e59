#include "editor/borderroomkeeper.h"

#include "richtext/paragraphdecor.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace {

// More than this at once is a load or a paste, which come with their room.
constexpr int LongInsertion = 10000;

} // namespace

BorderRoomKeeper::BorderRoomKeeper(QTextDocument *document) : QObject(document), m_document(document)
{
    connect(document, &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { changed(position, added); });
}

void BorderRoomKeeper::changed(int position, int added)
{
    if (added > LongInsertion)
        return;
    const bool pending = m_first >= 0;
    m_first = pending ? qMin(m_first, position) : position;
    m_end = pending ? qMax(m_end, position + added) : position + added;
    // After the edit, not inside it: changing formats while the document
    // reports a change would report another.
    if (!pending)
        QTimer::singleShot(0, this, &BorderRoomKeeper::apply);
}

void BorderRoomKeeper::apply()
{
    const int first = qMin(m_first, m_document->characterCount() - 1);
    const int end = qMin(m_end, m_document->characterCount() - 1);
    m_first = m_end = -1;
    if (first < 0)
        return;
    QTextCursor cursor(m_document);
    cursor.joinPreviousEditBlock();
    richtext::applyBorderRoom(*m_document, first, end);
    cursor.endEditBlock();
}
