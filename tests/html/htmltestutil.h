#pragma once

#include "html/rtftohtml.h"

#include <QByteArray>
#include <QString>
#include <QTest>

#include <sstream>
#include <string>

namespace htmltest {

inline const std::string BodyLine =
    "<BODY TEXT=\"#000000\" BGCOLOR=\"#FFFFFF\" LINK=\"#3333FF\" VLINK=\"#999999\" ALINK=\"#FF0000\">\r\n";
inline const std::string Tail = "</BODY>\r\n</HTML>\r\n";

inline std::string convert(const std::string &rtf, const html::Options &options = {},
                           html::Result *result = nullptr)
{
    std::istringstream in(rtf);
    std::ostringstream out;
    const html::Result r = html::rtfToHtml(in, out, options);
    if (result)
        *result = r;
    return out.str();
}

// The lines between the BODY line and "</BODY>", each ended by "\n" instead
// of CR LF (the last one is the buffer the tail writes, often empty); with
// `lines` false, run together.
inline std::string body(const std::string &page, bool lines = true)
{
    const std::size_t start = page.find(BodyLine);
    const std::size_t end = page.rfind(Tail);
    if (start == std::string::npos || end == std::string::npos || end + Tail.size() != page.size())
        return "<<malformed page>>" + page;
    std::string out;
    for (std::size_t i = start + BodyLine.size(); i < end; ++i) {
        const bool lineEnd = page[i] == '\n' || (page[i] == '\r' && page[i + 1] == '\n');
        if (!lineEnd || (lines && page[i] == '\n'))
            out += page[i];
    }
    return out;
}

inline std::string flat(const std::string &page)
{
    return body(page, false);
}

// Converts an RTF document body and returns the flat HTML.
inline std::string toHtml(const std::string &rtfBody, const html::Options &options = {})
{
    return flat(convert("{\\rtf1\\ansi " + rtfBody + "}", options));
}

inline QByteArray q(const std::string &s)
{
    return QByteArray::fromStdString(s);
}

// Data rows of RTF, a whole document or a document's body, and the HTML
// between BODY and the tail: run together, or line by line when the
// expected text has line ends.
inline void columns()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("expected");
}

inline void row(const char *name, const std::string &rtf, const std::string &expected)
{
    QTest::newRow(name) << q(rtf) << q(expected);
}

inline void compareRow()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, expected);
    const std::string r = rtf.toStdString();
    html::Result result;
    const std::string page = convert(r.rfind("{\\rtf", 0) == 0 ? r : "{\\rtf1\\ansi " + r + "}", {}, &result);
    QVERIFY2(result.ok, result.error.c_str());
    QCOMPARE(q(body(page, expected.contains('\n'))), expected);
}

} // namespace htmltest
