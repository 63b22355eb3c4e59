#include "richtext/codepage.h"

#include <QHash>
#include <QLocale>

#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <unordered_map>

namespace richtext::codepage {

namespace {

constexpr int symbolCodePage = 42;

const char *iconvName(int codePage)
{
    switch (codePage) {
    case 437: return "CP437";
    case 850: return "CP850";
    case 852: return "CP852";
    case 866: return "CP866";
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "GBK";
    case 949: return "UHC";
    case 950: return "BIG5";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 1361: return "JOHAB";
    case 10000: return "MACINTOSH";
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    case 65001: return "UTF-8";
    default: return nullptr;
    }
}

// A single-byte code page decodes through a table built once: the RTF reader
// converts millions of bytes, and iconv per run would dominate its time.
struct SingleByteTable
{
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, unsigned char> fromUnicode;
};

struct IconvHandle
{
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
    IconvHandle(const char *to, const char *from) : cd(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (valid())
            iconv_close(cd);
    }
    IconvHandle(const IconvHandle &) = delete;
    IconvHandle &operator=(const IconvHandle &) = delete;
    bool valid() const { return cd != reinterpret_cast<iconv_t>(-1); }
};

// Descriptors are kept per thread: iconv state must not be shared.
IconvHandle *decoderFor(int codePage)
{
    thread_local std::unordered_map<int, std::unique_ptr<IconvHandle>> cache;
    auto it = cache.find(codePage);
    if (it == cache.end()) {
        const char *name = iconvName(codePage);
        auto handle = std::make_unique<IconvHandle>("UTF-16LE", name ? name : "CP1252");
        it = cache.emplace(codePage, std::move(handle)).first;
    }
    return it->second->valid() ? it->second.get() : nullptr;
}

IconvHandle *encoderFor(int codePage)
{
    thread_local std::unordered_map<int, std::unique_ptr<IconvHandle>> cache;
    auto it = cache.find(codePage);
    if (it == cache.end()) {
        const char *name = iconvName(codePage);
        auto handle = std::make_unique<IconvHandle>(name ? name : "CP1252", "UTF-16LE");
        it = cache.emplace(codePage, std::move(handle)).first;
    }
    return it->second->valid() ? it->second.get() : nullptr;
}

// Makes room for at least `need` more bytes of output.
void reserveOutput(QByteArray &out, char *&outPtr, size_t &outLeft, size_t need)
{
    if (outLeft >= need)
        return;
    const qsizetype used = outPtr - out.data();
    out.resize(out.size() * 2 + qsizetype(need));
    outPtr = out.data() + used;
    outLeft = size_t(out.size() - used);
}

// Writes out what the converter holds back. The converters of 1255 and 1258
// keep a base letter until they see whether a combining mark follows, so
// without this the last letter of a run (or every letter, one byte at a
// time) would be lost.
void flushConverter(IconvHandle *handle, QByteArray &out, char *&outPtr, size_t &outLeft)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (iconv(handle->cd, nullptr, nullptr, &outPtr, &outLeft) != size_t(-1) || errno != E2BIG)
            return;
        reserveOutput(out, outPtr, outLeft, 64);
    }
}

// Converts as much as iconv accepts; an input sequence it rejects is
// replaced (one unit skipped) so that no text is ever silently dropped.
QByteArray runIconv(IconvHandle *handle, const char *in, size_t inLeft, int unitSize,
                    QByteArrayView replacement)
{
    QByteArray out;
    out.resize(qsizetype(inLeft * 4 + 16));
    char *inPtr = const_cast<char *>(in);
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    iconv(handle->cd, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        const size_t rc = iconv(handle->cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (rc != size_t(-1))
            break;
        if (errno == E2BIG) {
            reserveOutput(out, outPtr, outLeft, outLeft + 16);
            continue;
        }
        // EILSEQ or EINVAL (a truncated multibyte sequence at the end): what
        // came before the bad unit goes out first, then its replacement.
        flushConverter(handle, out, outPtr, outLeft);
        reserveOutput(out, outPtr, outLeft, size_t(replacement.size()));
        memcpy(outPtr, replacement.data(), size_t(replacement.size()));
        outPtr += replacement.size();
        outLeft -= size_t(replacement.size());
        const size_t skip = qMin(size_t(unitSize), inLeft);
        inPtr += skip;
        inLeft -= skip;
    }
    flushConverter(handle, out, outPtr, outLeft);
    out.resize(outPtr - out.data());
    return out;
}

// Code pages whose letters combine with the marks after them (Hebrew
// points, Vietnamese tones): a byte alone does not say which character it
// ends up in, so their text is converted a run at a time, never through a
// table of single bytes.
bool combinesMarks(int codePage)
{
    return codePage == 1255 || codePage == 1258;
}

const SingleByteTable *singleByteTable(int codePage)
{
    thread_local std::unordered_map<int, std::unique_ptr<SingleByteTable>> cache;
    auto it = cache.find(codePage);
    if (it != cache.end())
        return it->second.get();
    auto table = std::make_unique<SingleByteTable>();
    IconvHandle *decoder = codePage == symbolCodePage ? nullptr : decoderFor(codePage);
    for (int b = 0; b < 256; ++b) {
        char16_t u = char16_t(b); // symbol fonts: the byte is the glyph index
        if (decoder) {
            const char byte = char(b);
            const QByteArray utf16 = runIconv(decoder, &byte, 1, 1, QByteArrayView("\xFD\xFF", 2));
            u = utf16.size() == 2 ? char16_t(uchar(utf16[0]) | (uchar(utf16[1]) << 8)) : u'\xFFFD';
        }
        table->toUnicode[size_t(b)] = u;
        if (u != u'\xFFFD' && !table->fromUnicode.contains(u))
            table->fromUnicode.insert(u, uchar(b));
    }
    return cache.emplace(codePage, std::move(table)).first->second.get();
}

} // namespace

bool isDoubleByte(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950
        || codePage == 1361;
}

bool isLeadByte(int codePage, unsigned char lead)
{
    switch (codePage) {
    case 932: return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    case 936:
    case 949:
    case 950: return lead >= 0x81 && lead <= 0xFE;
    case 1361: return (lead >= 0x84 && lead <= 0xD3) || (lead >= 0xD8 && lead <= 0xF9);
    default: return false;
    }
}

int forLcid(int lcid)
{
    const int primary = lcid & 0x3FF;
    switch (primary) {
    case 0x01: case 0x20: case 0x29: return 1256;             // Arabic, Urdu, Farsi
    case 0x02: case 0x19: case 0x22: case 0x23: case 0x2F:
    case 0x3F: case 0x40: case 0x44: case 0x50: return 1251;  // Cyrillic
    case 0x04: return (lcid == 0x0804 || lcid == 0x1004) ? 936 : 950;
    case 0x05: case 0x0E: case 0x15: case 0x18: case 0x1B:
    case 0x1C: case 0x24: return 1250;                        // Central European
    case 0x08: return 1253;
    case 0x0D: return 1255;
    case 0x11: return 932;
    case 0x12: return 949;
    case 0x1A: return (lcid == 0x0C1A || lcid == 0x201A || lcid == 0x1C1A) ? 1251 : 1250;
    case 0x1E: return 874;
    case 0x1F: return 1254;
    case 0x25: case 0x26: case 0x27: return 1257;             // Baltic
    case 0x2A: return 1258;
    case 0x2C: case 0x43: return (lcid & 0xFC00) == 0x0800 ? 1251 : 1254;
    default: return 1252;
    }
}

int lcidFor(int codePage)
{
    switch (codePage) {
    case 874: return 1054;
    case 932: return 1041;
    case 936: return 2052;
    case 949: return 1042;
    case 950: return 1028;
    case 1250: return 1045;
    case 1251: return 1049;
    case 1253: return 1032;
    case 1254: return 1055;
    case 1255: return 1037;
    case 1256: return 1025;
    case 1257: return 1063;
    case 1258: return 1066;
    default: return 1033;
    }
}

int forCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return symbolCodePage;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return -1;
    }
}

int charsetFor(int codePage)
{
    switch (codePage) {
    case symbolCodePage: return 2;
    case 874: return 222;
    case 932: return 128;
    case 936: return 134;
    case 949: return 129;
    case 950: return 136;
    case 1250: return 238;
    case 1251: return 204;
    case 1253: return 161;
    case 1254: return 162;
    case 1255: return 177;
    case 1256: return 178;
    case 1257: return 186;
    case 1258: return 163;
    case 1361: return 130;
    case 10000: return 77;
    default: return 0;
    }
}

QString toUnicode(QByteArrayView bytes, int codePage)
{
    if (bytes.isEmpty())
        return {};
    if (codePage == 65001)
        return QString::fromUtf8(bytes);
    if (!isDoubleByte(codePage) && !combinesMarks(codePage)) {
        const SingleByteTable *table = singleByteTable(codePage);
        QString out(bytes.size(), Qt::Uninitialized);
        char16_t *dst = reinterpret_cast<char16_t *>(out.data());
        for (qsizetype i = 0; i < bytes.size(); ++i)
            dst[i] = table->toUnicode[uchar(bytes[i])];
        return out;
    }
    IconvHandle *decoder = decoderFor(codePage);
    if (!decoder)
        return QString::fromLatin1(bytes);
    const QByteArray utf16 = runIconv(decoder, bytes.data(), size_t(bytes.size()), 1,
                                      QByteArrayView("\xFD\xFF", 2));
    return QString(reinterpret_cast<const QChar *>(utf16.constData()), utf16.size() / 2);
}

QByteArray fromUnicode(QStringView text, int codePage)
{
    if (text.isEmpty())
        return {};
    if (codePage == 65001)
        return text.toUtf8();
    if (!isDoubleByte(codePage) && !combinesMarks(codePage)) {
        const SingleByteTable *table = singleByteTable(codePage);
        QByteArray out(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text[i].unicode();
            if (u < 0x80 && codePage != symbolCodePage) {
                out[i] = char(u);
                continue;
            }
            const auto it = table->fromUnicode.constFind(u);
            out[i] = it == table->fromUnicode.cend() ? '?' : char(it.value());
        }
        return out;
    }
    IconvHandle *encoder = encoderFor(codePage);
    if (!encoder)
        return text.toLatin1();
    // A lone surrogate is one unit of two bytes; a failed character is "?".
    return runIconv(encoder, reinterpret_cast<const char *>(text.utf16()),
                    size_t(text.size()) * 2, 2, QByteArrayView("?", 1));
}

bool canEncode(QChar ch, int codePage)
{
    if (codePage == 65001)
        return !ch.isSurrogate();
    if (ch.unicode() < 0x80 && codePage != symbolCodePage)
        return true;
    if (!isDoubleByte(codePage) && !combinesMarks(codePage))
        return singleByteTable(codePage)->fromUnicode.contains(ch.unicode());
    const QByteArray bytes = fromUnicode(QStringView(&ch, 1), codePage);
    return toUnicode(bytes, codePage) == QString(ch);
}

int systemDefaultLcid()
{
    const QLocale locale = QLocale::system();
    const QLocale::Territory territory = locale.territory();
    switch (locale.language()) {
    case QLocale::English: return territory == QLocale::UnitedKingdom ? 2057 : 1033;
    case QLocale::German: return 1031;
    case QLocale::French: return 1036;
    case QLocale::Spanish: return 3082;
    case QLocale::Italian: return 1040;
    case QLocale::Dutch: return 1043;
    case QLocale::Portuguese: return territory == QLocale::Brazil ? 1046 : 2070;
    case QLocale::Russian: return 1049;
    case QLocale::Ukrainian: return 1058;
    case QLocale::Belarusian: return 1059;
    case QLocale::Bulgarian: return 1026;
    case QLocale::Polish: return 1045;
    case QLocale::Czech: return 1029;
    case QLocale::Slovak: return 1051;
    case QLocale::Hungarian: return 1038;
    case QLocale::Romanian: return 1048;
    case QLocale::Croatian: return 1050;
    case QLocale::Slovenian: return 1060;
    case QLocale::Greek: return 1032;
    case QLocale::Turkish: return 1055;
    case QLocale::Hebrew: return 1037;
    case QLocale::Arabic: return 1025;
    case QLocale::Persian: return 1065;
    case QLocale::Japanese: return 1041;
    case QLocale::Korean: return 1042;
    case QLocale::Chinese: return territory == QLocale::Taiwan || territory == QLocale::HongKong ? 1028 : 2052;
    case QLocale::Swedish: return 1053;
    case QLocale::Danish: return 1030;
    case QLocale::Finnish: return 1035;
    case QLocale::NorwegianBokmal: return 1044;
    case QLocale::Estonian: return 1061;
    case QLocale::Latvian: return 1062;
    case QLocale::Lithuanian: return 1063;
    case QLocale::Thai: return 1054;
    case QLocale::Vietnamese: return 1066;
    default: return 1033;
    }
}

} // namespace richtext::codepage
