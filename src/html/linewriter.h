#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace html {

// The output side: collects HTML fragments, removes empty and redundant tag
// pairs, turns web addresses into links and writes the page as CR LF lines,
// breaking after paragraph tags and after about 100 characters.
//
// A line end is white space to a browser. A long buffer that ends with a tag
// is written as a line only where that space falls next to a space or a
// block tag anyway; between two letters ("wor</B>" + "<I>d") it would split
// the word, so the break waits for the next fragment to show which it is.
class LineWriter
{
public:
    explicit LineWriter(std::ostream &out);
    ~LineWriter();

    // With optimize on, the tag pairs of text attributes, alignment and font
    // sizes are removed too; otherwise only the list pairs.
    void setOptimize(bool on);
    // Registers a pattern to remove; the newest is applied first. Identical
    // patterns are kept once, and their number is capped, so that a huge
    // colour table cannot make every line slow.
    void addPattern(const std::string &pattern);
    std::vector<std::string> patterns() const; // newest first

    // Adds a fragment to the page.
    void writeOut(std::string_view fragment);
    // Writes the buffer that was not yet written, as it stands, as one line.
    void writeRemaining();
    // Writes one line as it stands.
    void writeLine(std::string_view line);
    // Hands everything to the stream; throws ConversionError on a write error.
    void flush();

    // The buffered text (unoptimised where the page would keep it so).
    std::string pending() const;

    // Removal passes until nothing changes.
    std::string optimize(std::string_view text) const;
    // Every "http://" address becomes a link to itself.
    static std::string linkUrls(std::string_view line);

    static constexpr std::size_t LineLength = 100;
    // A buffer that finds no harmless break gets this long at most; it is
    // then broken inside its last tag, where a line end is no space.
    static constexpr std::size_t ForcedBreak = 64 * 1024;

    static constexpr std::size_t MaxPatterns = 1024;

private:
    // What a line end after the buffer would touch, judged from one side:
    // before the end of a text, or after the start of one.
    enum class Side { Space, Word, Unknown };
    static Side sideBefore(std::string_view text);
    static Side sideAfter(std::string_view text);

    // Runs the passes on text in place. Sets `touched` when a removal starts
    // before `guard`.
    void optimizeInPlace(std::string &text, std::size_t guard, bool &touched) const;
    // False when no pattern can occur in text; cheaper than trying them all.
    bool mayChange(std::string_view text) const;
    void indexPatterns();
    void emitLine(std::string_view line);
    void emitLinkedLine(std::string_view line);
    static void appendLinked(std::string &out, std::string_view line);
    void dropRaw();

    std::ostream &m_out;
    std::string m_written; // lines waiting to go to the stream
    bool m_optimize = false;
    std::deque<std::string> m_patterns; // oldest first; a deque keeps them in place
    std::size_t m_longestPattern = 0;
    // The active patterns that are two plain tags back to back, by text, and
    // whether any other kind is active (a font name holding "<" or ">").
    struct ViewHash
    {
        std::size_t operator()(std::string_view s) const
        {
            std::size_t h = s.size();
            for (const char c : s)
                h = h * 31 + static_cast<unsigned char>(c);
            return h;
        }
    };
    std::unordered_set<std::string_view, ViewHash> m_twoTagPatterns;
    bool m_otherPatterns = false;

    // The buffer is kept in two forms: m_text is always its optimised form
    // (no pattern occurs in it once m_textIsFixed); m_raw holds the
    // unoptimised text where the two differ, because a buffer that was not
    // yet written is optimised again together with the next fragment.
    std::string m_text;
    std::string m_raw;
    bool m_rawDiffers = false;
    std::string m_window; // scratch for the optimised end of the buffer
    bool m_textIsFixed = true;
    // A line may end after this many characters of the buffer if the next
    // fragment begins with a space or a block tag; 0 when none waits.
    std::size_t m_pendingBreak = 0;
};

} // namespace html
