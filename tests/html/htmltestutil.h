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
// of CR LF. The last one is the buffer the tail writes, often empty.
inline std::string body(const std::string &page)
{
    const std::size_t start = page.find(BodyLine);
    const std::size_t end = page.rfind(Tail);
    if (start == std::string::npos || end == std::string::npos || end + Tail.size() != page.size())
        return "<<malformed page>>" + page;
    std::string lines = page.substr(start + BodyLine.size(), end - start - BodyLine.size());
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == '\r' && i + 1 < lines.size() && lines[i + 1] == '\n')
            continue;
        out += lines[i];
    }
    return out;
}

// The body with its line breaks removed.
inline std::string flat(const std::string &page)
{
    std::string b = body(page);
    std::string out;
    for (const char ch : b) {
        if (ch != '\n')
            out += ch;
    }
    return out;
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

// Data-driven cases: RTF of a document's body and the flat HTML it gives.
inline void columns()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("expected");
}

inline void row(const char *name, const std::string &rtf, const std::string &expected)
{
    QTest::newRow(name) << q(rtf) << q(expected);
}

} // namespace htmltest

// The test function of such cases.
#define HTML_CASES(Class, function)                                                                \
    void Class::function()                                                                         \
    {                                                                                              \
        QFETCH(QByteArray, rtf);                                                                   \
        QFETCH(QByteArray, expected);                                                              \
        QCOMPARE(htmltest::q(htmltest::toHtml(rtf.toStdString())), expected);                      \
    }

