#include "richtext/textkinds.h"

#include "richtext/textproperties.h"

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
