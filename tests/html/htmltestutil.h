#pragma once

#include "html/rtftohtml.h"

#include <QByteArray>
#include <QString>
#include <QTest>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

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

// The first tag of a page that does not balance: a closing tag with no
// opening one, one that closes across another open tag, or one left open.
// Empty when every paired tag balances. "<P>", "<BR>" and "<HR>" stand alone.
inline std::string unbalancedTag(std::string_view page)
{
    static const std::vector<std::string_view> paired = {
        "HTML", "HEAD", "TITLE", "BODY", "B", "I", "U", "S", "SUB", "SUP", "FONT",
        "CENTER", "DIV", "A", "UL", "OL", "LI", "TABLE", "TR", "TD",
    };
    std::vector<std::string> open;
    for (std::size_t i = page.find('<'); i != std::string_view::npos; i = page.find('<', i + 1)) {
        const std::size_t end = page.find('>', i);
        if (end == std::string_view::npos)
            return "unterminated tag at " + std::to_string(i);
        const bool closing = page[i + 1] == '/';
        std::size_t n = i + 1 + (closing ? 1 : 0);
        std::string name;
        for (; n < end && std::isalpha(static_cast<unsigned char>(page[n])); ++n)
            name += char(std::toupper(static_cast<unsigned char>(page[n])));
        if (std::find(paired.begin(), paired.end(), name) == paired.end())
            continue;
        if (!closing)
            open.push_back(name);
        else if (open.empty())
            return "</" + name + "> at " + std::to_string(i) + " closes nothing";
        else if (open.back() != name)
            return "</" + name + "> at " + std::to_string(i) + " crosses <" + open.back() + ">";
        else
            open.pop_back();
    }
    return open.empty() ? std::string() : "<" + open.back() + "> left open";
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
    const std::string unbalanced = unbalancedTag(page);
    QVERIFY2(unbalanced.empty(), unbalanced.c_str());
}

} // namespace htmltest
