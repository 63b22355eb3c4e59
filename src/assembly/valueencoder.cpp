#include "assembly/valueencoder.h"

namespace assembly {

QByteArray unicodeEscape(char16_t unit)
{
    const int n = unit > 32767 ? int(unit) - 65536 : int(unit);
    return "\\u" + QByteArray::number(n) + '?';
}

ValueEncoder makeValueEncoder(CanEncode canEncode, Encode encode)
{
    return [canEncode = std::move(canEncode), encode = std::move(encode)](QStringView value) {
        QByteArray bytes;
        bytes.reserve(value.size());
        qsizetype runStart = 0;
        for (qsizetype i = 0; i < value.size(); ++i) {
            if (canEncode(value[i]))
                continue;
            if (i > runStart)
                bytes += encode(value.mid(runStart, i - runStart));
            bytes += unicodeEscape(value[i].unicode());
            runStart = i + 1;
        }
        if (value.size() > runStart)
            bytes += encode(value.mid(runStart));
        return bytes;
    };
}

ValueEncoder latin1ValueEncoder()
{
    return makeValueEncoder(
        [](QChar c) { return c.unicode() < 256; }, [](QStringView run) { return run.toLatin1(); });
}

} // namespace assembly
