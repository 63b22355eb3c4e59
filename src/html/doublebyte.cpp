#include "html/doublebyte.h"

// The tables of these code pages hold tens of thousands of characters; the C
// library's converter (which the editor's own RTF reader uses as well) has
// them. Without it, the bytes are written as they are.
#if __has_include(<iconv.h>)
#include <iconv.h>
#define HTML_HAVE_ICONV 1
#endif

#include <map>

namespace html {

bool isDoubleByte(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

bool isLeadByte(int codePage, unsigned char byte)
{
    if (codePage == 932)
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return isDoubleByte(codePage) && byte >= 0x81 && byte <= 0xFE;
}

#ifdef HTML_HAVE_ICONV

namespace {

const char *converterName(int codePage)
{
    switch (codePage) {
    case 932:
        return "CP932";
    case 936:
        return "GBK";
    case 949:
        return "UHC";
    default:
        return "BIG5";
    }
}

// One converter per code page and thread: a converter has state, and
// conversions may run on several threads at once.
class Converters
{
public:
    ~Converters()
    {
        for (const auto &[codePage, cd] : m_open) {
            if (cd != invalid())
                iconv_close(cd);
        }
    }
    iconv_t get(int codePage)
    {
        auto it = m_open.find(codePage);
        if (it == m_open.end())
            it = m_open.emplace(codePage, iconv_open("UTF-32LE", converterName(codePage))).first;
        return it->second;
    }
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

private:
    std::map<int, iconv_t> m_open;
};

} // namespace

char32_t decodeDoubleByte(int codePage, unsigned char lead, int trail)
{
    thread_local Converters converters;
    const iconv_t cd = converters.get(codePage);
    if (cd == Converters::invalid())
        return 0;
    char in[2] = {char(lead), char(trail)};
    unsigned char out[8] = {};
    char *inPtr = in;
    char *outPtr = reinterpret_cast<char *>(out);
    std::size_t inLeft = trail < 0 ? 1 : 2;
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == std::size_t(-1) || outLeft != sizeof out - 4)
        return 0xFFFD;
    return char32_t(out[0]) | char32_t(out[1]) << 8 | char32_t(out[2]) << 16 | char32_t(out[3]) << 24;
}

#else

char32_t decodeDoubleByte(int, unsigned char, int)
{
    return 0;
}

#endif

} // namespace html
