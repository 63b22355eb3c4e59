#include "richtext/rtfwriterparaformat.h"

#include "richtext/paragraphdecor.h"
#include "richtext/rtfwritertables.h"
#include "richtext/textproperties.h"

#include <QTextBlockFormat>
#include <QTextListFormat>

namespace richtext {

namespace {

int twips(qreal px)
{
    return qRound(px * 15);
}

void number(QByteArray &out, const char *word, int value)
{
    out += '\\';
    out += word;
    out += QByteArray::number(value);
}

void lineSpacing(QByteArray &out, const QTextBlockFormat &format)
{
    // The value as it was read, when it was read: that keeps \sl values that
    // Qt's line-height model cannot express exactly.
    if (format.hasProperty(prop::LineSpacingRule)) {
        number(out, "sl", format.intProperty(prop::LineSpacingRule));
        number(out, "slmult", format.boolProperty(prop::LineSpacingMultiple) ? 1 : 0);
        return;
    }
    const qreal height = format.lineHeight();
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (height > 0 && qRound(height) != 100) {
            number(out, "sl", qRound(240 * height / 100));
            out += "\\slmult1";
        }
        break;
    case QTextBlockFormat::FixedHeight:
        if (height > 0) {
            number(out, "sl", -twips(height));
            out += "\\slmult0";
        }
        break;
    case QTextBlockFormat::MinimumHeight:
        if (height > 0) {
            number(out, "sl", twips(height));
            out += "\\slmult0";
        }
        break;
    default:
        break;
    }
}

void borderWords(QByteArray &out, const ParagraphBorder &border, RtfColorTable &colors)
{
    static const char *const styles[] = {"\\brdrnone", "\\brdrs", "\\brdrth", "\\brdrdb",
                                         "\\brdrdot", "\\brdrdash"};
    out += styles[qBound(0, int(border.style), 5)];
    if (border.width > 0)
        number(out, "brdrw", border.width);
    if (border.space > 0)
        number(out, "brsp", border.space);
    if (border.color.isValid())
        number(out, "brdrcf", colors.indexOf(border.color));
}

void borders(QByteArray &out, const ParagraphDecor &decor, RtfColorTable &colors)
{
    const ParagraphBorder *sides = decor.sides;
    if (sides[0] == sides[1] && sides[0] == sides[2] && sides[0] == sides[3]) {
        out += "\\box";
        borderWords(out, sides[0], colors);
        return;
    }
    static const char *const words[] = {"\\brdrt", "\\brdrl", "\\brdrb", "\\brdrr"};
    for (int side = 0; side < 4; ++side) {
        if (sides[side].style == BorderStyle::None)
            continue;
        out += words[side];
        borderWords(out, sides[side], colors);
    }
}

void shading(QByteArray &out, const ParagraphDecor &decor, RtfColorTable &colors)
{
    if (decor.background.isValid())
        number(out, "cbpat", colors.indexOf(decor.background));
    if (decor.pattern.isValid())
        number(out, "cfpat", colors.indexOf(decor.pattern));
    if (decor.shading > 0)
        number(out, "shading", decor.shading);
}

} // namespace

QByteArray rtfParagraphProperties(const QTextBlockFormat &format, RtfColorTable &colors,
                                  qreal indentWidth, const QTextListFormat *list)
{
    QByteArray out;
    if (format.layoutDirection() == Qt::RightToLeft)
        out += "\\rtlpar";
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignJustify)
        out += "\\qj";
    else if (align & Qt::AlignHCenter)
        out += "\\qc";
    else if (align & Qt::AlignRight)
        out += "\\qr";

    // The paragraph's own indents and spacing, without the room made for
    // its borders.
    const QTextBlockFormat own = withoutBorderRoom(format);
    qreal leftPx = own.leftMargin() + format.indent() * indentWidth;
    qreal firstPx = format.textIndent();
    if (list) {
        // Qt draws a list's marker in the list's indent; RTF puts it in the
        // hanging first line of an indented paragraph.
        leftPx += list->indent() * indentWidth;
        if (format.hasProperty(prop::ListTextIndent))
            firstPx = format.doubleProperty(prop::ListTextIndent);
        else if (qFuzzyIsNull(firstPx))
            firstPx = -qMin<qreal>(ListHangingIndent, leftPx);
    }
    if (const int left = twips(leftPx))
        number(out, "li", left);
    if (const int right = twips(own.rightMargin()))
        number(out, "ri", right);
    if (const int first = twips(firstPx))
        number(out, "fi", first);
    if (const int before = twips(own.topMargin()))
        number(out, "sb", before);
    if (const int after = twips(own.bottomMargin()))
        number(out, "sa", after);
    lineSpacing(out, format);

    if (format.boolProperty(prop::KeepWithNext))
        out += "\\keepn";
    if (format.boolProperty(prop::KeepTogether))
        out += "\\keep";
    if (format.boolProperty(prop::PageBreakBefore)
        || (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore))
        out += "\\pagebb";
    const ParagraphDecor decor = paragraphDecor(format);
    if (decor.hasBorders())
        borders(out, decor, colors);
    if (decor.hasShading())
        shading(out, decor, colors);
    else if (format.hasProperty(QTextFormat::BackgroundBrush)
             && format.background().style() != Qt::NoBrush)
        number(out, "cbpat", colors.indexOf(format.background().color()));

    const QList<QTextOption::Tab> tabs = format.tabPositions();
    const QList<TabLeader> leaders = tabLeaders(format);
    for (qsizetype i = 0; i < tabs.size(); ++i) {
        const QTextOption::Tab &tab = tabs[i];
        static const char *const leaderWords[] = {"", "\\tldot", "\\tlhyph", "\\tlul", "\\tlth",
                                                  "\\tleq"};
        if (i < leaders.size())
            out += leaderWords[qBound(0, int(leaders[i]), 5)];
        switch (tab.type) {
        case QTextOption::RightTab: out += "\\tqr"; break;
        case QTextOption::CenterTab: out += "\\tqc"; break;
        case QTextOption::DelimiterTab: out += "\\tqdec"; break;
        default: break;
        }
        number(out, "tx", twips(tab.position));
    }
    return out;
}

} // namespace richtext
