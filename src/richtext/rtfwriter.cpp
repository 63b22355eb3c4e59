#include "richtext/rtfwriter.h"

#include "richtext/codepage.h"
#include "richtext/footnotes.h"
#include "richtext/pagebandrtf.h"
#include "richtext/pagesetup.h"
#include "richtext/rtfwriterparaformat.h"
#include "richtext/rtfwriterpicture.h"
#include "richtext/textproperties.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace richtext {

namespace {

// Tables nest no deeper than this in the file; deeper ones (which only a
// hostile document has) are written as their cells' paragraphs.
constexpr int MaxTableDepth = 32;


int twips(qreal px)
{
    return qRound(px * 15);
}

const char *numberStyle(ListKind kind)
{
    switch (kind) {
    case ListKind::LowerLetter: return "pnlcltr";
    case ListKind::UpperLetter: return "pnucltr";
    case ListKind::LowerRoman: return "pnlcrm";
    case ListKind::UpperRoman: return "pnucrm";
    default: return "pndec";
    }
}

// Quotes and backslashes would end or escape the field's argument; in a
// URL their percent forms mean the same.
QString fieldArgument(QString url)
{
    url.replace(QLatin1Char('%'), QLatin1String("%25"));
    url.replace(QLatin1Char('"'), QLatin1String("%22"));
    url.replace(QLatin1Char('\\'), QLatin1String("%5C"));
    return url;
}

} // namespace

RtfWriter::RtfWriter(const QTextDocument &document, const ExportOptions &options)
    : m_document(document),
      m_options(options),
      m_fonts(options.codePage),
      m_chars(document.defaultFont(), m_fonts, m_colors, options)
{
}

QByteArray RtfWriter::write(int from, int to)
{
    const int count = m_document.characterCount();
    if (to < 0 || to > count)
        to = count;
    from = qBound(0, from, to);
    m_from = from;
    m_to = to;
    // The text, plus about a third for control words, in one allocation.
    m_out.bytes().reserve(qsizetype(to - from) * 4 / 3 + 4096);

    if (from < to) {
        // A selection inside one table cell is that cell's paragraphs, as a
        // rich-edit control copies it, not a one-cell table.
        QTextCursor cursor(const_cast<QTextDocument *>(&m_document));
        cursor.setPosition(from);
        QTextTableCell scope;
        for (QTextTable *table = cursor.currentTable(); table;) {
            const QTextTableCell cell = table->cellAt(from);
            if (cell.isValid() && to - 1 <= cell.lastCursorPosition().position()) {
                scope = cell;
                break;
            }
            QTextFrame *parent = table->parentFrame();
            while (parent && !qobject_cast<QTextTable *>(parent))
                parent = parent->parentFrame();
            table = qobject_cast<QTextTable *>(parent);
        }
        if (scope.isValid())
            writeItems(scope.begin(), 0, BlockEnd::Paragraph);
        else
            writeItems(m_document.rootFrame()->begin(), 0, BlockEnd::Paragraph);
    }
    closeLink();

    QByteArray result = header();
    result.reserve(result.size() + m_out.bytes().size() + 3);
    result += m_out.bytes();
    result += "}\r\n";
    return result;
}

QByteArray RtfWriter::header()
{
    // The page headers and footers go with the whole document only, not with
    // a part of it copied; their fonts and colours join the tables first.
    const bool whole = m_from == 0 && m_to >= m_document.characterCount();
    const QByteArray bands = whole ? pageBandsRtf(m_document, m_fonts, m_colors) : QByteArray();
    RtfWriterOutput out(4096);
    out.open();
    out.word("rtf", 1);
    out.word("ansi");
    out.word("ansicpg", m_options.codePage);
    out.word("deff", 0);
    out.word("deflang", m_options.lcid);
    m_fonts.write(out, m_encoder);
    out.newline();
    m_colors.write(out);
    out.newline();
    out.symbol("{\\*\\generator Quorin;}");
    out.words(pageSetupRtf(m_document)); // the page the document came with, if any
    out.word("viewkind", 4);
    out.word("uc", 1);
    out.words(bands); // the page headers and footers the document came with, if any
    return out.take();
}

void RtfWriter::writeItems(QTextFrame::iterator it, int depth, BlockEnd lastEnd)
{
    // A block is written when the next item shows whether it is the last
    // one, since the last block of a cell ends with \cell instead of \par.
    QTextBlock pending;
    for (; !it.atEnd(); ++it) {
        if (QTextFrame *frame = it.currentFrame()) {
            if (pending.isValid()) {
                writeBlock(pending, depth, BlockEnd::Paragraph);
                pending = QTextBlock();
            }
            if (!intersects(frame->firstPosition(), frame->lastPosition()))
                continue;
            if (auto *table = qobject_cast<QTextTable *>(frame))
                writeTable(table, depth + 1);
            else
                writeItems(frame->begin(), depth, BlockEnd::Paragraph);
        } else {
            if (pending.isValid())
                writeBlock(pending, depth, BlockEnd::Paragraph);
            pending = it.currentBlock();
        }
    }
    if (pending.isValid())
        writeBlock(pending, depth, lastEnd);
    else if (lastEnd == BlockEnd::Cell)
        writeEmptyCell(depth);
}

void RtfWriter::writeBlock(const QTextBlock &block, int depth, BlockEnd end)
{
    const int first = block.position();
    const int separator = first + block.length() - 1;
    if (!intersects(first, separator)) {
        if (end == BlockEnd::Cell)
            writeEmptyCell(depth);
        return;
    }
    writeParagraphStart(block, depth);
    writeRuns(block);
    closeLink();
    if (block.length() == 1) {
        // An empty paragraph has only its mark, whose size sets the height
        // of the empty line. The first block of a table cell has the cell's
        // format there instead, which is no character format.
        const int index = block.charFormatIndex();
        int state;
        if (m_chars.knows(index, &state)) {
            changeState(state);
        } else {
            const QTextCharFormat mark = block.charFormat();
            if (!mark.isTableCellFormat() && mark.objectIndex() < 0)
                changeState(m_chars.stateOf(index, mark));
        }
    }
    if (end == BlockEnd::Cell) {
        writeCellEnd(depth);
    } else if (separator < m_to) {
        // A selection that stops inside the paragraph leaves it open, so
        // that pasting it does not split the paragraph it lands in.
        m_out.word("par");
        m_out.newline();
    }
}

void RtfWriter::writeEmptyCell(int depth)
{
    if (m_forcePard || m_paragraph.depth != depth) {
        m_out.word("pard");
        if (depth > 0)
            m_out.word("intbl");
        if (depth > 1)
            m_out.word("itap", depth);
        m_paragraph = {QByteArray("\\cell"), depth, -1};
        m_forcePard = false;
    }
    writeCellEnd(depth);
}

void RtfWriter::writeCellEnd(int depth)
{
    m_out.word(depth > 1 ? "nestcell" : "cell");
}

RtfWriter::ListInfo RtfWriter::listInfo(const QTextBlock &block) const
{
    ListInfo info;
    if (QTextList *list = block.textList()) {
        const QTextListFormat format = list->format();
        info.kind = listKindOf(format.style());
        info.bullet = format.style();
        if (info.kind == ListKind::Bullet)
            info.bulletText = format.stringProperty(prop::ListBullet);
        info.list = list;
        info.id = list->objectIndex();
        if (format.hasProperty(prop::NumberingStart))
            info.start = format.intProperty(prop::NumberingStart);
        else if (block.blockFormat().hasProperty(prop::NumberingStart))
            info.start = block.blockFormat().intProperty(prop::NumberingStart);
        info.prefix = format.numberPrefix();
        info.suffix = format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix()
                                                                        : QStringLiteral(".");
        info.align = format.intProperty(prop::ListLabelAlign);
        return info;
    }
    const QTextBlockFormat format = block.blockFormat();
    const int kind = format.intProperty(prop::NumberingKind);
    if (kind > 0 && kind <= int(ListKind::UpperRoman)) {
        info.kind = ListKind(kind);
        if (format.hasProperty(prop::NumberingStart))
            info.start = format.intProperty(prop::NumberingStart);
        info.suffix = QStringLiteral(".");
    }
    return info;
}

int RtfWriter::bulletFont(const QString &name, int charset)
{
    RtfFont font;
    font.name = name;
    font.charset = charset;
    return m_fonts.indexOf(font);
}

const QByteArray &RtfWriter::paragraphProperties(const QTextBlock &block, const ListInfo &list)
{
    // Cached per block format and list format: a list's indent is part of
    // its items' \li.
    const quint64 index = (quint64(quint32(block.blockFormatIndex())) << 32)
                          | quint32(list.list ? list.list->formatIndex() : -1);
    auto it = m_paragraphs.constFind(index);
    if (it == m_paragraphs.constEnd()) {
        const QTextListFormat listFormat = list.list ? list.list->format() : QTextListFormat();
        it = m_paragraphs.insert(index, rtfParagraphProperties(block.blockFormat(), m_colors,
                                                               m_document.indentWidth(),
                                                               list.kind != ListKind::None ? &listFormat : nullptr));
    }
    return it.value();
}

void RtfWriter::writeParagraphStart(const QTextBlock &block, int depth)
{
    const ListInfo list = listInfo(block);
    // Bullet items of one look are one run of \pn paragraphs, as readers
    // see them anyway; numbered lists keep their identity.
    const int ownBullet = list.bulletText.isEmpty() ? 0 : list.bulletText.front().unicode() + 1;
    const int listKey = list.kind == ListKind::Bullet ? -2 - list.bullet - 16 * ownBullet
                        : list.kind != ListKind::None ? list.id
                                                      : -1;
    // Formats that differ only in what RTF does not carry write the same
    // words and need no new \pard.
    const QByteArray &properties = paragraphProperties(block, list);
    const ParagraphKey key{properties, depth, listKey};

    // Numbering kept on blocks (no QTextList) counts its run of paragraphs.
    if (list.kind != ListKind::None && list.kind != ListKind::Bullet && !list.list) {
        const bool continues = m_previousList.kind == list.kind && m_previousList.id == -1
                               && m_previousList.start == list.start;
        m_listCounter = continues ? m_listCounter + 1 : list.start;
    }
    m_previousList = {list.kind, list.start, list.list ? list.id : -1};

    if (m_forcePard || !(key == m_paragraph)) {
        m_out.word("pard");
        if (depth > 0)
            m_out.word("intbl");
        if (depth > 1)
            m_out.word("itap", depth);
        if (list.kind != ListKind::None) {
            writeListText(list, block);
            writeListDefinition(list, block);
        }
        m_out.words(properties);
        m_paragraph = key;
        m_forcePard = false;
    } else if (list.kind != ListKind::None) {
        writeListText(list, block);
    }
}

int RtfWriter::itemNumber(const ListInfo &list, const QTextBlock &block) const
{
    return list.list ? list.start + list.list->itemNumber(block) : m_listCounter;
}

RtfWriter::Bullet RtfWriter::bullet(const ListInfo &list)
{
    // The marker glyphs rich-edit controls and word processors use: a
    // Symbol dot, a Courier "o" for circles, a Wingdings square. Any other
    // bullet is written as the character it is, in the document's font.
    if (!list.bulletText.isEmpty())
        return {0, QByteArray()};
    switch (list.bullet) {
    case QTextListFormat::ListCircle:
        return {bulletFont(QStringLiteral("Courier New"), 0), "o"};
    case QTextListFormat::ListSquare:
        return {bulletFont(QStringLiteral("Wingdings"), 2), "\\'A7"};
    default:
        return {bulletFont(QStringLiteral("Symbol"), 2), "\\'B7"};
    }
}

void RtfWriter::writeGlyph(const ListInfo &list, const Bullet &bullet)
{
    if (bullet.glyph.isEmpty())
        m_encoder.append(m_out, list.bulletText, m_fonts.codePageOf(bullet.font));
    else if (bullet.glyph.startsWith('\\'))
        m_out.symbol(bullet.glyph);
    else
        m_out.literal(bullet.glyph);
}

void RtfWriter::writeListText(const ListInfo &list, const QTextBlock &block)
{
    m_out.open();
    m_out.word("pntext");
    if (list.kind == ListKind::Bullet) {
        const Bullet mark = bullet(list);
        m_out.word("f", mark.font);
        writeGlyph(list, mark);
    } else {
        const int number = itemNumber(list, block);
        m_out.word("f", 0);
        m_encoder.append(m_out, list.prefix + listNumberText(list.kind, number) + list.suffix,
                         m_fonts.codePageOf(0));
    }
    m_out.word("tab");
    m_out.close();
}

void RtfWriter::writeListDefinition(const ListInfo &list, const QTextBlock &block)
{
    m_out.open();
    m_out.word("*");
    m_out.word("pn");
    if (list.kind == ListKind::Bullet) {
        const Bullet mark = bullet(list);
        m_out.word("pnlvlblt");
        m_out.word("pnf", mark.font);
        m_out.word("pnindent", 0);
        m_out.open();
        m_out.word("pntxtb");
        writeGlyph(list, mark);
        m_out.close();
    } else {
        m_out.word("pnlvlbody");
        m_out.word("pnf", 0);
        m_out.word("pnindent", 0);
        // A definition starts numbering anew in the reader, so it carries
        // the number the item has (a list that goes on after other
        // paragraphs keeps counting).
        m_out.word("pnstart", itemNumber(list, block));
        m_out.word(numberStyle(list.kind));
        if (list.align == 1 || list.align == 2)
            m_out.word(list.align == 1 ? "pnqc" : "pnqr");
        if (!list.prefix.isEmpty()) {
            m_out.open();
            m_out.word("pntxtb");
            m_out.noSpaceBefore(list.prefix.front());
            m_encoder.append(m_out, list.prefix, m_fonts.codePageOf(0));
            m_out.close();
        }
        if (!list.suffix.isEmpty()) {
            m_out.open();
            m_out.word("pntxta");
            m_out.noSpaceBefore(list.suffix.front());
            m_encoder.append(m_out, list.suffix, m_fonts.codePageOf(0));
            m_out.close();
        }
    }
    m_out.close();
}

RtfWriter::FormatInfo RtfWriter::formatInfo(const QTextFragment &fragment)
{
    const int index = fragment.charFormatIndex();
    const auto it = m_formats.constFind(index);
    if (it != m_formats.constEnd())
        return it.value();
    const QTextCharFormat format = fragment.charFormat();
    FormatInfo info;
    info.state = m_chars.stateOf(index, format);
    info.image = format.isImageFormat();
    if (format.isAnchor())
        info.href = format.anchorHref();
    if (format.hasProperty(prop::Footnote)) {
        info.footnote = format.property(prop::Footnote).toByteArray();
        info.superscript = format.verticalAlignment() == QTextCharFormat::AlignSuperScript;
    }
    m_formats.insert(index, info);
    return info;
}

void RtfWriter::changeState(int state)
{
    if (state == m_state)
        return;
    m_out.words(m_chars.transition(m_state, state));
    m_state = state;
}

void RtfWriter::openLink(const QString &href)
{
    m_stateBeforeLink = m_state;
    m_out.symbol("{\\field{\\*\\fldinst{");
    m_out.literal("HYPERLINK \"");
    m_encoder.append(m_out, fieldArgument(href), m_options.codePage);
    m_out.literal("\"");
    m_out.symbol("}}{\\fldrslt{");
    m_inLink = true;
    m_linkHref = href;
}

void RtfWriter::closeLink()
{
    if (!m_inLink)
        return;
    // The groups end, and with them whatever formatting the link's runs set.
    m_out.symbol("}}}");
    m_state = m_stateBeforeLink;
    m_inLink = false;
    m_linkHref.clear();
}

void RtfWriter::writeRuns(const QTextBlock &block)
{
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const int position = fragment.position();
        const int length = fragment.length();
        if (position + length <= m_from || position >= m_to)
            continue;
        const FormatInfo info = formatInfo(fragment);
        if (info.href != m_linkHref) {
            closeLink();
            if (!info.href.isEmpty())
                openLink(info.href);
        }
        changeState(info.state);
        const int begin = qMax(position, m_from) - position;
        const int end = qMin(position + length, m_to) - position;
        if (info.image) {
            if (!m_options.includeObjects)
                continue;
            const QTextImageFormat image = fragment.charFormat().toImageFormat();
            for (int i = begin; i < end; ++i)
                writeRtfPicture(m_out, m_encoder, m_document, image, m_chars.state(m_state).codePage);
            continue;
        }
        const QString text = fragment.text();
        if (!info.footnote.isEmpty()) {
            writeFootnoteMark(QStringView(text).mid(begin, end - begin), info,
                              begin == 0 && end == length);
            continue;
        }
        m_encoder.append(m_out, QStringView(text).mid(begin, end - begin),
                         m_chars.state(m_state).codePage);
    }
}

void RtfWriter::writeFootnoteMark(QStringView text, const FormatInfo &info, bool whole)
{
    // The mark, then the footnote's group; a part of a mark is only text.
    // An automatic mark is written as the word that numbers it, so that
    // readers number it again; in the mark's own format (a mark in the
    // line of the text stays there).
    const std::optional<Footnote> note = whole ? footnoteFromValue(info.footnote) : std::nullopt;
    const bool number = !text.isEmpty()
                        && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    if (note && note->automatic && number)
        m_out.symbol(info.superscript ? "{\\super\\chftn}" : "{\\chftn}");
    else
        m_encoder.append(m_out, text, m_chars.state(m_state).codePage);
    if (note)
        m_out.symbol(footnoteGroupRtf(*note, m_fonts, m_colors));
}

QList<int> RtfWriter::columnRights(QTextTable *table) const
{
    const QTextTableFormat format = table->format();
    const int columns = table->columns();
    // Columns without a fixed width share the text width of the document's
    // page (px at 96 dpi), not the editor's window width, so that the file
    // does not change with the window; the reader scales a wider table down
    // to that same width.
    qreal text = pageSetup(m_document).sane().textRect().width() / 15;
    // A nested table shares its cell's width: the reader holds it to that.
    if (auto *outer = qobject_cast<QTextTable *>(table->parentFrame())) {
        const QTextTableCell cell = outer->cellAt(table->firstPosition() - 1);
        if (cell.isValid()) {
            const QList<int> rights = columnRights(outer);
            const int first = cell.column(), last = first + cell.columnSpan() - 1;
            const int twipsWide = rights.value(last) - (first > 0 ? rights.value(first - 1) : 0);
            const QTextTableCellFormat f = cell.format().toTableCellFormat();
            text = qMax<qreal>(24, twipsWide / 15.0 - f.leftPadding() - f.rightPadding());
        }
    }
    qreal available = text;
    const QTextLength width = format.width();
    if (width.type() == QTextLength::FixedLength && width.rawValue() > 0)
        available = width.rawValue();
    else if (width.type() == QTextLength::PercentageLength && width.rawValue() > 0)
        available = text * width.rawValue() / 100;

    const QList<QTextLength> constraints = format.columnWidthConstraints();
    QList<qreal> widths(columns, -1);
    qreal used = 0;
    int open = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength length = constraints.value(c);
        if (length.type() == QTextLength::FixedLength)
            widths[c] = length.rawValue();
        else if (length.type() == QTextLength::PercentageLength)
            widths[c] = available * length.rawValue() / 100;
        if (widths[c] >= 0)
            used += widths[c];
        else
            ++open;
    }
    const qreal share = open ? qMax<qreal>(24, (available - used) / open) : 0;
    QList<int> rights;
    rights.reserve(columns);
    int right = 0;
    for (int c = 0; c < columns; ++c) {
        // Every cell keeps a width, or readers would merge it away.
        right += qMax(1, twips(widths[c] >= 0 ? widths[c] : share));
        rights.append(right);
    }
    return rights;
}

void RtfWriter::writeRowDefinition(QTextTable *table, int row, const QList<int> &cellRight)
{
    const QTextTableFormat format = table->format();
    m_out.word("trowd");
    m_out.word("trgaph", twips(format.cellPadding()));
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        m_out.word("trqc");
    else if (align & Qt::AlignRight)
        m_out.word("trqr");
    if (row < format.headerRowCount())
        m_out.word("trhdr");
    if (const int height = table->cellAt(row, 0).format().intProperty(prop::RowHeight))
        m_out.word("trrh", height);
    const int left = tableLeft(*table);
    if (left != 0)
        m_out.word("trleft", left);
    for (int c = 0; c < table->columns(); ++c) {
        // Merges come from the grid: which neighbours are the same cell.
        // (A cell's own span can be stale after several merges in a row.)
        const QTextTableCell cell = table->cellAt(row, c);
        const int id = cell.firstPosition();
        auto same = [table, id](int r, int col) {
            return r >= 0 && col >= 0 && r < table->rows() && col < table->columns()
                   && table->cellAt(r, col).firstPosition() == id;
        };
        if (same(row - 1, c))
            m_out.word("clvmrg");
        else if (same(row + 1, c))
            m_out.word("clvmgf");
        if (same(row, c - 1))
            m_out.word("clmrg");
        else if (same(row, c + 1))
            m_out.word("clmgf");
        const QTextCharFormat cellFormat = cell.format();
        switch (cellFormat.verticalAlignment()) {
        case QTextCharFormat::AlignMiddle: m_out.word("clvertalc"); break;
        case QTextCharFormat::AlignBottom: m_out.word("clvertalb"); break;
        default: break;
        }
        if (cellFormat.hasProperty(QTextFormat::BackgroundBrush)
            && cellFormat.background().style() != Qt::NoBrush)
            m_out.word("clcbpat", m_colors.indexOf(cellFormat.background().color()));
        writeCellFrame(m_out, cell.format().toTableCellFormat(), m_colors, format.border(),
                       format.cellPadding());
        m_out.word("cellx", left + cellRight.value(c));
    }
}

void RtfWriter::writeTable(QTextTable *table, int depth)
{
    closeLink();
    const int rows = table->rows();
    const int columns = table->columns();
    if (depth > MaxTableDepth) {
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                const int id = cell.firstPosition();
                if ((c == 0 || table->cellAt(r, c - 1).firstPosition() != id)
                    && (r == 0 || table->cellAt(r - 1, c).firstPosition() != id))
                    writeItems(cell.begin(), depth - 1, BlockEnd::Paragraph);
            }
        }
        return;
    }
    const QList<int> rights = columnRights(table);
    for (int r = 0; r < rows; ++r) {
        bool selected = false;
        for (int c = 0; c < columns && !selected; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            selected = intersects(cell.firstPosition(), cell.lastPosition());
        }
        if (!selected)
            continue;
        if (depth == 1)
            writeRowDefinition(table, r, rights);
        m_forcePard = true;
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            const int id = cell.firstPosition();
            const bool continued = (c > 0 && table->cellAt(r, c - 1).firstPosition() == id)
                                   || (r > 0 && table->cellAt(r - 1, c).firstPosition() == id);
            if (continued)
                writeEmptyCell(depth);
            else
                writeItems(cell.begin(), depth, BlockEnd::Cell);
        }
        if (depth == 1) {
            // A nested table's definitions came after this row's; readers
            // take the definition in force at \row, so it is given again.
            if (m_nestedInRow)
                writeRowDefinition(table, r, rights);
            m_nestedInRow = false;
            m_out.word("row");
        } else {
            m_nestedInRow = true;
            // Nested rows carry their definition after their cells; the
            // \par in \nonesttables is for readers that flatten nesting.
            m_out.symbol("{\\*\\nesttableprops");
            writeRowDefinition(table, r, rights);
            m_out.word("nestrow");
            m_out.symbol("}{\\nonesttables\\par}");
        }
        m_out.newline();
    }
    m_forcePard = true;
}

} // namespace richtext
