#pragma once

#include "richtext/textkinds.h"

#include <QByteArray>
#include <QFont>
#include <QHash>

#include <vector>

class QTextCharFormat;

namespace richtext {

class RtfColorTable;
class RtfFontTable;
struct ExportOptions;

// Everything RTF says about a character's looks, in RTF's own units, with
// tables already resolved to indices.
struct RtfCharState
{
    int font = 0;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    UnderlineKind underline = UnderlineKind::None;
    bool strike = false;
    int script = 0;        // 1 superscript, 2 subscript
    int offset = 0;        // half points, positive raises
    int color = 0;
    int highlight = 0;
    bool hidden = false;
    bool caps = false;
    bool smallCaps = false;
    int spacing = 0;       // twips
    int kerning = 0;       // half points
    int animation = 0;
    bool outline = false;
    bool shadow = false;
    bool emboss = false;
    bool imprint = false;
    int lang = 0;
    int codePage = 1252;   // not written: the code page of the font's text
};

// Turns character formats into control words. Formats are known by their
// index in the document's format collection, states are computed once per
// format, and the control words that lead from one state to another are
// cached per pair, so a document of half a million runs over a few dozen
// formats costs a hash lookup per run.
//
// State 0 is what an RTF reader starts with (\f0, 12 pt, nothing set), so
// the first run writes everything that differs from it, as a rich-edit
// control does; later runs write only what changes.
class RtfCharFormatWriter
{
public:
    RtfCharFormatWriter(const QFont &defaultFont, RtfFontTable &fonts, RtfColorTable &colors,
                        const ExportOptions &options);

    static constexpr int InitialState = 0;

    // The state of a document format, computed on first use.
    int stateOf(int formatIndex, const QTextCharFormat &format);
    bool knows(int formatIndex, int *state) const;

    const RtfCharState &state(int id) const { return m_states[id]; }
    const QByteArray &transition(int from, int to);

private:
    RtfCharState compute(const QTextCharFormat &format);
    QByteArray difference(const RtfCharState &a, const RtfCharState &b) const;

    QFont m_defaultFont;
    RtfFontTable &m_fonts;
    RtfColorTable &m_colors;
    int m_codePage;
    int m_lcid;
    bool m_writeLang;
    std::vector<RtfCharState> m_states;
    QHash<int, int> m_stateOfFormat;
    QHash<quint64, QByteArray> m_transitions;
};

} // namespace richtext
