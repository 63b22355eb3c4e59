#pragma once

#include <string_view>

namespace html {

// The control words the converter acts on by name. A word is looked up once
// in a hash table instead of being compared with every name in turn.
enum class WordId {
    Other,
    // tables and destinations
    FontTable, ColorTable, StyleSheet,
    Trowd, Intbl, Row, Cell, Widctlpar,
    Pict, Info, Pntext, Pntxta, Pntxtb,
    Skipped, // skipped by the reader and in tables alike (headers, footnotes, lists ...)
    // paragraph
    Pard, Sectd, Par, Sect, NestCell, Qc, Qr, Line, Page,
    // character
    Plain, V, V0, Caps, Caps0, B, B0, I, I0, Ul, UlOff, Super, Sub, NoSuperSub, Strike, StrikeOff,
    // text tokens
    Tab, Emdash, Endash, Emspace, Enspace, Lquote, Rquote, Ldblquote, Rdblquote,
};

WordId wordId(std::string_view word);

// A destination whose text the group reader does not show.
bool skippedByReader(WordId id);
// The same inside a table, where list text is shown and label text is not.
bool skippedInTable(WordId id);
// A word that writes a text token.
bool writesToken(WordId id);

} // namespace html
