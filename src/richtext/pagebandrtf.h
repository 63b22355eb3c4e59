#pragma once

// The RTF of kept page bands: the tables they refer to, the document a band
// is drawn from, and the bands as a saved file carries them. A band's bytes
// are only ever changed where their meaning requires it.

#include "richtext/pagebandset.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QTextDocument;

namespace richtext::rtf {
struct DocumentTables;
}

namespace richtext {

class RtfColorTable;
class RtfFontTable;

// The file's code page, default font and the font and colour table entries
// that the groups of `set` name, as RTF ("\ansicpg1252\deff0{\fonttbl ...}
// {\colortbl ...}"), with the file's own numbers.
QByteArray bandTablesRtf(const rtf::DocumentTables &tables, const PageBandSet &set);

// A whole RTF document of the band's content over the kept tables, for our
// reader to build the band's text from, its page numbers and counts
// shown by marks (pagebandfields.h). Empty when the set has no band of that
// kind.
QByteArray bandDocumentRtf(const PageBandSet &set, PageBandKind kind);

// The section words and band groups of the document, for the document area
// of a file being written: the groups as they were read, with their font and
// colour numbers changed to those of the written tables (where their fonts
// and colours are added). Empty when the document has no bands, so a
// document without them is written as it always was.
QByteArray pageBandsRtf(const QTextDocument &document, RtfFontTable &fonts,
                        RtfColorTable &colors);

} // namespace richtext
