#include "richtext/rtfwritertables.h"

#include "richtext/codepage.h"
#include "richtext/rtfwriteroutput.h"
#include "richtext/rtfwritertext.h"
#include "richtext/textproperties.h"

#include <QTextTable>
#include <QTextTableCellFormat>

namespace richtext {

namespace {

// The family keyword as stored, when it is one RTF knows.
const char *familyKeyword(const QString &kind)
{
    static const char *const known[] = {"fnil", "froman", "fswiss", "fmodern",
                                        "fscript", "fdecor", "ftech", "fbidi"};
    for (const char *keyword : known) {
        if (kind == QLatin1String(keyword))
            return keyword;
    }
    return "fnil";
}

} // namespace

namespace {

QString fontKey(const RtfFont &font)
{
    return font.name + QChar(0) + QString::number(font.charset) + QChar(0)
           + QString::number(font.pitch) + QChar(0) + font.familyKind + QChar(0) + font.alt;
}

} // namespace

void RtfFontTable::setDefault(const QString &name, int charset)
{
    m_fonts.clear();
    m_codePages.clear();
    m_index.clear();
    RtfFont font;
    font.name = name;
    font.charset = charset;
    m_defaultSettled = true;
    indexOf(font);
    m_defaultSettled = false;
}

int RtfFontTable::indexOf(const RtfFont &font)
{
    const QString key = fontKey(font);
    const auto it = m_index.constFind(key);
    if (it != m_index.constEnd()) {
        if (it.value() == 0)
            m_defaultSettled = true;
        return it.value();
    }
    if (!m_defaultSettled && font.name == m_fonts[0].name && font.charset == m_fonts[0].charset) {
        m_index.remove(fontKey(m_fonts[0]));
        m_fonts[0] = font;
        m_index.insert(key, 0);
        m_defaultSettled = true;
        return 0;
    }
    const int index = int(m_fonts.size());
    m_fonts.append(font);
    int codePage = codepage::forCharset(font.charset);
    // Charset 1 (DEFAULT_CHARSET) and unknown values mean the document's
    // own code page.
    if (codePage <= 0 || font.charset == 1)
        codePage = m_documentCodePage;
    m_codePages.append(codePage);
    m_index.insert(key, index);
    return index;
}

void RtfFontTable::write(RtfWriterOutput &out, RtfTextEncoder &encoder) const
{
    out.open();
    out.word("fonttbl");
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        const RtfFont &font = m_fonts[i];
        out.open();
        out.word("f", int(i));
        out.word(familyKeyword(font.familyKind));
        if (font.pitch >= 0)
            out.word("fprq", font.pitch);
        out.word("fcharset", font.charset);
        // The name ends at ';' in RTF, so a name cannot carry one.
        QString name = font.name;
        name.remove(QLatin1Char(';'));
        encoder.append(out, name, m_codePages[i]);
        if (!font.alt.isEmpty()) {
            QString alt = font.alt;
            alt.remove(QLatin1Char(';'));
            out.symbol("{\\*\\falt ");
            encoder.append(out, alt, m_codePages[i]);
            out.symbol("}");
        }
        out.symbol(";}");
    }
    out.close();
}

int RtfColorTable::indexOf(const QColor &color)
{
    const QRgb rgb = color.rgb() & 0xffffff;
    const auto it = m_index.constFind(rgb);
    if (it != m_index.constEnd())
        return it.value();
    m_colors.append(rgb);
    const int index = int(m_colors.size());
    m_index.insert(rgb, index);
    return index;
}

void RtfColorTable::write(RtfWriterOutput &out) const
{
    out.open();
    out.word("colortbl");
    out.symbol(" ;");
    for (const QRgb rgb : m_colors) {
        out.word("red", qRed(rgb));
        out.word("green", qGreen(rgb));
        out.word("blue", qBlue(rgb));
        out.symbol(";");
    }
    out.close();
}

namespace {

struct Side
{
    const char *word;       // \clbrdr?
    const char *padding;    // \clpad? (Word's: "t" is the left, "l" the top)
    const char *unit;       // \clpadf?
    QTextFormat::Property width, style, brush, pad;
};

const Side sides[] = {
    {"clbrdrt", "clpadl", "clpadfl", QTextFormat::TableCellTopBorder,
     QTextFormat::TableCellTopBorderStyle, QTextFormat::TableCellTopBorderBrush,
     QTextFormat::TableCellTopPadding},
    {"clbrdrl", "clpadt", "clpadft", QTextFormat::TableCellLeftBorder,
     QTextFormat::TableCellLeftBorderStyle, QTextFormat::TableCellLeftBorderBrush,
     QTextFormat::TableCellLeftPadding},
    {"clbrdrb", "clpadb", "clpadfb", QTextFormat::TableCellBottomBorder,
     QTextFormat::TableCellBottomBorderStyle, QTextFormat::TableCellBottomBorderBrush,
     QTextFormat::TableCellBottomPadding},
    {"clbrdrr", "clpadr", "clpadfr", QTextFormat::TableCellRightBorder,
     QTextFormat::TableCellRightBorderStyle, QTextFormat::TableCellRightBorderBrush,
     QTextFormat::TableCellRightPadding},
};

void writeBorderColor(RtfWriterOutput &out, const QTextTableCellFormat &cell,
                      QTextFormat::Property brush, RtfColorTable &colors);
void writeCellPadding(RtfWriterOutput &out, const QTextTableCellFormat &cell, qreal gap);

} // namespace

void writeCellFrame(RtfWriterOutput &out, const QTextTableCellFormat &cell, RtfColorTable &colors,
                    qreal tableBorder, qreal gap)
{
    bool own = false;
    for (const Side &side : sides)
        own = own || cell.hasProperty(side.style);
    // The borders as read, where the cell came from RTF: Qt's whole pixels
    // keep neither their exact width nor a thick line.
    const QStringList read = cell.stringProperty(prop::CellBorders).split(u' ');
    if (read.size() == 4) {
        for (int i = 0; i < 4; ++i) {
            const QString &kept = read[i];
            qsizetype digits = 0;
            while (digits < kept.size() && kept.at(digits).isLetter())
                ++digits;
            const QByteArray style = kept.left(digits).toLatin1();
            if (style != "s" && style != "th" && style != "db" && style != "dot"
                && style != "dash")
                continue; // "-": no line
            out.word(sides[i].word);
            out.word(QByteArray("brdr" + style).constData());
            const int width = kept.mid(digits).toInt();
            if (width > 0 && width <= 255)
                out.word("brdrw", width);
            writeBorderColor(out, cell, sides[i].brush, colors);
        }
        writeCellPadding(out, cell, gap);
        return;
    }
    for (const Side &side : sides) {
        qreal width = own ? cell.doubleProperty(side.width) : tableBorder;
        const auto style = own ? QTextFrameFormat::BorderStyle(cell.intProperty(side.style))
                               : QTextFrameFormat::BorderStyle_Solid;
        if (width <= 0 || style == QTextFrameFormat::BorderStyle_None)
            continue;
        out.word(side.word);
        switch (style) {
        case QTextFrameFormat::BorderStyle_Double:
            out.word("brdrdb");
            width /= 3; // each of the two lines
            break;
        case QTextFrameFormat::BorderStyle_Dotted: out.word("brdrdot"); break;
        case QTextFrameFormat::BorderStyle_Dashed:
        case QTextFrameFormat::BorderStyle_DotDash:
        case QTextFrameFormat::BorderStyle_DotDotDash: out.word("brdrdash"); break;
        default: out.word("brdrs"); break;
        }
        out.word("brdrw", qBound(1, qRound(width * 15), 255));
        if (own)
            writeBorderColor(out, cell, side.brush, colors);
    }
    writeCellPadding(out, cell, gap);
}

namespace {

void writeBorderColor(RtfWriterOutput &out, const QTextTableCellFormat &cell,
                      QTextFormat::Property brush, RtfColorTable &colors)
{
    if (!cell.hasProperty(brush))
        return;
    const QColor color = cell.brushProperty(brush).color();
    if (color.isValid() && (color.rgb() & 0xffffff) != 0) // black is the automatic colour
        out.word("brdrcf", colors.indexOf(color));
}

void writeCellPadding(RtfWriterOutput &out, const QTextTableCellFormat &cell, qreal gap)
{
    for (const Side &side : sides) {
        if (!cell.hasProperty(side.pad))
            continue;
        const bool across = side.pad == QTextFormat::TableCellLeftPadding
                            || side.pad == QTextFormat::TableCellRightPadding;
        // Padding that only makes the row as tall as its \trrh is not the
        // cell's: \trrh gives it again when the file is read.
        qreal pad = cell.doubleProperty(side.pad);
        if (side.pad == QTextFormat::TableCellTopPadding)
            pad -= cell.doubleProperty(prop::RowFillTop);
        else if (side.pad == QTextFormat::TableCellBottomPadding)
            pad -= cell.doubleProperty(prop::RowFillBottom);
        const int twips = qBound(0, qRound(pad * 15), 31680);
        if (twips == qRound((across ? gap : 0) * 15))
            continue;
        out.word(side.padding, twips);
        out.word(side.unit, 3);
    }
}

} // namespace

int tableLeft(const QTextTable &table)
{
    const QTextTableFormat format = table.format();
    if (format.leftMargin() == 0 || (format.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignLeft))
        return 0;
    // The reader puts the first cell's padding and border left of \trleft.
    const QTextTableCellFormat first = table.cellAt(0, 0).format().toTableCellFormat();
    const qreal pad = first.hasProperty(QTextFormat::TableCellLeftPadding) ? first.leftPadding()
                                                                            : format.cellPadding();
    return qRound((format.leftMargin() + pad + first.leftBorder()) * 15);
}

} // namespace richtext
