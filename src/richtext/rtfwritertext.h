#pragma once

#include <QStringView>

#include <unordered_map>
#include <vector>

namespace richtext {

class RtfWriterOutput;

// Writes text as RTF: ASCII as it is (backslash and braces escaped), other
// characters as \'hh bytes of the code page when it holds them, else as
// \uN? (N signed 16-bit, as RTF requires). Tab, line separator and form
// feed become \tab, \line and \page. What the code page holds is asked of
// the code-page layer once per distinct character and remembered, so large
// documents do not pay a conversion per character.
class RtfTextEncoder
{
public:
    void append(RtfWriterOutput &out, QStringView text, int codePage);

    // Symbol fonts (code page 42) take every non-ASCII character as \uN?.
    static constexpr int SymbolCodePage = 42;

private:
    // Per character: 0 not asked yet, -1 not in the code page, else
    // 0x1000000 | (byte count << 16) | bytes.
    std::vector<int> &tableFor(int codePage);
    int encoding(std::vector<int> &table, char16_t ch, int codePage);

    // Node-based so that m_lastTable stays valid when another code page is added.
    std::unordered_map<int, std::vector<int>> m_tables;
    int m_lastCodePage = -1;
    std::vector<int> *m_lastTable = nullptr;
};

} // namespace richtext
