#pragma once

#include <QByteArrayView>
#include <QString>

class QTextCursor;
class QTextDocument;

// Reading documents into a QTextDocument. RTF goes through the RTF reader;
// anything that does not start with "{\rtf" is plain text.
namespace richtext {

struct ImportOptions
{
    // Code page for \'hh bytes when the document names none, and for plain
    // text that is not valid UTF-8 (the editor's CodePage).
    int defaultCodePage = 1252;
    // Read with language-neutral keywords only: \lang and font charsets are
    // not applied.
    bool plainRtf = false;
};

// True when the data (after an optional UTF-8 byte-order mark and white
// space) begins with "{\rtf" (white space after the brace is allowed).
bool isRtf(QByteArrayView data);

// Reads an RTF document and inserts it at the cursor, replacing the cursor's
// selection, as one edit block. Returns false (with a message in *error) only
// when the data is not RTF; damaged RTF inserts what could be read. The
// first paragraph continues the text before the cursor, the text after the
// cursor follows the last one; a final \par ends a paragraph only when text
// follows the cursor in its block, so loading "A\par" into an empty document
// gives the one paragraph "A". The cursor ends after the inserted text.
// Undo is the caller's choice: loading a whole document is fastest with the
// document's undo stack off.
bool insertRtf(QTextCursor &cursor, QByteArrayView rtf, const ImportOptions &options = {},
               QString *error = nullptr);

// Inserts plain text at the cursor: UTF-8 when the bytes are valid UTF-8
// (a byte-order mark is dropped), else decoded with the code page. CR LF,
// CR and LF all end a paragraph; a form feed stays a page break.
void insertPlainText(QTextCursor &cursor, QByteArrayView bytes, int codePage);

// The text of an RTF document as a reader sees it, without building a
// QTextDocument: paragraphs end in '\n', table cells are separated by '\t',
// a page break is '\f'; hidden text, pictures and list numbers (which the
// document draws rather than holds) are left out. Data that is not RTF is
// decoded as decodePlainText() does. Fast path for conversion to text.
QString rtfToPlainText(QByteArrayView rtf, const ImportOptions &options = {});

// Plain text bytes to a string with the rules of insertPlainText.
QString decodePlainText(QByteArrayView bytes, int codePage);

} // namespace richtext
