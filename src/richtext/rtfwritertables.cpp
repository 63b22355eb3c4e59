#include "richtext/rtfwritertables.h"

#include "richtext/codepage.h"
#include "richtext/rtfwriteroutput.h"
#include "richtext/rtfwritertext.h"

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

} // namespace richtext
