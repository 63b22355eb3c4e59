#pragma once

#include <cstdint>
#include <string_view>

// The control words the RTF reader acts on. Anything not listed is ignored
// (or, after \*, skipped with its group).
namespace richtext::rtf {

enum class Kw : std::uint16_t {
    Unknown,
    // Document and encoding.
    Rtf, Ansi, Mac, Pc, Pca, AnsiCpg, Deff, DefLang, Uc, U, Upr, Ud,
    // Destinations read by the reader.
    FontTbl, FAlt, ColorTbl, StyleSheet, Pict, Field, FldInst, FldRslt, Object, ObjData, ObjClass,
    Result, ListTable, List, ListLevel, LevelText, LevelNumbers, ListOverrideTable,
    ListOverride, LfoLevel, Pn, PnTxtB, PnTxtA, NestTableProps, ShpPict, Shp, ShpRslt,
    ShpInst, Sp, Sn, Sv, ShpTxt,
    // Destinations skipped with their content.
    SkipDest,
    // Special characters.
    Par, Sect, Line, Page, Tab, EmDash, EnDash, EmSpace, EnSpace, QmSpace, Bullet, LQuote,
    RQuote, LDblQuote, RDblQuote, Zwj, Zwnj, LtrMark, RtlMark, Cell, NestCell, Row, NestRow,
    // Character formatting.
    Plain, B, I, Ul, UlNone, UlD, UlDash, UlDashD, UlDashDD, UlDb, UlW, UlWave, UlTh,
    Strike, StrikeD, Super, Sub, NoSuperSub, Up, Dn, F, Af, Fs, Cf, Cb, Highlight, ChCbPat,
    V, Caps, SCaps, Expnd, ExpndTw, Lang, Kerning, Outl, Shad, Embo, Impr, AnimText,
    Loch, Hich, Dbch, Cs,
    // Paragraph formatting.
    Pard, Ql, Qr, Qc, Qj, Qd, Li, Ri, Fi, Sb, Sa, Sl, SlMult, Tx, Tb, Tqr, Tqc, Tqdec,
    TlDot, TlHyph, TlUl, TlTh, TlEq, KeepN, Keep, PageBB, InTbl, Itap, S, Ls, Ilvl,
    RtlPar, LtrPar,
    // Paragraph borders and shading (the border styles, \brdrw and \brdrcf
    // are shared with tables).
    BrdrT, BrdrL, BrdrB, BrdrR, Box, BrdrOther, BrSp, CbPat, CfPat, Shading,
    // Font and colour tables, styles.
    FNil, FRoman, FSwiss, FModern, FScript, FDecor, FTech, FBidi, FCharset, FPrq, Cpg,
    Red, Green, Blue, SBasedOn,
    // Lists.
    ListId, LevelNfc, LevelNfcN, LevelStartAt, LevelJc, LevelJcN,
    PnLvlBlt, PnLvlBody, PnLvlCont, PnLvl, PnDec, PnUcLtr, PnLcLtr, PnUcRm, PnLcRm,
    PnStart, PnF, PnIndent, PnQc, PnQr,
    // Objects and shapes.
    ObjName, ShpBox,
    // Tables.
    TRowD, CellX, ClMgf, ClMrg, ClVmgf, ClVmrg, ClCbPat, ClVertAlT, ClVertAlC, ClVertAlB,
    TrLeft, TrGaph, TrQl, TrQc, TrQr, TrHdr, TrRh, ClBrdr, TrBrdr, BrdrNone, BrdrStyle,
    BrdrW, BrdrCf, TrPadd, ClPad,
    // Pictures and objects.
    PngBlip, JpegBlip, EmfBlip, WMetafile, MacPict, PmMetafile, DiBitmap, WBitmap,
    PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY, ObjMeta,
    // Paper size and margins (pagesetup.h reads them by name).
    PageWord,
    // Page header and footer groups, and the words that place them
    // (pagebandset.h reads them by name).
    PageBand, PageBandWord,
    // A footnote group (footnotes.h), and the words that number its mark
    // (\chftn, \ftnstart; read by name).
    Footnote, FootnoteWord,
};

struct KeywordInfo
{
    Kw id = Kw::Unknown;
    bool destination = false; // starts a destination (so \* before it is understood)
};

KeywordInfo lookupKeyword(std::string_view word);

} // namespace richtext::rtf
