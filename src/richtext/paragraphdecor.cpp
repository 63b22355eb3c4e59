#include "richtext/paragraphdecor.h"

#include "richtext/textproperties.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

namespace richtext {

namespace {

constexpr int PropsPerSide = prop::BorderLeftStyle - prop::BorderTopStyle;

int sideProperty(int side, int first)
{
    return first + side * PropsPerSide;
}

// A twips length in the layout's device pixels.
qreal fromTwips(int twips, qreal scale)
{
    return twips / 15.0 * scale;
}

} // namespace

bool ParagraphDecor::hasBorders() const
{
    for (const ParagraphBorder &side : sides) {
        if (side.style != BorderStyle::None)
            return true;
    }
    return false;
}

QColor ParagraphDecor::shadingColor() const
{
    const QColor back = background.isValid() ? background : QColor(Qt::white);
    const QColor fore = pattern.isValid() ? pattern : QColor(Qt::black);
    const qreal share = qBound(0, shading, 10000) / 10000.0;
    const auto mix = [share](int b, int f) { return qRound(b + (f - b) * share); };
    return QColor(mix(back.red(), fore.red()), mix(back.green(), fore.green()),
                  mix(back.blue(), fore.blue()));
}

ParagraphDecor paragraphDecor(const QTextBlockFormat &format)
{
    ParagraphDecor decor;
    for (int side = 0; side < 4; ++side) {
        ParagraphBorder &border = decor.sides[side];
        const int styleProp = sideProperty(side, prop::BorderTopStyle);
        if (!format.hasProperty(styleProp))
            continue;
        border.style = BorderStyle(qBound(0, format.intProperty(styleProp), 5));
        border.width = format.intProperty(sideProperty(side, prop::BorderTopWidth));
        border.space = format.intProperty(sideProperty(side, prop::BorderTopSpace));
        border.color = format.colorProperty(sideProperty(side, prop::BorderTopColor));
    }
    decor.background = format.colorProperty(prop::ShadingBackground);
    decor.pattern = format.colorProperty(prop::ShadingPattern);
    decor.shading = format.intProperty(prop::ShadingPercent);
    return decor;
}

void setParagraphDecor(QTextBlockFormat &format, const ParagraphDecor &decor)
{
    for (int side = 0; side < 4; ++side) {
        const ParagraphBorder &border = decor.sides[side];
        const int props[] = {sideProperty(side, prop::BorderTopStyle),
                             sideProperty(side, prop::BorderTopWidth),
                             sideProperty(side, prop::BorderTopSpace),
                             sideProperty(side, prop::BorderTopColor)};
        if (border.style == BorderStyle::None) {
            for (const int p : props)
                format.clearProperty(p);
            continue;
        }
        format.setProperty(props[0], int(border.style));
        format.setProperty(props[1], border.width);
        format.setProperty(props[2], border.space);
        if (border.color.isValid())
            format.setProperty(props[3], border.color);
        else
            format.clearProperty(props[3]);
    }
    const auto setColor = [&format](int property, const QColor &color) {
        if (color.isValid())
            format.setProperty(property, color);
        else
            format.clearProperty(property);
    };
    setColor(prop::ShadingBackground, decor.background);
    setColor(prop::ShadingPattern, decor.pattern);
    if (decor.shading > 0)
        format.setProperty(prop::ShadingPercent, qBound(0, decor.shading, 10000));
    else
        format.clearProperty(prop::ShadingPercent);
    if (decor.hasShading())
        format.setBackground(decor.shadingColor());
}

QList<TabLeader> tabLeaders(const QTextBlockFormat &format)
{
    const QString codes = format.stringProperty(prop::TabLeaders);
    if (codes.isEmpty() || codes.size() != format.tabPositions().size())
        return {};
    QList<TabLeader> leaders;
    for (const QChar c : codes)
        leaders.append(TabLeader(qBound(0, c.digitValue(), 5)));
    return leaders;
}

void setTabLeaders(QTextBlockFormat &format, const QList<TabLeader> &leaders)
{
    QString codes;
    bool any = false;
    for (const TabLeader leader : leaders) {
        codes.append(QChar(u'0' + int(leader)));
        any = any || leader != TabLeader::None;
    }
    if (any)
        format.setProperty(prop::TabLeaders, codes);
    else
        format.clearProperty(prop::TabLeaders);
}

namespace {

// Where a block is, in document coordinates: the origin of its layout and
// the rectangle its lines fill (which is where Qt paints its background).
struct Placed
{
    QTextBlock block;
    QPointF origin;
    QRectF text;
};

Placed place(const QTextBlock &block)
{
    const QTextLayout *layout = block.layout();
    const QRectF rect = block.document()->documentLayout()->blockBoundingRect(block);
    return {block, rect.topLeft(), layout->boundingRect().translated(rect.topLeft())};
}

QTextFrame *frameOf(const QTextBlock &block)
{
    return QTextCursor(block).currentFrame();
}

// Blocks belong to one box when their borders and shading are the same and
// they stand in the same column, as word processors join them.
bool sameBox(const QTextBlock &a, const QTextBlock &b)
{
    if (!a.isValid() || !b.isValid() || !a.isVisible() || !b.isVisible())
        return false;
    // The indents as the paragraphs have them, whether the room for the
    // borders is in them yet or not.
    const QTextBlockFormat fa = withoutBorderRoom(a.blockFormat());
    const QTextBlockFormat fb = withoutBorderRoom(b.blockFormat());
    return paragraphDecor(fa) == paragraphDecor(fb) && fa.leftMargin() == fb.leftMargin()
           && fa.rightMargin() == fb.rightMargin() && frameOf(a) == frameOf(b);
}

void strokeLine(QPainter &painter, const QLineF &line, const ParagraphBorder &border,
                const QColor &textColor, qreal scale)
{
    // The thinnest line a word processor draws is half a point.
    const qreal width = qMax(fromTwips(border.width > 0 ? border.width : 10, scale), scale * 0.5);
    QPen pen(border.color.isValid() ? border.color : textColor);
    pen.setCapStyle(Qt::FlatCap);
    switch (border.style) {
    case BorderStyle::Thick:
        pen.setWidthF(2 * width);
        break;
    case BorderStyle::Dotted:
        pen.setWidthF(width);
        pen.setStyle(Qt::DotLine);
        break;
    case BorderStyle::Dashed:
        pen.setWidthF(width);
        pen.setStyle(Qt::DashLine);
        break;
    case BorderStyle::Double: {
        // Two lines, a line's width apart, centred on the border's line.
        pen.setWidthF(width);
        painter.setPen(pen);
        const QPointF step = line.p1() == line.p2()
                                 ? QPointF()
                                 : QPointF(-(line.dy()), line.dx()) / line.length() * width;
        painter.drawLine(line.translated(step));
        painter.drawLine(line.translated(-step));
        return;
    }
    default:
        pen.setWidthF(width);
        break;
    }
    painter.setPen(pen);
    painter.drawLine(line);
}

// How far a border reaches out from the line its centre is drawn on.
qreal halfWidth(const ParagraphBorder &border, qreal scale)
{
    if (border.style == BorderStyle::None)
        return 0;
    const qreal width = qMax(fromTwips(border.width > 0 ? border.width : 10, scale), scale * 0.5);
    return border.style == BorderStyle::Thick || border.style == BorderStyle::Double ? 1.5 * width
                                                                                     : width / 2;
}

// Paints the box of the run of blocks [begin, last] (all with `decor`).
void paintBox(QPainter &painter, const std::vector<Placed> &run, const ParagraphDecor &decor,
              const QColor &textColor, qreal scale)
{
    using S = ParagraphDecor::Side;
    QRectF text = run.front().text;
    for (const Placed &p : run)
        text = text.united(p.text);
    const auto reach = [&](int side) {
        const ParagraphBorder &b = decor.sides[side];
        return b.style == BorderStyle::None ? 0.0 : fromTwips(b.space, scale) + halfWidth(b, scale);
    };
    // The lines' centres.
    const QRectF box = text.adjusted(-reach(S::Left), -reach(S::Top), reach(S::Right),
                                     reach(S::Bottom));

    if (decor.hasShading()) {
        // Qt filled each block's lines; the rest of the box inside its
        // lines is filled here: the borders' spacing and the gaps between
        // the paragraphs.
        const QRectF inner = box.adjusted(halfWidth(decor.sides[S::Left], scale),
                                          halfWidth(decor.sides[S::Top], scale),
                                          -halfWidth(decor.sides[S::Right], scale),
                                          -halfWidth(decor.sides[S::Bottom], scale));
        const QColor color = decor.shadingColor();
        qreal top = inner.top();
        for (size_t i = 0; i < run.size(); ++i) {
            const QRectF t = run[i].text;
            const qreal bottom = i + 1 < run.size() ? run[i + 1].text.top() : inner.bottom();
            painter.fillRect(QRectF(QPointF(inner.left(), top), QPointF(inner.right(), t.top())),
                             color);
            painter.fillRect(QRectF(QPointF(inner.left(), t.bottom()), QPointF(inner.right(), bottom)),
                             color);
            painter.fillRect(QRectF(QPointF(inner.left(), t.top()), QPointF(t.left(), t.bottom())),
                             color);
            painter.fillRect(QRectF(QPointF(t.right(), t.top()), QPointF(inner.right(), t.bottom())),
                             color);
            top = bottom;
        }
    }

    // Each line runs to the outer edge of the lines it meets, so that the
    // corners close.
    const qreal l = box.left() - halfWidth(decor.sides[S::Left], scale);
    const qreal r = box.right() + halfWidth(decor.sides[S::Right], scale);
    const qreal t = box.top() - halfWidth(decor.sides[S::Top], scale);
    const qreal b = box.bottom() + halfWidth(decor.sides[S::Bottom], scale);
    if (decor.sides[S::Top].style != BorderStyle::None)
        strokeLine(painter, QLineF(l, box.top(), r, box.top()), decor.sides[S::Top], textColor, scale);
    if (decor.sides[S::Bottom].style != BorderStyle::None)
        strokeLine(painter, QLineF(l, box.bottom(), r, box.bottom()), decor.sides[S::Bottom],
                   textColor, scale);
    if (decor.sides[S::Left].style != BorderStyle::None)
        strokeLine(painter, QLineF(box.left(), t, box.left(), b), decor.sides[S::Left], textColor,
                   scale);
    if (decor.sides[S::Right].style != BorderStyle::None)
        strokeLine(painter, QLineF(box.right(), t, box.right(), b), decor.sides[S::Right],
                   textColor, scale);
}

// Fills the gap of one tab character with its stop's leader.
void paintLeader(QPainter &painter, const QTextLine &line, const QPointF &origin, qreal x1,
                 qreal x2, TabLeader leader, const QFont &font, const QColor &color)
{
    const QFontMetricsF metrics(font, painter.device());
    const qreal baseline = origin.y() + line.y() + line.ascent();
    const qreal left = origin.x() + x1;
    const qreal right = origin.x() + x2;
    painter.setPen(color);
    switch (leader) {
    case TabLeader::Dots:
    case TabLeader::Hyphens: {
        // The leader's characters stand on a grid of their own width, so
        // that leaders on the lines of a form line up.
        const QChar c = leader == TabLeader::Dots ? u'.' : u'-';
        const qreal step = metrics.horizontalAdvance(c);
        if (step <= 0 || (right - left) / step > 2000)
            return;
        painter.setFont(font);
        for (qreal x = std::ceil(left / step) * step; x + step <= right + 0.01; x += step)
            painter.drawText(QPointF(x, baseline), QString(c));
        return;
    }
    case TabLeader::Underline:
    case TabLeader::ThickLine: {
        const qreal width = qMax<qreal>(metrics.lineWidth(), 0.5)
                            * (leader == TabLeader::ThickLine ? 2 : 1);
        QPen pen(color, width);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        const qreal y = baseline + metrics.underlinePos();
        painter.drawLine(QLineF(left, y, right, y));
        return;
    }
    case TabLeader::Equals: {
        const qreal width = qMax<qreal>(metrics.lineWidth(), 0.5);
        QPen pen(color, width);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        const qreal y = baseline + metrics.underlinePos();
        painter.drawLine(QLineF(left, y - 1.5 * width, right, y - 1.5 * width));
        painter.drawLine(QLineF(left, y + 1.5 * width, right, y + 1.5 * width));
        return;
    }
    default:
        return;
    }
}

void paintLeaders(QPainter &painter, const Placed &placed, qreal scale, const QColor &textColor)
{
    const QTextBlockFormat format = placed.block.blockFormat();
    const QList<TabLeader> leaders = tabLeaders(format);
    if (leaders.isEmpty())
        return;
    const QList<QTextOption::Tab> tabs = format.tabPositions();
    const QTextLayout *layout = placed.block.layout();
    const QString text = placed.block.text();
    for (qsizetype i = text.indexOf(u'\t'); i >= 0; i = text.indexOf(u'\t', i + 1)) {
        const QTextLine line = layout->lineForTextPosition(int(i));
        if (!line.isValid())
            continue;
        const qreal x1 = line.cursorToX(int(i));
        const qreal x2 = line.cursorToX(int(i + 1));
        if (x2 - x1 < 1)
            continue;
        // Qt takes the first stop past where the tab starts; so does this.
        qsizetype stop = 0;
        while (stop < tabs.size() && tabs[stop].position * scale <= x1 + 0.01)
            ++stop;
        if (stop >= tabs.size() || leaders[stop] == TabLeader::None)
            continue;
        QTextCursor cursor(placed.block);
        cursor.setPosition(placed.block.position() + int(i) + 1);
        const QTextCharFormat chr = cursor.charFormat();
        const QBrush brush = chr.foreground();
        const QColor color = brush.style() != Qt::NoBrush ? brush.color() : textColor;
        paintLeader(painter, line, placed.origin, x1, x2, leaders[stop],
                    QFont(chr.font(), painter.device()), color);
    }
}

} // namespace

int borderRoom(const ParagraphBorder &border)
{
    if (border.style == BorderStyle::None)
        return 0;
    // A border without a width takes four fifths of a point, as LibreOffice
    // gives it; a double line is two lines and the gap between them.
    const int width = border.width > 0 ? border.width : 16;
    return qMax(0, border.space) + (border.style == BorderStyle::Double ? 3 * width : width);
}

void applyBorderRoom(QTextDocument &document, int first, int end)
{
    QTextBlock block = document.findBlock(qMax(0, first));
    if (!block.isValid())
        return;
    // A neighbour's box may have joined this range's paragraphs or parted
    // from them: it is looked at again too.
    if (block.previous().isValid())
        block = block.previous();
    QTextBlock stop = document.findBlock(qMin(end, document.characterCount() - 1));
    if (stop.isValid())
        stop = stop.next();
    if (stop.isValid())
        stop = stop.next();

    QTextCursor cursor(&document);
    for (; block.isValid() && block != stop; block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        const ParagraphDecor decor = paragraphDecor(format);
        using S = ParagraphDecor::Side;
        // Most paragraphs have no border: whether a neighbour shares the
        // box is asked only about a side that has one.
        const int topRoom = borderRoom(decor.sides[S::Top]);
        const int bottomRoom = borderRoom(decor.sides[S::Bottom]);
        const qreal top = topRoom == 0 || sameBox(block.previous(), block) ? 0 : fromTwips(topRoom, 1);
        const qreal bottom = bottomRoom == 0 || sameBox(block, block.next()) ? 0 : fromTwips(bottomRoom, 1);
        // The sides stand at the paragraph's indents, the text inside them
        // (as LibreOffice places a box; Word puts the sides out in the
        // margin).
        const qreal left = fromTwips(borderRoom(decor.sides[S::Left]), 1);
        const qreal right = fromTwips(borderRoom(decor.sides[S::Right]), 1);
        const auto same = [&format](int property, qreal room) {
            return qFuzzyCompare(1 + room, 1 + format.doubleProperty(property));
        };
        if (same(prop::BorderRoomTop, top) && same(prop::BorderRoomBottom, bottom)
            && same(prop::BorderRoomLeft, left) && same(prop::BorderRoomRight, right))
            continue;
        QTextBlockFormat changed = withoutBorderRoom(format);
        changed.setTopMargin(changed.topMargin() + top);
        changed.setBottomMargin(changed.bottomMargin() + bottom);
        changed.setLeftMargin(changed.leftMargin() + left);
        changed.setRightMargin(changed.rightMargin() + right);
        const std::pair<int, qreal> rooms[] = {{prop::BorderRoomTop, top},
                                               {prop::BorderRoomBottom, bottom},
                                               {prop::BorderRoomLeft, left},
                                               {prop::BorderRoomRight, right}};
        for (const auto &[property, room] : rooms) {
            if (room > 0)
                changed.setProperty(property, room);
        }
        cursor.setPosition(block.position());
        cursor.setBlockFormat(changed);
    }
}

QTextBlockFormat withoutBorderRoom(const QTextBlockFormat &format)
{
    QTextBlockFormat own = format;
    if (format.hasProperty(prop::BorderRoomTop)) {
        own.setTopMargin(qMax<qreal>(0, format.topMargin() - format.doubleProperty(prop::BorderRoomTop)));
        own.clearProperty(prop::BorderRoomTop);
    }
    if (format.hasProperty(prop::BorderRoomBottom)) {
        own.setBottomMargin(
            qMax<qreal>(0, format.bottomMargin() - format.doubleProperty(prop::BorderRoomBottom)));
        own.clearProperty(prop::BorderRoomBottom);
    }
    // Indents may be negative: the room comes off whatever they are.
    if (format.hasProperty(prop::BorderRoomLeft)) {
        own.setLeftMargin(format.leftMargin() - format.doubleProperty(prop::BorderRoomLeft));
        own.clearProperty(prop::BorderRoomLeft);
    }
    if (format.hasProperty(prop::BorderRoomRight)) {
        own.setRightMargin(format.rightMargin() - format.doubleProperty(prop::BorderRoomRight));
        own.clearProperty(prop::BorderRoomRight);
    }
    return own;
}

void paintParagraphDecor(QPainter &painter, const QTextDocument &document, const QRectF &clip,
                         const QColor &textColor, int first, int end)
{
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    const QPaintDevice *device = layout->paintDevice();
    const qreal scale = device ? device->logicalDpiX() / 96.0 : 1.0;
    const auto meets = [&clip](const QRectF &rect) {
        return rect.bottom() >= clip.top() && rect.top() <= clip.bottom();
    };

    // The whole document (the editor): only the blocks in view are walked,
    // from the start of the box the first of them belongs to. A range (a
    // page): its own blocks, and a box is cut where the range ends, as a
    // page break cuts it.
    const bool whole = first <= 0 && end >= document.characterCount();
    QTextBlock block = document.findBlock(qMax(0, first));
    if (whole) {
        // A little above the clip, so that a bottom line below the text of
        // the block before is painted again too.
        const int hit = layout->hitTest(QPointF(clip.left(), clip.top() - 20 * scale),
                                        Qt::FuzzyHit);
        block = document.findBlock(qMax(0, hit));
        if (block.previous().isValid())
            block = block.previous();
        for (int guard = 0; guard < 1000 && sameBox(block.previous(), block); ++guard)
            block = block.previous();
    }

    painter.save();
    // The lines are upright or level: smoothing would only blur them.
    painter.setRenderHint(QPainter::Antialiasing, false);
    while (block.isValid() && block.position() < end) {
        if (!block.isVisible() || !block.layout() || block.layout()->lineCount() == 0) {
            block = block.next();
            continue;
        }
        const Placed placed = place(block);
        if (whole && placed.text.top() > clip.bottom() + 20 * scale
            && frameOf(block) == document.rootFrame())
            break;
        // The run of blocks that share this one's box.
        std::vector<Placed> run{placed};
        QTextBlock next = block.next();
        const ParagraphDecor decor = paragraphDecor(block.blockFormat());
        if (decor.hasBorders() || decor.hasShading()) {
            while (run.size() < 1000 && next.isValid() && next.position() < end
                   && sameBox(run.back().block, next) && next.layout()->lineCount() > 0) {
                run.push_back(place(next));
                next = next.next();
            }
            QRectF all = run.front().text;
            for (const Placed &p : run)
                all = all.united(p.text);
            // Lines stand outside the text: a band around it is enough.
            if (meets(all.adjusted(0, -100 * scale, 0, 100 * scale)))
                paintBox(painter, run, decor, textColor, scale);
        }
        for (const Placed &p : run) {
            if (meets(p.text))
                paintLeaders(painter, p, scale, textColor);
        }
        block = next;
    }
    painter.restore();
}

} // namespace richtext
