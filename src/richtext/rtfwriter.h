#pragma once

#include "richtext/rtfexport.h"
#include "richtext/rtfwritercharformat.h"
#include "richtext/rtfwriteroutput.h"
#include "richtext/rtfwritertables.h"
#include "richtext/rtfwritertext.h"
#include "richtext/textkinds.h"

#include <QHash>
#include <QString>
#include <QTextBlock>
#include <QTextFrame>

class QTextDocument;
class QTextList;
class QTextTable;

namespace richtext {

// One RTF write of a document or of a range of it. The document is walked
// once, block by block and fragment by fragment; the body is written first
// (which is when fonts and colours are met) and the header with the font and
// colour tables is put in front of it at the end.
class RtfWriter
{
public:
    RtfWriter(const QTextDocument &document, const ExportOptions &options);

    QByteArray write(int from, int to);

private:
    enum class BlockEnd { Paragraph, Cell };

    struct FormatInfo
    {
        int state = 0;
        bool image = false;
        QString href;     // the hyperlink target, empty when none
        QByteArray footnote; // prop::Footnote of a footnote's mark, empty when none
        bool superscript = false;
    };

    struct ListInfo
    {
        ListKind kind = ListKind::None;
        int start = 1;
        int id = -1;      // the QTextList, -1 for numbering kept on the block
        QTextList *list = nullptr;
        int bullet = 0;   // QTextListFormat::Style of a bullet list
        QString bulletText; // a bullet Qt has no style for (prop::ListBullet)
        QString prefix;
        QString suffix;
        int align = 0;    // prop::ListLabelAlign
    };

    void writeItems(QTextFrame::iterator it, int depth, BlockEnd lastEnd);
    void writeBlock(const QTextBlock &block, int depth, BlockEnd end);
    void writeEmptyCell(int depth);
    void writeTable(QTextTable *table, int depth);
    void writeRowDefinition(QTextTable *table, int row, const QList<int> &cellRight);
    QList<int> columnRights(QTextTable *table) const;
    void writeParagraphStart(const QTextBlock &block, int depth);
    const QByteArray &paragraphProperties(const QTextBlock &block, const ListInfo &list);
    void writeListText(const ListInfo &list, const QTextBlock &block);
    void writeListDefinition(const ListInfo &list, const QTextBlock &block);
    struct Bullet
    {
        int font;
        QByteArray glyph; // \'hh, or a literal character; empty for ListInfo::bulletText
    };
    Bullet bullet(const ListInfo &list);
    void writeGlyph(const ListInfo &list, const Bullet &bullet);
    int itemNumber(const ListInfo &list, const QTextBlock &block) const;
    void writeCellEnd(int depth);
    void writeRuns(const QTextBlock &block);
    void writeFootnoteMark(QStringView text, const FormatInfo &info, bool whole);
    void openLink(const QString &href);
    void closeLink();
    void changeState(int state);
    FormatInfo formatInfo(const QTextFragment &fragment);
    ListInfo listInfo(const QTextBlock &block) const;
    int bulletFont(const QString &name, int charset);
    QByteArray header();
    bool intersects(int first, int last) const { return first < m_to && last >= m_from; }

    const QTextDocument &m_document;
    ExportOptions m_options;
    RtfWriterOutput m_out;
    RtfTextEncoder m_encoder;
    RtfFontTable m_fonts;
    RtfColorTable m_colors;
    RtfCharFormatWriter m_chars;
    QHash<int, FormatInfo> m_formats;
    QHash<quint64, QByteArray> m_paragraphs;
    int m_from = 0;
    int m_to = 0;
    int m_state = RtfCharFormatWriter::InitialState;

    // The paragraph properties in force: \pard is written only when they
    // change, as a rich-edit control does.
    struct ParagraphKey
    {
        QByteArray properties;
        int depth = 0;
        int list = -1;
        bool operator==(const ParagraphKey &) const = default;
    };
    ParagraphKey m_paragraph;
    bool m_forcePard = true;
    bool m_nestedInRow = false; // the current top-level row holds a nested table
    int m_listCounter = 0;
    struct
    {
        ListKind kind = ListKind::None;
        int start = 1;
        int id = -1;
    } m_previousList;

    bool m_inLink = false;
    QString m_linkHref;
    int m_stateBeforeLink = 0;
};

} // namespace richtext
