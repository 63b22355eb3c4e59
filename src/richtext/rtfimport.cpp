#include "richtext/rtfimport.h"

#include "richtext/codepage.h"
#include "richtext/documentbuilder.h"
#include "richtext/pagebandset.h"
#include "richtext/pagesetup.h"
#include "richtext/paragraphdecor.h"
#include "richtext/plaintextsink.h"
#include "richtext/rtfreader.h"
#include "richtext/textproperties.h"

#include <QStringDecoder>
#include <QTextCursor>

namespace richtext {

namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The RTF data after an optional byte-order mark and leading white space,
// or an empty view when it does not start with "{\rtf". White space between
// the brace and "\rtf" is allowed: hand-written files indent like that.
QByteArrayView rtfStart(QByteArrayView data)
{
    if (data.startsWith(QByteArrayView(Utf8Bom, 3)))
        data = data.sliced(3);
    qsizetype i = 0;
    while (i < data.size() && isSpace(data[i]))
        ++i;
    data = data.sliced(i);
    if (data.isEmpty() || data[0] != '{')
        return {};
    qsizetype j = 1;
    while (j < data.size() && isSpace(data[j]))
        ++j;
    return data.sliced(j).startsWith("\\rtf") ? data : QByteArrayView();
}

rtf::ReaderOptions readerOptions(const ImportOptions &options)
{
    rtf::ReaderOptions o;
    o.defaultCodePage = options.defaultCodePage > 0 ? options.defaultCodePage : 1252;
    o.plainRtf = options.plainRtf;
    return o;
}

// Characters a QTextDocument reads as structure: they would make blocks or
// frames the text never had.
QString cleanPlainText(QString text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u == 0xFDD0 || u == 0xFDD1 || u == 0xFFFC || u == 0x2029)
            c = QChar(u == 0x2029 ? u'\n' : char16_t(0xFFFD));
    }
    text.remove(QChar(0));
    return text;
}

} // namespace

bool isRtf(QByteArrayView data)
{
    return !rtfStart(data).isEmpty();
}

bool insertRtf(QTextCursor &cursor, QByteArrayView rtf, const ImportOptions &options,
               QString *error)
{
    const QByteArrayView data = rtfStart(rtf);
    if (data.isEmpty()) {
        if (error)
            *error = QStringLiteral("The data is not RTF.");
        return false;
    }
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    // RTF read into an empty document becomes that document, page and all;
    // inserted into text, it leaves the page alone.
    const bool wholeDocument = cursor.document()->isEmpty();
    rtf::DocumentTables tables;
    const int start = cursor.position();
    DocumentBuilder builder(cursor, tables);
    rtf::Reader reader(builder, tables, readerOptions(options));
    reader.read(data);
    applyBorderRoom(*cursor.document(), start, cursor.position());
    if (const auto page = tables.page.result(); page && wholeDocument)
        setPageSetup(*cursor.document(), *page);
    if (const auto bands = tables.bands.result(tables); bands && wholeDocument)
        setPageBandSet(*cursor.document(), *bands);
    cursor.endEditBlock();
    if (error)
        error->clear();
    return true;
}

QString rtfToPlainText(QByteArrayView rtf, const ImportOptions &options)
{
    const QByteArrayView data = rtfStart(rtf);
    if (data.isEmpty())
        return decodePlainText(rtf, options.defaultCodePage);
    rtf::DocumentTables tables;
    PlainTextSink sink;
    rtf::Reader reader(sink, tables, readerOptions(options));
    reader.read(data);
    return sink.takeText();
}

QString decodePlainText(QByteArrayView bytes, int codePage)
{
    QString text;
    if (bytes.startsWith(QByteArrayView(Utf8Bom, 3))) {
        text = QString::fromUtf8(bytes.sliced(3));
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // UTF-16 with its byte-order mark, as Windows editors save "Unicode".
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                             : QStringDecoder::Utf16BE);
        text = decoder.decode(bytes.sliced(2));
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
        text = utf8.decode(bytes);
        if (utf8.hasError())
            text = codepage::toUnicode(bytes, codePage > 0 ? codePage : 1252);
    }
    // CR LF, CR and LF all end a paragraph.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return cleanPlainText(std::move(text));
}

void insertPlainText(QTextCursor &cursor, QByteArrayView bytes, int codePage)
{
    const QString text = decodePlainText(bytes, codePage);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QTextCharFormat format = cursor.charFormat();
    QTextCharFormat formFeed = format;
    formFeed.setProperty(prop::FormFeed, true);
    // A form feed stays a page break, with the format that marks it.
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype ff = text.indexOf(u'\f', start);
        if (ff < 0)
            ff = text.size();
        if (ff > start)
            cursor.insertText(text.mid(start, ff - start), format);
        if (ff < text.size())
            cursor.insertText(QStringLiteral("\f"), formFeed);
        start = ff + 1;
    }
    cursor.endEditBlock();
}

} // namespace richtext
