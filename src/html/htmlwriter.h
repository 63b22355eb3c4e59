#pragma once

#include "html/charstate.h"
#include "html/words.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace html {

class DocumentTables;
struct Options;

// Turns formatting words and text tokens into HTML. It keeps the tags that
// are open, closes and reopens them when the formatting changes, and tracks
// the paragraph: alignment, bullet and numbered lists, indentation, heading
// anchors and table-of-contents links. Every call returns the HTML it makes;
// the caller hands it on to the line writer.
//
// Text tokens: one character; two hexadecimal digits (a \'hh code); "&&"
// followed by raw HTML; or a named token such as "&tab;" or "&pict;".
class HtmlWriter
{
public:
    HtmlWriter(const DocumentTables &tables, const Options &options);

    void reset();

    std::string openTags(const CharState &state);
    std::string closeAllTags();
    bool hasOpenTags() const { return !m_closingTags.empty(); }

    // Appends the HTML for one token. Throws ConversionError for a character
    // code that is not two hexadecimal digits.
    void emitToken(std::string &out, std::string_view token, const CharState &state);
    std::string emitToken(std::string_view token, const CharState &state);
    // Applies one control word (with its parameter, e.g. "fs24") to the state.
    std::string handleControlWord(std::string_view word, CharState &state);
    // The same, appending to `out`, with the word's id already looked up.
    void handleControlWord(std::string &out, std::string_view word, CharState &state, WordId id);
    static std::string fontSizeTag(int size);
    static std::string_view fontSizeTagView(int size);

    // True while a token would only add its own text: nothing pending to open
    // or write before it. Lets the reader pass runs of text in one piece.
    bool plainTextReady() const
    {
        return !reopenPending && !paragraphStart && !(tocParagraph && tocLinkPending)
            && !anchorPending;
    }
    // Text of a run of ordinary characters: escaped, in capitals with caps.
    static void appendText(std::string &out, std::string_view text, bool caps);

    // The paragraph and list state; the reader and the table converter read
    // and set these directly.
    bool reopenPending = false;
    bool paragraphStart = true;
    bool tocParagraph = false;
    bool tocLinkPending = false;
    bool tocLinkOpen = false;
    int tocLevel = 0;
    bool anchorPending = false;
    int anchorLevel = 0;
    bool bookmarkParagraph = false;
    bool bulletList = false;
    bool numberedList = false;
    bool numberStyleSeen = false;
    bool inListItem = false;
    bool itemPending = false;
    int listDepth = 0;
    int numberCounter = -1;
    std::string numberLabel;
    std::string textBefore;
    std::string textAfter;
    bool indentOpen = true;
    long long indentTotal = 0;
    std::array<int, 21> indentThresholds {};
    std::array<int, 10> tocCounters {};
    std::array<int, 10> headingCounters {};

private:
    void appendOpenTags(std::string &out, const CharState &state);
    void appendCloseAllTags(std::string &out);
    void token(std::string &out, std::string_view name, const CharState &state);
    void paragraphReset(std::string &out, CharState &state);
    void paragraphEnd(std::string &out, CharState &state);
    void leftIndent(std::string &out, int twips);
    void setFlag(bool &flag, bool on);
    void setNumber(int &value, int to);

    const DocumentTables &m_tables;
    const Options &m_options;
    std::vector<std::string_view> m_closingTags;
};

} // namespace html
