#pragma once

#include "richtext/rtfkeywords.h"
#include "richtext/rtfsink.h"
#include "richtext/rtfstate.h"
#include "richtext/rtftokenizer.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

// The RTF reader: keeps the group state on an explicit stack, reads the
// header tables, follows destinations, decodes text in the right code page
// and hands the document to a Sink. It never recurses; every loop advances
// through the data; every table it builds grows only with the data read.
namespace richtext::rtf {

// The BorderDef::Style a border style word (\brdrs, \brdrdb ...) names.
int borderStyleOfWord(std::string_view word);

struct ReaderOptions
{
    int defaultCodePage = 1252; // for \'hh when the document names none
    bool plainRtf = false;      // ignore \lang and font charsets
};

class Reader
{
public:
    // Groups nested deeper than this share the state of the deepest one.
    static constexpr int MaxGroupDepth = 2048;
    // Tables nested deeper than this are read into the deepest level.
    static constexpr int MaxTableLevel = 12;

    // The reader fills `tables` as it reads the header; the sink may hold a
    // reference to them.
    Reader(Sink &sink, DocumentTables &tables, const ReaderOptions &options = {});

    // Reads one RTF document (the bytes after it are not looked at).
    void read(QByteArrayView data);


private:
    enum class Dest : std::uint8_t {
        Body, FontTable, FontEntry, FontPart, FontAlt, ColorTable, StyleSheet, StyleEntry,
        ListTable, List, ListLevel, LevelText, LevelNumbers, ListOverrideTable, ListOverride,
        LfoLevel,
        Pict, FieldInst, PnDef, PnText, ObjData, ObjClass, ObjName, Upr, UprChild,
        ShpInst, ShpProp, ShpName, ShpPib, // drawing shapes (rtfreadershapes.cpp)
    };

    struct Group
    {
        CharState chr;
        ParState par;
        Dest dest = Dest::Body;
        Dest outer = Dest::Body;  // for \upr: the destination \ud goes back to
        std::uint8_t uc = 1;      // \uc: bytes that follow a \u
        bool nestProps = false;   // inside \*\nesttableprops
        bool objectStart = false; // the \object group itself
        int field = -1;           // index into m_fields
        int object = -1;          // index into m_objects
        int shape = -1;           // index into m_shapes
    };

    struct Field
    {
        QString instruction;
        qint64 shownBefore = 0; // m_shown when the field began
    };

    struct ObjectInfo
    {
        QByteArray data;
        QString meta;
        QString name;
        bool shown = false; // its result picture has been handed on
    };

    struct StyleDef
    {
        struct Word
        {
            Kw id;
            bool hasParam;
            int param;
        };
        std::vector<Word> words;
        int basedOn = -1;
    };

    // rtfreader.cpp: the token loop, groups, text.
    void groupStart();
    void groupEnd();
    void endDestination(const Group &closed);
    void skipCurrentGroup();
    // Whether `word` opens a group of the body text that may be kept whole
    // ("{\header", "{\*\footnote": the group's first word, not inside a
    // field or an object).
    bool opensBodyGroup(std::string_view word) const;
    void textBytes(std::string_view bytes);
    void hexByte(int value);
    void appendByte(unsigned char byte);
    void flushBytes();
    void deliver(QStringView text);
    void deliverChar(char16_t ch) { deliver(QStringView(&ch, 1)); }
    void bodyText(QStringView text);
    void bodyText(QStringView text, const CharState &chr);
    void flushRun();
    int currentCodePage() const;
    int tableLevel() const;
    void finish();

    // rtfreaderwords.cpp: control words and symbols.
    void controlWord(const Token &t);
    void controlSymbol(char c);
    bool beginDestination(Kw id);
    bool applyFormatting(Kw id, bool hasParam, int param);
    bool applyCharFormatting(CharState &chr, Kw id, bool hasParam, int param);
    bool applyParFormatting(ParState &par, Kw id, bool hasParam, int param);
    // rtfreaderdecor.cpp: paragraph borders and shading.
    bool applyDecorWord(ParState &par, Kw id, bool hasParam, int param);
    void applyStyle(int index, bool character, int depth);
    void paragraphEnd();
    void cellEnd(bool nested);
    void rowEnd(bool nested);
    void pageBreak();

    // rtfreaderbands.cpp: page header and footer groups.
    bool keepPageBand(std::string_view word);

    // rtfreaderfootnotes.cpp: footnote groups and their marks.
    bool keepFootnote(std::string_view word);
    void footnoteWord(std::string_view word, bool hasParam, int param);

    // rtfreadertables.cpp: the header tables, lists, pictures.
    void tableWord(Kw id, bool hasParam, int param);
    bool applyTableWord(Kw id, bool hasParam, int param, std::string_view word);
    void commitFont();
    void commitColor();
    void commitStyle();
    void commitListLevel(const Group &closed);
    void commitPn(const Group &closed);
    QChar bulletInFont(QChar bullet, int font) const;
    void pictWord(Kw id, bool hasParam, int param, std::string_view word);
    void hexBytes(std::string_view hex, QByteArray &out);
    void endPicture(const Group &closed);
    void endObject(const Group &closed);
    int addTabStop(int tabs, int position);

    // rtfreadershapes.cpp: drawing shapes, their pictures and text boxes.
    struct ShapeInfo
    {
        int parent = -1;     // the shape group this one is in
        int left = 0, top = 0, right = 0, bottom = 0; // \shpleft ..., twips
        bool shown = false;  // its picture or text went into the flow
        qint64 textStart = -1; // m_shown when its \shptxt began
    };
    bool beginShapeDestination(Kw id);
    void shapeWord(Kw id, bool hasParam, int param, std::string_view word);
    void endShapePart(const Group &closed);

    // rtfreaderfields.cpp: fields.
    void startFieldResult();
    void endField(const Group &closed);
    int fontNamed(const QString &name, bool symbol);
    static QString hyperlinkTarget(const QString &instruction);

    Sink &m_sink;
    ReaderOptions m_options;
    Tokenizer m_tokenizer{QByteArrayView()};
    QByteArrayView m_data;     // what read() reads
    qsizetype m_groupStart = 0; // where the last group opened, its '{'
    DocumentTables &m_tables;
    std::vector<Group> m_stack;
    int m_overflow = 0;       // groups opened beyond MaxGroupDepth
    int m_skip = 0;           // bytes still to skip after \u
    bool m_star = false;      // \* seen, waiting for the destination word
    bool m_done = false;
    bool m_afterDocument = false; // the document group has closed once
    ParState m_finalPar;      // state of the document group when it closed
    CharState m_finalChr;

    // Bytes of text not yet decoded (a double-byte character may span
    // tokens), and the run of decoded body text not yet handed on.
    QByteArray m_bytes;
    bool m_leadPending = false;
    QString m_run;
    CharState m_runState;
    QString m_decoded;
    qint64 m_shown = 0; // characters and pictures handed on in the body

    // Destination scratch state.
    FontDef m_font;
    int m_fontIndex = -1;
    bool m_fontOpen = false;
    bool m_fontCpg = false;   // the entry gave \cpg, which wins over \fcharset
    int m_red = -1, m_green = -1, m_blue = -1;
    StyleDef m_style;
    int m_styleIndex = 0;
    bool m_styleCharacter = false;
    QHash<int, StyleDef> m_parStyles;
    QHash<int, StyleDef> m_charStyles;
    int m_listId = 0;
    std::vector<ListLevelDef> m_listLevels;
    int m_levelNfc = 0;
    int m_levelStart = 1;
    int m_levelAlign = 0; // \leveljc
    QString m_levelText;
    int m_overrideListId = 0;
    int m_overrideLs = 0;
    int m_overrideStart = -1; // \levelstartat outside any \lfolevel
    // The \lfolevel groups of a \listoverride: per level, a new start
    // value or a whole new level.
    struct LevelOverride
    {
        int start = -1;
        std::optional<ListLevelDef> level;
    };
    std::vector<LevelOverride> m_levelOverrides;
    ListLevelDef m_pn;
    bool m_pnTextAfter = false;
    bool m_pnContinues = false; // \pnlvlcont: the group shows no number
    QHash<QString, int> m_pnIndex;
    Picture m_pict;
    int m_pictNibble = -1;
    std::vector<Field> m_fields;
    std::vector<ObjectInfo> m_objects;
    std::vector<ShapeInfo> m_shapes;
    QString m_shapeProp;        // name of the \sp property being read
    qint64 m_paragraphShown = 0; // m_shown when the last paragraph ended
    bool m_textBoxEnded = false; // a text box ended its paragraph; the anchor's has nothing yet
    QHash<QString, int> m_linkIndex;
    QHash<QByteArray, int> m_tabIndex;
    int m_pendingTabKind = TabStop::Left;
    int m_pendingTabLeader = 0;
    int m_decorSide = -1; // the paragraph border the border words describe; 4: all (\box)

    // Table rows: the definition being read per level, the pending cell
    // definition, and whether a row is open without \intbl.
    std::vector<RowDef> m_rowDefs;
    int m_rowDefLevel = 1;
    CellDef m_cellDef;
    enum class BorderTarget : std::uint8_t { None, Cell, Row } m_borderTarget = BorderTarget::None;
    int m_borderSide = 0; // the BorderSide the border words that follow describe
    bool m_rowOpen = false;

    // Footnotes: the number the next automatic mark shows, and where the
    // last \chftn's number ended (m_shown after it) and how long it was.
    int m_footnoteNumber = 1;
    qint64 m_autoMarkEnd = -1;
    qsizetype m_autoMarkSize = 0;
};

} // namespace richtext::rtf
