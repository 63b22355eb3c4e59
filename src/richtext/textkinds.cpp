#include "richtext/textkinds.h"

#include "richtext/textproperties.h"

#include <QFontMetricsF>
#include <QGuiApplication>

namespace richtext {

QTextCharFormat::UnderlineStyle toQt(UnderlineKind kind)
{
    switch (kind) {
    case UnderlineKind::None: return QTextCharFormat::NoUnderline;
    case UnderlineKind::Dotted: return QTextCharFormat::DotLine;
    case UnderlineKind::Dash: return QTextCharFormat::DashUnderline;
    case UnderlineKind::DashDot: return QTextCharFormat::DashDotLine;
    case UnderlineKind::DashDotDot: return QTextCharFormat::DashDotDotLine;
    case UnderlineKind::Wave: return QTextCharFormat::WaveUnderline;
    default: return QTextCharFormat::SingleUnderline;
    }
}

UnderlineKind underlineKindOf(QTextCharFormat::UnderlineStyle style)
{
    switch (style) {
    case QTextCharFormat::NoUnderline:
    case QTextCharFormat::SpellCheckUnderline: return UnderlineKind::None;
    case QTextCharFormat::DotLine: return UnderlineKind::Dotted;
    case QTextCharFormat::DashUnderline: return UnderlineKind::Dash;
    case QTextCharFormat::DashDotLine: return UnderlineKind::DashDot;
    case QTextCharFormat::DashDotDotLine: return UnderlineKind::DashDotDot;
    case QTextCharFormat::WaveUnderline: return UnderlineKind::Wave;
    default: return UnderlineKind::Single;
    }
}

UnderlineKind underlineKind(const QTextCharFormat &format, UnderlineKind unset)
{
    const bool hasStyle = format.hasProperty(QTextFormat::TextUnderlineStyle);
    // Qt's own underline switched off (by its editing actions, which know
    // nothing of our kind) wins over a kind left behind.
    if (hasStyle && format.underlineStyle() == QTextCharFormat::NoUnderline)
        return UnderlineKind::None;
    const int kept = format.intProperty(prop::UnderlineKind) & 0xFF;
    if (kept != 0)
        return UnderlineKind(kept);
    if (hasStyle)
        return underlineKindOf(format.underlineStyle());
    if (format.hasProperty(QTextFormat::FontUnderline))
        return format.boolProperty(QTextFormat::FontUnderline) ? UnderlineKind::Single
                                                               : UnderlineKind::None;
    return format.hasProperty(prop::UnderlineKind) ? UnderlineKind::None : unset;
}

void setUnderlineKind(QTextCharFormat &format, UnderlineKind kind)
{
    format.setUnderlineStyle(toQt(kind));
    format.setProperty(prop::UnderlineKind, int(kind));
}

namespace {

// Ascent and descent of a face per point of its size: what Qt's baseline
// offset is a share of.
qreal heightPerPoint(const QFont &font)
{
    if (!qGuiApp)
        return 1.15; // no fonts without an application; a typical face
    QFont probe(font);
    probe.setPixelSize(240);
    const QFontMetricsF metrics(probe);
    const qreal height = (metrics.ascent() + metrics.descent()) / 240;
    return height > 0.5 && height < 3 ? height : 1.15;
}

} // namespace

void setVerticalOffset(QTextCharFormat &format, int twips)
{
    format.setProperty(prop::Offset, twips);
    if (twips == 0) {
        format.setBaselineOffset(0);
        return;
    }
    const qreal points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                                         : 12.0;
    format.setBaselineOffset(100.0 * (twips / 20.0) / (points * heightPerPoint(format.font())));
}

QTextListFormat::Style toQt(ListKind kind)
{
    switch (kind) {
    case ListKind::Arabic: return QTextListFormat::ListDecimal;
    case ListKind::LowerLetter: return QTextListFormat::ListLowerAlpha;
    case ListKind::UpperLetter: return QTextListFormat::ListUpperAlpha;
    case ListKind::LowerRoman: return QTextListFormat::ListLowerRoman;
    case ListKind::UpperRoman: return QTextListFormat::ListUpperRoman;
    default: return QTextListFormat::ListDisc;
    }
}

ListKind listKindOf(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal: return ListKind::Arabic;
    case QTextListFormat::ListLowerAlpha: return ListKind::LowerLetter;
    case QTextListFormat::ListUpperAlpha: return ListKind::UpperLetter;
    case QTextListFormat::ListLowerRoman: return ListKind::LowerRoman;
    case QTextListFormat::ListUpperRoman: return ListKind::UpperRoman;
    default: return ListKind::Bullet;
    }
}

namespace {

QString letters(int n, char base)
{
    QString text;
    while (n > 0) {
        --n;
        text.prepend(QChar(base + n % 26));
        n /= 26;
    }
    return text;
}

QString roman(int n, bool upper)
{
    if (n <= 0 || n >= 4000)
        return QString::number(n);
    static const struct { int value; const char *digits; } table[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString text;
    for (const auto &entry : table) {
        while (n >= entry.value) {
            text += QLatin1String(entry.digits);
            n -= entry.value;
        }
    }
    return upper ? text.toUpper() : text;
}

} // namespace

QString listNumberText(ListKind kind, int n)
{
    switch (kind) {
    case ListKind::LowerLetter: return letters(n, 'a');
    case ListKind::UpperLetter: return letters(n, 'A');
    case ListKind::LowerRoman: return roman(n, false);
    case ListKind::UpperRoman: return roman(n, true);
    default: return QString::number(n);
    }
}

namespace {

struct ObjectKeyword
{
    ObjectKind kind;
    const char *keyword;
};

constexpr ObjectKeyword objectKeywords[] = {
    {ObjectKind::Png, "pngblip"},
    {ObjectKind::Jpeg, "jpegblip"},
    {ObjectKind::Emf, "emfblip"},
    {ObjectKind::WindowsMetafile, "wmetafile"},
    {ObjectKind::Os2Metafile, "pmmetafile"},
    {ObjectKind::MacPict, "macpict"},
    {ObjectKind::Dib, "dibitmap"},
    {ObjectKind::WindowsBitmap, "wbitmap"},
    {ObjectKind::Object, "object"},
};

} // namespace

QByteArrayView rtfKeyword(ObjectKind kind)
{
    for (const ObjectKeyword &entry : objectKeywords) {
        if (entry.kind == kind)
            return entry.keyword;
    }
    return {};
}

ObjectKind objectKindOfKeyword(QByteArrayView keyword)
{
    for (const ObjectKeyword &entry : objectKeywords) {
        if (keyword == entry.keyword)
            return entry.kind;
    }
    return ObjectKind::None;
}

const char *qtImageFormat(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Png: return "png";
    case ObjectKind::Jpeg: return "jpeg";
    case ObjectKind::Dib: return "bmp";
    default: return nullptr;
    }
}

bool isMetafile(ObjectKind kind)
{
    return kind == ObjectKind::WindowsMetafile || kind == ObjectKind::Emf
           || kind == ObjectKind::Os2Metafile;
}

ObjectKind objectKind(const QTextFormat &format)
{
    const int kind = format.intProperty(prop::ObjectKind);
    return kind > 0 && kind <= int(ObjectKind::Object) ? ObjectKind(kind) : ObjectKind::None;
}

void setObjectKind(QTextFormat &format, ObjectKind kind)
{
    format.setProperty(prop::ObjectKind, int(kind));
}

} // namespace richtext
