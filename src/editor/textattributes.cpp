#include "editor/textattributes.h"

#include "editor/richeditor.h"
#include "richtext/textkinds.h"
#include "richtext/textproperties.h"
#include "editor/twips.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace prop = richtext::prop;

namespace {

// Values that mean what a format without them means: no underline of any
// kind, the font's own pitch.
bool isPlainDefault(int property, const QVariant &value)
{
    switch (property) {
    case QTextFormat::TextUnderlineStyle:
    case prop::UnderlineKind:
    case prop::FontPitch:
        return value.toInt() == 0;
    default:
        return false;
    }
}

} // namespace

TextAttributes::TextAttributes(RichEditor &editor, Kind kind) : m_editor(editor), m_kind(kind)
{
}

QTextCharFormat TextAttributes::current() const
{
    if (m_kind == Kind::Default) {
        QTextCharFormat format;
        format.setFont(m_editor.document()->defaultFont());
        format.merge(m_defaults);
        return format;
    }
    const QTextCursor cursor = m_editor.textCursor();
    if (!cursor.hasSelection())
        return m_editor.currentCharFormat(); // what the next typed character gets
    // The format of the first selected character.
    QTextCursor probe(m_editor.document());
    probe.setPosition(cursor.selectionStart() + 1);
    return probe.charFormat();
}

QFont TextAttributes::currentFont() const
{
    return current().font().resolve(m_editor.document()->defaultFont());
}

void TextAttributes::apply(const QTextCharFormat &change)
{
    if (m_kind == Kind::Default) {
        applyToDefaults([&change](QTextCharFormat &format) { format.merge(change); });
        return;
    }
    QTextCursor target = targetRange();
    if (target.hasSelection())
        target.mergeCharFormat(change); // paragraph marks in the range follow too
    else
        m_editor.mergeCurrentCharFormat(change); // only the text typed next
}

QTextCursor TextAttributes::targetRange() const
{
    QTextCursor target = m_editor.textCursor();
    if (!target.hasSelection() && m_editor.wordFormatting())
        target.select(QTextCursor::WordUnderCursor);
    return target;
}

void TextAttributes::edit(const std::function<void(QTextCharFormat &)> &change)
{
    if (m_kind == Kind::Default) {
        applyToDefaults(change);
        return;
    }
    const QTextCursor target = targetRange();
    if (!target.hasSelection()) {
        // Only the text typed next.
        QTextCharFormat format = m_editor.currentCharFormat();
        change(format);
        m_editor.setCurrentCharFormat(format);
        return;
    }

    // Each run keeps its own format except for the changed property, so the
    // runs are collected first (setting a format merges and splits them).
    struct Run
    {
        int from, to;
        QTextCharFormat format;
    };
    QList<Run> runs;
    const int start = target.selectionStart();
    const int end = target.selectionEnd();
    QTextDocument *document = m_editor.document();
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = qMax(fragment.position(), start);
            const int to = qMin(fragment.position() + fragment.length(), end);
            if (from >= to)
                continue;
            QTextCharFormat format = fragment.charFormat();
            change(format);
            runs.append({from, to, format});
        }
    }
    QTextCursor writer(document);
    writer.beginEditBlock();
    for (const Run &run : std::as_const(runs)) {
        writer.setPosition(run.from);
        writer.setPosition(run.to, QTextCursor::KeepAnchor);
        writer.setCharFormat(run.format);
    }
    writer.endEditBlock();
}

void TextAttributes::applyToDefaults(const std::function<void(QTextCharFormat &)> &change)
{
    QTextDocument *document = m_editor.document();
    QTextCharFormat full = current();
    change(full);
    // The font part goes to the document's default font, where it reaches
    // every character without a font of its own, now and after later
    // changes; the rest is the format new text takes in an empty document.
    QTextCharFormat fontPart;
    m_defaults = QTextCharFormat();
    QList<int> plain;
    const auto properties = full.properties();
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        const bool isFont = it.key() >= QTextFormat::FirstFontProperty
                            && it.key() <= QTextFormat::LastFontProperty;
        if (isFont) {
            if (it.key() != QTextFormat::FontUnderline) // underline lives with the format
                fontPart.setProperty(it.key(), it.value());
        } else if (isPlainDefault(it.key(), it.value())) {
            // Left out, so that the defaults of an editor whose font alone
            // was set are the empty format of a bare document: a file read
            // into either then saves to the same bytes.
            plain.append(it.key());
        } else {
            m_defaults.setProperty(it.key(), it.value());
        }
    }
    document->setDefaultFont(fontPart.font().resolve(document->defaultFont()));
    if (m_editor.textLength() == 0) {
        QTextCharFormat format = m_editor.currentCharFormat();
        format.merge(m_defaults);
        for (const int key : std::as_const(plain))
            format.clearProperty(key);
        m_editor.setCurrentCharFormat(format);
    }
}

bool TextAttributes::flag(int property) const
{
    return current().boolProperty(property);
}

void TextAttributes::setFlag(int property, bool on)
{
    QTextCharFormat change;
    change.setProperty(property, on);
    apply(change);
}

// --- colour, font -----------------------------------------------------------

QColor TextAttributes::color() const
{
    const QTextCharFormat format = current();
    if (format.boolProperty(prop::AutoColor) || format.foreground().style() == Qt::NoBrush)
        return windowTextColor();
    return format.foreground().color();
}

void TextAttributes::setColor(const QColor &color)
{
    QTextCharFormat change;
    // A foreground without a brush is painted in the palette's text colour.
    change.setForeground(color.isValid() ? QBrush(color) : QBrush());
    change.setProperty(prop::AutoColor, !color.isValid());
    apply(change);
}

QString TextAttributes::name() const
{
    return currentFont().family();
}

void TextAttributes::setName(const QString &name)
{
    if (name.isEmpty())
        return;
    QTextCharFormat change;
    change.setFontFamilies(QStringList{name});
    apply(change);
}

FontPitch TextAttributes::pitch() const
{
    const QTextCharFormat format = current();
    if (format.hasProperty(prop::FontPitch)) {
        switch (format.intProperty(prop::FontPitch) & 3) {
        case 1: return FontPitch::Fixed;
        case 2: return FontPitch::Variable;
        default: return FontPitch::Default;
        }
    }
    return currentFont().fixedPitch() ? FontPitch::Fixed : FontPitch::Default;
}

void TextAttributes::setPitch(FontPitch pitch)
{
    QTextCharFormat change;
    change.setProperty(prop::FontPitch,
                       pitch == FontPitch::Fixed ? 1 : (pitch == FontPitch::Variable ? 2 : 0));
    change.setFontFixedPitch(pitch == FontPitch::Fixed);
    apply(change);
}

int TextAttributes::size() const
{
    const QFont font = currentFont();
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0)
        points = font.pixelSize() * 0.75;
    return twips::fromPoints(points) / 20; // whole points, rounded down
}

void TextAttributes::setSize(int points)
{
    writeSize(points);
}

void TextAttributes::writeSize(double points)
{
    if (!(points > 0))
        return; // no such font
    edit([points](QTextCharFormat &format) {
        format.clearProperty(QTextFormat::FontPixelSize);
        format.setFontPointSize(points);
    });
}

int TextAttributes::weight() const
{
    return currentFont().weight();
}

void TextAttributes::setWeight(int weight)
{
    weight &= 0xFFFF;
    if (weight == 0)
        weight = QFont::Normal; // "any weight"
    QTextCharFormat change;
    change.setFontWeight(qBound(1, weight, 1000));
    apply(change);
}

QColor TextAttributes::backColor() const
{
    const QBrush brush = current().background();
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

void TextAttributes::setBackColor(const QColor &color)
{
    QTextCharFormat change;
    change.setBackground(color.isValid() ? QBrush(color) : QBrush());
    apply(change);
}

int TextAttributes::lcid() const
{
    const QTextCharFormat format = current();
    if (format.hasProperty(prop::Lcid))
        return format.intProperty(prop::Lcid) & 0xFFFF;
    return m_editor.language();
}

void TextAttributes::setLcid(int lcid)
{
    QTextCharFormat change;
    change.setProperty(prop::Lcid, lcid & 0xFFFF);
    apply(change);
}

int TextAttributes::subscriptStyle() const
{
    switch (current().verticalAlignment()) {
    case QTextCharFormat::AlignSubScript: return 1;
    case QTextCharFormat::AlignSuperScript: return 2;
    default: return 0;
    }
}

void TextAttributes::setSubscriptStyle(int style)
{
    QTextCharFormat change;
    change.setVerticalAlignment((style & 2)   ? QTextCharFormat::AlignSuperScript
                                : (style & 1) ? QTextCharFormat::AlignSubScript
                                              : QTextCharFormat::AlignNormal);
    apply(change);
}

double TextAttributes::offset() const
{
    return twips::toPoints(current().intProperty(prop::Offset));
}

void TextAttributes::setOffset(double points)
{
    QTextCharFormat change = current();
    richtext::setVerticalOffset(change, twips::fromPoints(points));
    // Only the offset changes; the current format served to measure its face.
    QTextCharFormat offset;
    for (int property : {int(prop::Offset), int(QTextFormat::TextBaselineOffset)})
        offset.setProperty(property, change.property(property));
    apply(offset);
}

double TextAttributes::spacing() const
{
    return twips::toPoints(current().intProperty(prop::CharSpacing));
}

void TextAttributes::setSpacing(double points)
{
    const int value = twips::fromPoints(points);
    QTextCharFormat change;
    change.setProperty(prop::CharSpacing, value);
    change.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    change.setFontLetterSpacing(twips::toPixels(value));
    apply(change);
}

double TextAttributes::kerning() const
{
    return twips::toPoints(current().intProperty(prop::Kerning));
}

void TextAttributes::setKerning(double points)
{
    QTextCharFormat change;
    change.setProperty(prop::Kerning, twips::fromPoints(points));
    apply(change);
}

int TextAttributes::underlineType() const
{
    return int(richtext::underlineKind(current()));
}

void TextAttributes::setUnderlineType(int kind)
{
    QTextCharFormat change;
    richtext::setUnderlineKind(change, richtext::UnderlineKind(kind & 0xFF));
    apply(change);
}

int TextAttributes::animation() const
{
    return current().intProperty(prop::Animation) & 0xFF;
}

void TextAttributes::setAnimation(int kind)
{
    QTextCharFormat change;
    change.setProperty(prop::Animation, kind & 0xFF);
    apply(change);
}

// --- effects ----------------------------------------------------------------

bool TextAttributes::bold() const { return currentFont().bold(); }

void TextAttributes::setBold(bool on)
{
    QTextCharFormat change;
    change.setFontWeight(on ? QFont::Bold : QFont::Normal);
    apply(change);
}

bool TextAttributes::italic() const { return currentFont().italic(); }

void TextAttributes::setItalic(bool on)
{
    QTextCharFormat change;
    change.setFontItalic(on);
    apply(change);
}

bool TextAttributes::strikeOut() const { return currentFont().strikeOut(); }

void TextAttributes::setStrikeOut(bool on)
{
    QTextCharFormat change;
    change.setFontStrikeOut(on);
    apply(change);
}

// Qt has one capitalisation per run, so small capitals and all capitals
// exclude each other; switching one off leaves the other in place.
bool TextAttributes::smallCaps() const
{
    return currentFont().capitalization() == QFont::SmallCaps;
}

void TextAttributes::setSmallCaps(bool on)
{
    edit([on](QTextCharFormat &format) {
        if (on)
            format.setFontCapitalization(QFont::SmallCaps);
        else if (format.fontCapitalization() == QFont::SmallCaps)
            format.setFontCapitalization(QFont::MixedCase);
    });
}

bool TextAttributes::allCaps() const
{
    return currentFont().capitalization() == QFont::AllUppercase;
}

void TextAttributes::setAllCaps(bool on)
{
    edit([on](QTextCharFormat &format) {
        if (on)
            format.setFontCapitalization(QFont::AllUppercase);
        else if (format.fontCapitalization() == QFont::AllUppercase)
            format.setFontCapitalization(QFont::MixedCase);
    });
}

bool TextAttributes::hidden() const { return flag(prop::Hidden); }
void TextAttributes::setHidden(bool on) { setFlag(prop::Hidden, on); }
bool TextAttributes::outline() const { return flag(prop::Outline); }
void TextAttributes::setOutline(bool on) { setFlag(prop::Outline, on); }
bool TextAttributes::shadow() const { return flag(prop::Shadow); }
void TextAttributes::setShadow(bool on) { setFlag(prop::Shadow, on); }
bool TextAttributes::emboss() const { return flag(prop::Emboss); }
void TextAttributes::setEmboss(bool on) { setFlag(prop::Emboss, on); }
bool TextAttributes::imprint() const { return flag(prop::Imprint); }
void TextAttributes::setImprint(bool on) { setFlag(prop::Imprint, on); }
bool TextAttributes::link() const { return flag(prop::LinkEffect); }
void TextAttributes::setLink(bool on) { setFlag(prop::LinkEffect, on); }

FontStyles TextAttributes::style() const
{
    const QFont font = currentFont();
    FontStyles styles;
    styles.setFlag(FontStyle::Bold, font.bold());
    styles.setFlag(FontStyle::Italic, font.italic());
    styles.setFlag(FontStyle::Underline, underlineType() != 0);
    styles.setFlag(FontStyle::StrikeOut, font.strikeOut());
    return styles;
}

void TextAttributes::setStyle(FontStyles styles)
{
    QTextCharFormat change;
    change.setFontWeight(styles.testFlag(FontStyle::Bold) ? QFont::Bold : QFont::Normal);
    change.setFontItalic(styles.testFlag(FontStyle::Italic));
    change.setFontStrikeOut(styles.testFlag(FontStyle::StrikeOut));
    richtext::setUnderlineKind(change, styles.testFlag(FontStyle::Underline)
                                           ? richtext::UnderlineKind::Single
                                           : richtext::UnderlineKind::None);
    apply(change);
}

// --- assignment -------------------------------------------------------------

void TextAttributes::assign(const TextAttributes &source)
{
    if (&source == this)
        return;
    // One undo step for the whole copy.
    QTextCursor group(m_editor.document());
    group.beginEditBlock();
    setColor(source.color());
    setName(source.name());
    writeSize(source.currentFont().pointSizeF() > 0 ? source.currentFont().pointSizeF()
                                                     : source.size());
    setPitch(source.pitch());
    setWeight(source.weight());
    setBackColor(source.backColor());
    setLcid(source.lcid());
    setSubscriptStyle(source.subscriptStyle());
    setOffset(source.offset());
    setSpacing(source.spacing());
    setKerning(source.kerning());
    setUnderlineType(source.underlineType());
    setBold(source.bold());
    setItalic(source.italic());
    setStrikeOut(source.strikeOut());
    setAnimation(source.animation());
    setSmallCaps(source.smallCaps());
    setAllCaps(source.allCaps());
    setHidden(source.hidden());
    setOutline(source.outline());
    setShadow(source.shadow());
    setEmboss(source.emboss());
    setImprint(source.imprint());
    setLink(source.link());
    group.endEditBlock();
}

void TextAttributes::assign(const QFont &font)
{
    QTextCursor group(m_editor.document());
    group.beginEditBlock();
    setName(font.family());
    if (font.pointSizeF() > 0)
        writeSize(font.pointSizeF());
    else if (font.pixelSize() > 0)
        writeSize(font.pixelSize() * 0.75);
    setPitch(font.fixedPitch() ? FontPitch::Fixed : FontPitch::Default);
    setBold(font.bold());
    setItalic(font.italic());
    setStrikeOut(font.strikeOut());
    setUnderlineType(font.underline() ? 1 : 0);
    group.endEditBlock();
}

void TextAttributes::assign(const QFont &font, const QColor &color)
{
    QTextCursor group(m_editor.document());
    group.beginEditBlock();
    setColor(color);
    assign(font);
    group.endEditBlock();
}

void TextAttributes::assignTo(QFont &font) const
{
    font.setFamilies(QStringList{name()});
    // The style is set afresh: strike-out does not travel this way.
    font.setWeight(bold() ? QFont::Bold : QFont::Normal);
    font.setStrikeOut(false);
    font.setItalic(italic());
    font.setUnderline(underlineType() != 0);
    const QFont own = currentFont();
    if (own.pointSizeF() > 0)
        font.setPointSizeF(own.pointSizeF()); // exact: 10.5 pt stays 10.5 pt
    else if (size() > 0)
        font.setPointSize(size());
    font.setFixedPitch(pitch() == FontPitch::Fixed);
}

void TextAttributes::assignTo(QFont &font, QColor &color) const
{
    color = this->color();
    assignTo(font);
}
