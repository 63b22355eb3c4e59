#pragma once

#include "richtext/rtfimport.h"

#include <QByteArrayView>
#include <QFont>
#include <QString>

class QTextCursor;
class QTextDocument;

// How the bytes of a file become a document and a document becomes plain
// text, decided once: the editor and the headless document layer both call
// these, so a file opened in the window and converted by quorin-batch gives
// the same document and the same bytes back.
namespace richtext {

// The font of text that names none: typed text, plain-text files, RTF
// without a font table. Every document Quorin builds has it as its default
// font (the editor as its own font, a headless QTextDocument through
// setDefaultFont), because the RTF writer names the default font in the
// font table. A fixed font rather than the desktop's, so that a file gives
// the same bytes in the window and on the command line, on any machine;
// 12 pt is RTF's own size for text that gives none.
QFont standardFont();

// Reads a file's bytes at the cursor, replacing its selection, as one edit
// block: RTF when the bytes are RTF (after an optional UTF-8 byte-order
// mark), otherwise plain text in UTF-16 with a byte-order mark (either
// order), else UTF-8 when the bytes are valid UTF-8 (a byte-order mark is
// dropped), else the options' code page. Plain text takes the cursor's
// character format; RTF brings its own. Never fails: any bytes give a
// document.
void readDocumentBytes(QTextCursor &cursor, QByteArrayView bytes,
                       const ImportOptions &options = {});

// The text of the characters [from, to) (to = -1: the end): every
// paragraph end and line separator inside the range is '\n'; an embedded
// object or picture is left out, or with `namedObjects` replaced by the
// name of the file it was made from.
QString plainText(const QTextDocument &document, int from = 0, int to = -1,
                  bool namedObjects = false);

} // namespace richtext
