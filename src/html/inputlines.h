#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace html {

// The RTF input as lines. Line ends (CR LF, LF or a lone CR) are consumed and
// never reach the scanner; the input ends at the end of the stream or at a
// character with code 26. Only one chunk of the stream is held at a time.
class InputLines
{
public:
    explicit InputLines(std::istream &in);

    // True when no further line can be read.
    bool atEnd();
    // Appends the next line to `text`; false (and nothing appended) at the end.
    // Throws html::ConversionError when the stream reports a read error.
    bool appendLine(std::string &text);
    // 1-based number of the last line read, for error messages.
    long lineNumber() const { return m_lineNumber; }
    // False when the last line was cut by the long-line guard rather than
    // ended by a line end in the file.
    bool lastLineEnded() const { return m_lastLineEnded; }

    // A line longer than this is cut before a "{" that no backslash escapes,
    // so that a file without line ends is still read in pieces.
    static constexpr std::size_t LongLine = std::size_t(1) << 20;

private:
    bool fill();

    std::istream &m_in;
    std::vector<char> m_chunk;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    bool m_streamDone = false;
    bool m_stopped = false; // code 26 seen
    bool m_skipLineFeed = false; // a CR ended the last line; a following LF belongs to it
    bool m_lastLineEnded = true;
    long m_lineNumber = 0;
};

// The text being scanned (the reader's current line): a line, or several
// joined, from which the scanned part is cut off at the front. Style
// definitions spliced in front of it are remembered so that a definition can
// never splice itself again.
class CurrentLine
{
public:
    std::size_t size() const { return m_buf.size() - m_start; }
    bool empty() const { return size() == 0; }
    char at(std::size_t i) const { return m_buf[m_start + i]; }
    // The character at i, or '\0' past the end.
    char get(std::size_t i) const { return i < size() ? at(i) : '\0'; }
    std::string_view view(std::size_t from = 0) const;
    std::string_view view(std::size_t from, std::size_t count) const;
    std::size_t find(char c, std::size_t from = 0) const;
    std::size_t find(std::string_view text, std::size_t from = 0) const;

    void set(std::string_view text);
    void clear();
    // Drops the first n characters.
    void cut(std::size_t n);
    // Drops the first p characters; while nothing would be left, further
    // lines are joined first. Empty when the input ends before that.
    void takeRest(std::size_t p, InputLines &in);
    // Replaces the text by the next input line; false at the end of the input.
    bool loadNext(InputLines &in);
    // Joins the next input line to the text; false at the end of the input.
    // A control word (or a lone backslash) at the end of the text gets a
    // space first, so that it ends where its line ended, unless the joined
    // text is raw data (`keepWordEnd` false).
    bool appendNext(InputLines &in, bool keepWordEnd = true);
    bool endsInControlWord() const;
    // Joins lines while the text is shorter than `minimum` and lines remain.
    void refill(InputLines &in, std::size_t minimum = 5);

    // Puts a style definition in front of the text.
    void splice(std::string_view definition);
    bool isSpliced(std::size_t i) const { return m_start + i < m_spliceEnd; }

private:
    void compact();

    std::string m_buf;
    std::size_t m_start = 0;
    std::size_t m_spliceEnd = 0;
};

} // namespace html
