#include "editor/paraattributes.h"

#include "editor/richeditor.h"
#include "richtext/textkinds.h"
#include "richtext/textproperties.h"
#include "editor/twips.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace prop = richtext::prop;

namespace {

// The blocks from the one holding `start` to the one holding `end`.
QList<QTextBlock> blocksBetween(QTextDocument *document, int start, int end)
{
    QList<QTextBlock> blocks;
    const QTextBlock last = document->findBlock(end);
    for (QTextBlock block = document->findBlock(start); block.isValid(); block = block.next()) {
        blocks.append(block);
        if (block == last)
            break;
    }
    return blocks;
}

} // namespace

ParaAttributes::ParaAttributes(RichEditor &editor) : m_editor(editor)
{
}

QTextBlockFormat ParaAttributes::current() const
{
    return m_editor.document()->findBlock(m_editor.selStart()).blockFormat();
}

void ParaAttributes::edit(const std::function<void(QTextBlockFormat &)> &change)
{
    const QTextCursor selection = m_editor.textCursor();
    QTextCursor writer(m_editor.document());
    writer.beginEditBlock();
    const auto blocks =
        blocksBetween(m_editor.document(), selection.selectionStart(), selection.selectionEnd());
    for (const QTextBlock &block : blocks) {
        QTextBlockFormat format = block.blockFormat();
        change(format);
        writer.setPosition(block.position());
        writer.setBlockFormat(format);
    }
    writer.endEditBlock();
}

ParaAlignment ParaAttributes::alignment() const
{
    const Qt::Alignment align = current().alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignJustify)
        return ParaAlignment::Justify;
    if (align & Qt::AlignHCenter)
        return ParaAlignment::Center;
    if (align & Qt::AlignRight)
        return ParaAlignment::Right;
    return ParaAlignment::Left;
}

void ParaAttributes::setAlignment(ParaAlignment alignment)
{
    Qt::Alignment align;
    switch (alignment) {
    case ParaAlignment::Left: align = Qt::AlignLeft; break;
    case ParaAlignment::Right: align = Qt::AlignRight; break;
    case ParaAlignment::Center: align = Qt::AlignHCenter; break;
    case ParaAlignment::Justify: align = Qt::AlignJustify; break;
    default: return; // not an alignment
    }
    edit([align](QTextBlockFormat &format) { format.setAlignment(align); });
}

double ParaAttributes::firstIndent() const
{
    const QTextBlockFormat format = current();
    return twips::toPoints(twips::fromPixels(format.leftMargin() + format.textIndent()));
}

void ParaAttributes::setFirstIndent(double points)
{
    // The following lines keep their offset from the first line.
    const double first = twips::toPixels(twips::fromPoints(points));
    edit([first](QTextBlockFormat &format) { format.setLeftMargin(first - format.textIndent()); });
}

double ParaAttributes::leftIndent() const
{
    return twips::toPoints(twips::fromPixels(-current().textIndent()));
}

void ParaAttributes::setLeftIndent(double points)
{
    // The first line stays where it is.
    const double offset = twips::toPixels(twips::fromPoints(points));
    edit([offset](QTextBlockFormat &format) {
        const double first = format.leftMargin() + format.textIndent();
        format.setTextIndent(-offset);
        format.setLeftMargin(first + offset);
    });
}

double ParaAttributes::rightIndent() const
{
    return twips::toPoints(twips::fromPixels(current().rightMargin()));
}

void ParaAttributes::setRightIndent(double points)
{
    const double right = twips::toPixels(twips::fromPoints(points));
    edit([right](QTextBlockFormat &format) { format.setRightMargin(right); });
}

int ParaAttributes::numbering() const
{
    // List membership decides: Qt takes a paragraph out of its list on its
    // own (Backspace at the start of an item) without touching our property.
    const QTextBlock block = m_editor.document()->findBlock(m_editor.selStart());
    const QTextList *list = block.textList();
    if (!list)
        return 0;
    const int kind = block.blockFormat().intProperty(prop::NumberingKind);
    return kind > 0 ? kind & 0xFF : int(richtext::listKindOf(list->format().style()));
}

void ParaAttributes::setNumbering(int kind)
{
    kind &= 0xFF;
    const QTextCursor selection = m_editor.textCursor();
    QTextDocument *document = m_editor.document();
    const auto blocks = blocksBetween(document, selection.selectionStart(), selection.selectionEnd());
    QTextCursor writer(document);
    writer.beginEditBlock();
    if (kind == 0) {
        for (const QTextBlock &block : blocks) {
            if (QTextList *list = block.textList())
                list->remove(block);
        }
    } else {
        // The touched paragraphs become a list of their own, unless they
        // already are exactly one whole list, which then changes its style.
        QTextList *list = blocks.first().textList();
        bool wholeList = list && list->count() == blocks.size();
        for (const QTextBlock &block : blocks)
            wholeList = wholeList && block.textList() == list;
        if (wholeList) {
            QTextListFormat format = list->format();
            format.setStyle(richtext::toQt(richtext::ListKind(kind)));
            list->setFormat(format);
        } else {
            QTextListFormat format;
            format.setStyle(richtext::toQt(richtext::ListKind(kind)));
            format.setIndent(1);
            writer.setPosition(blocks.first().position());
            writer.setPosition(blocks.last().position(), QTextCursor::KeepAnchor);
            writer.createList(format);
        }
    }
    edit([kind](QTextBlockFormat &format) { format.setProperty(prop::NumberingKind, kind); });
    writer.endEditBlock(); // one undo step with the list change
}
