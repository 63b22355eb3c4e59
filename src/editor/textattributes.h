#pragma once

#include "editor/editortypes.h"

#include <QColor>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

#include <functional>

class QFont;
class RichEditor;

// Character format of the editor's selection (selAttributes()) or of its
// default text (defAttributes()), one property at a time: a read reports the
// format at the start of the selection (with an empty selection, the format
// the next typed character gets); a write changes exactly that property of
// every character in the selection and leaves the others alone.
//
// With an empty selection a write goes to the word at the caret when the
// editor's wordFormatting() is on, else to the text typed next.
//
// The default attributes are the document's default font plus a format for
// the rest; they apply to text without a format of its own and to new text
// in an empty document.
//
// Colours: an invalid QColor (windowTextColor()) is the automatic colour,
// the window's text colour, in color(); in backColor() it means no
// background. Sizes are whole points (10.5 pt reads 10); offset, spacing and
// kerning are points kept as whole twips.
class TextAttributes
{
public:
    enum class Kind { Selection, Default };

    TextAttributes(RichEditor &editor, Kind kind);

    static QColor windowTextColor() { return QColor(); }

    QColor color() const;
    void setColor(const QColor &color);
    QString name() const;
    void setName(const QString &name);
    // Read from the run's font; a write records the pitch with the text and
    // asks Qt for a fixed-pitch font when Fixed.
    FontPitch pitch() const;
    void setPitch(FontPitch pitch);
    int size() const;
    void setSize(int points);
    // 1..1000, 400 normal and 700 bold.
    int weight() const;
    void setWeight(int weight);
    QColor backColor() const;
    void setBackColor(const QColor &color);
    // Locale identifier, 16 bits.
    int lcid() const;
    void setLcid(int lcid);
    // 0 none, 1 subscript, 2 superscript.
    int subscriptStyle() const;
    void setSubscriptStyle(int style);
    // Vertical offset in points, positive raises; kept in half points.
    double offset() const;
    void setOffset(double points);
    // Extra space between characters in points (negative condenses).
    double spacing() const;
    void setSpacing(double points);
    // Font size in points from which pairs are kerned; kept in half points.
    double kerning() const;
    void setKerning(double points);
    // 0 none, 1 single, 2 words, 3 double, 4 dotted, 5 dash, 6 dash-dot,
    // 7 dash-dot-dot, 8 wave, 9 thick; other byte values are kept as given
    // and shown as a single underline.
    int underlineType() const;
    void setUnderlineType(int kind);
    int animation() const;
    void setAnimation(int kind);

    bool bold() const;
    void setBold(bool on);
    bool italic() const;
    void setItalic(bool on);
    bool strikeOut() const;
    void setStrikeOut(bool on);
    bool smallCaps() const;
    void setSmallCaps(bool on);
    bool allCaps() const;
    void setAllCaps(bool on);
    bool hidden() const;
    void setHidden(bool on);
    bool outline() const;
    void setOutline(bool on);
    bool shadow() const;
    void setShadow(bool on);
    bool emboss() const;
    void setEmboss(bool on);
    bool imprint() const;
    void setImprint(bool on);
    bool link() const;
    void setLink(bool on);

    // Bold, italic, underline (single) and strike-out in one write; an
    // underline of another kind becomes single, no Underline removes it.
    FontStyles style() const;
    void setStyle(FontStyles styles);

    // Copies every property, one write each.
    void assign(const TextAttributes &source);
    // Name, size, pitch, bold, italic, strike-out and single underline from
    // a font; the colour too with the second form.
    void assign(const QFont &font);
    void assign(const QFont &font, const QColor &color);
    void assignTo(TextAttributes &dest) const { dest.assign(*this); }
    // Name, bold, italic, underline, size and pitch to a font. Strike-out is
    // not carried: the font comes out without it.
    void assignTo(QFont &font) const;
    void assignTo(QFont &font, QColor &color) const;

    // The format new text takes in an empty document (default kind only).
    QTextCharFormat defaultFormat() const { return m_defaults; }

private:
    QTextCharFormat current() const;
    QFont currentFont() const;
    // The selection, or with an empty selection and word formatting the
    // word at the caret; empty when only the text typed next is meant.
    QTextCursor targetRange() const;
    // Writes the properties set in `change` into the target text.
    void apply(const QTextCharFormat &change);
    // For changes that depend on each run's own format.
    void edit(const std::function<void(QTextCharFormat &)> &change);
    void writeSize(double points);
    void applyToDefaults(const std::function<void(QTextCharFormat &)> &change);
    bool flag(int property) const;
    void setFlag(int property, bool on);

    RichEditor &m_editor;
    Kind m_kind;
    QTextCharFormat m_defaults; // default kind: the format beyond the font
};
