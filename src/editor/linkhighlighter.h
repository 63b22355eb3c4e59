#pragma once

#include "editor/editortypes.h"
#include "editor/invisibletext.h"
#include "editor/urltypes.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QTextBlock>

#include <optional>

// A link the detection found in a paragraph: its characters, what it
// reports and opens, and (for the editor's own scanner) the entry of the
// type list it matched.
struct DetectedLink
{
    int start = 0;   // in the document
    int length = 0;
    QString text;    // the characters, as the link events report them
    QString target;  // what opening it asks the desktop for
    int type = -1;   // entry of the type list, -1 for the default detection
};

// Finds links paragraph by paragraph and shows them in the link colour,
// underlined, on the screen only: the document's own character formats,
// its undo history and its modified flag never see them, so link
// formatting is never saved nor printed. Qt hands every changed paragraph
// to highlightBlock() as the change happens (and every paragraph when a
// document is loaded), so a scan after typing covers the edited paragraph
// and nothing else, however long the document is.
class LinkHighlighter : public InvisibleTextHighlighter
{
    Q_OBJECT

public:
    explicit LinkHighlighter(QTextDocument *document);

    AutoUrlDetect mode() const { return m_mode; }
    // Each setter rescans the whole document.
    void setMode(AutoUrlDetect mode);
    void setTypes(const UrlTypeList &types);
    void setUrlColor(const QColor &color);

    // The link at a document position, if the detection marked one there.
    std::optional<DetectedLink> linkAt(int position) const;

    // The characters the last scan covered: whole paragraphs, from the
    // start of the first to the end of the last one looked at. After a
    // load or a change of settings that is the whole document.
    TextRange lastScanRange() const { return m_lastScan; }

protected:
    void highlightBlock(const QString &text) override;

private:
    void rescanAll();
    void noteScanned(int from, int to);

    AutoUrlDetect m_mode = AutoUrlDetect::None;
    UrlTypeList m_types;
    QColor m_urlColor = Qt::blue;
    TextRange m_lastScan;
    // The paragraphs scanned since the document last changed.
    std::optional<TextRange> m_scanning;
};
