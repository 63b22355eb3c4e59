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
//
// The HTML it writes nests: inline tags sit inside the paragraph's alignment
// tag, which sits inside a list item, inside the lists. Before a list tag is
// written in the middle of a paragraph, the inner tags are closed and marked
// for reopening, so no tag is ever closed across another.
//
// A writer is copied to remember its state: the table converter goes back to
// such a copy when text it collected turns out not to belong to the table.
class HtmlWriter
{
public:
    HtmlWriter(const DocumentTables &tables, const Options &options);

    void reset();

    std::string openTags(const CharState &state);
    std::string closeAllTags();
    bool hasOpenTags() const { return !m_closingTags.empty(); }
    // The closing tag of the paragraph's alignment, if one was written.
    std::string closeAlignment();
    // Closes the inline tags and the alignment; the next text opens them again.
    void closeInline(std::string &out);
    // Closes the open list item and every open list (inline tags first).
    void closeLists(std::string &out);
    // Writes what must come before a paragraph's first text: the bullet
    // lists its numbering group opened, or the next list item.
    void openPendingItem(std::string &out);

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
            && !anchorPending && m_leadByte < 0;
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
    int listDepth = 0;          // "<UL>" tags written and not yet closed
    int pendingBullets = 0;     // bullet lists opened, their "<UL><LI>" not yet written
    bool itemOpen = false;      // a "<LI>" is written and not yet closed
    int itemLists = 0;          // of listDepth: indentation lists inside the open item
    enum class Align { None, Center, Right };
    Align openAlign = Align::None; // the alignment tag written for this paragraph
    int numberCounter = -1;
    std::string numberLabel;
    std::string textBefore;
    std::string textAfter;
    bool indentOpen = true;
    long long indentTotal = 0;
    std::array<int, 21> indentThresholds {};
    std::array<int, 10> tocCounters {};
    std::array<int, 10> headingCounters {};
    int ansiCodePage = 1252; // the document's "\ansicpgN"

private:
    void appendOpenTags(std::string &out, const CharState &state);
    void appendCloseAllTags(std::string &out);
    void token(std::string &out, std::string_view name, const CharState &state);
    void characterCode(std::string &out, std::string_view code, const CharState &state);
    int codePage(int fontNumber);
    void trailByte(std::string &out, unsigned char byte, bool caps);
    void flushLeadByte(std::string &out);
    void paragraphReset(std::string &out, CharState &state);
    void paragraphEnd(std::string &out);
    void leftIndent(std::string &out, int twips);
    void closeItem(std::string &out);
    void setFlag(bool &flag, bool on);
    void setNumber(int &value, int to);

    const DocumentTables *m_tables;
    const Options *m_options;
    std::vector<std::string_view> m_closingTags;
    // The code page of the font last looked up.
    int m_codeFont = -2;
    std::size_t m_codeCharsets = 0; // how many character sets were known then
    int m_codePage = 0;
    // The lead byte of a two-byte character whose trail byte is still to come.
    int m_leadByte = -1;
    int m_leadCodePage = 0;
};

} // namespace html
