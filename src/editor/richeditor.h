#pragma once

#include "editor/editortypes.h"
#include "editor/embeddedobject.h"
#include "editor/urltypes.h"

#include <QTextEdit>

#include <QPointer>
#include <QTextCursor>

#include <functional>
#include <memory>
#include <optional>

class LinkHighlighter;
class QMenu;
class ParaAttributes;
class QIODevice;
class RichEditorStrings;
class SelectionBar;
class TextAttributes;
class WideRichEditorStrings;

// The editor control of both panes: a QTextEdit with
// - streaming of RTF, plain text and UTF-16 text in formats chosen by
//   inputFormat()/outputFormat(), with progress signals (richeditorstream.cpp);
// - the document as a list of lines: wideLines() (QString) and lines(), the
//   8-bit face converted with codePage() (richeditorlines.h);
// - character and paragraph attributes that change one property at a time
//   (selAttributes(), defAttributes(), paragraph());
// - search over ranges, a maximum length, a redraw lock, a selection bar,
//   and RTF, HTML and text on the clipboard (richeditorclipboard.cpp).
//
// Positions count a paragraph end as one character, as QTextDocument does.
// A form feed (U+000C) marks a page break; it counts as one character and is
// never painted, and neither is text marked hidden.
//
// Failures of streaming and line edits throw EditorError.
class RichEditor : public QTextEdit
{
    Q_OBJECT

public:
    explicit RichEditor(QWidget *parent = nullptr);
    ~RichEditor() override;

    // --- formats of streams and files ---
    InputFormat inputFormat() const { return m_inputFormat; }
    void setInputFormat(InputFormat format) { m_inputFormat = format; }
    OutputFormat outputFormat() const { return m_outputFormat; }
    void setOutputFormat(OutputFormat format) { m_outputFormat = format; }
    // Reading replaces only the selection; writing writes only the selection.
    bool selectedInOut() const { return m_selectedInOut; }
    void setSelectedInOut(bool on) { m_selectedInOut = on; }
    // RTF is read and written with language-neutral keywords only.
    bool plainRtf() const { return m_plainRtf; }
    void setPlainRtf(bool on) { m_plainRtf = on; }

    // --- behaviour ---
    // Set before the control is first shown (as stored settings are), the
    // value is only kept and undo works with the engine's own depth. Set on
    // a control that has been shown, 0 switches undo off and any other value
    // switches it on. Qt keeps every undo step; the depth itself is not
    // enforced.
    int undoLimit() const { return m_undoLimit; }
    void setUndoLimit(int limit);
    // Character formatting with an empty selection applies to the word at
    // the caret (true) or only to the text typed next (false).
    bool wordFormatting() const { return m_wordFormatting; }
    void setWordFormatting(bool on) { m_wordFormatting = on; }
    // A strip left of the text where a click selects the line under it.
    bool showSelectionBar() const { return m_showSelectionBar; }
    void setShowSelectionBar(bool on);
    // Locale identifier (LCID) whose ANSI code page converts the 8-bit face.
    int language() const { return m_language; }
    void setLanguage(int lcid);
    int codePage() const { return m_codePage; }
    LangOptions langOptions() const { return m_langOptions; }
    void setLangOptions(LangOptions options) { m_langOptions = options; }
    // Most characters the user can type or paste and line edits can make;
    // 0 means no limit. Loading a document is not limited (cutting a file
    // short would lose its end on the next save).
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length < 0 ? 0 : length; }

    // --- links (richeditorlinks.cpp) ---
    // None: no detection. Default: web and e-mail addresses as other
    // editors find them. Extended: words that start with a type's name and
    // a colon, and e-mail addresses (urlscanner.h). Either way links are
    // shown in the link colour on the screen only, never written to the
    // document; a hyperlink field read from RTF is a link in every mode.
    AutoUrlDetect autoUrlDetect() const { return m_autoUrlDetect; }
    void setAutoUrlDetect(AutoUrlDetect mode);
    const UrlTypeList &customUrls() const { return m_customUrls; }
    void setCustomUrls(const UrlTypeList &list);
    void addUrlType(const QString &name, const QColor &color, bool underline,
                    std::optional<Qt::CursorShape> cursor = std::nullopt);
    QColor urlColor() const { return m_urlColor; }
    void setUrlColor(const QColor &color);
    Qt::CursorShape urlCursor() const { return m_urlCursor; }
    void setUrlCursor(Qt::CursorShape shape) { m_urlCursor = shape; }
    // The characters the last link scan covered (whole paragraphs).
    TextRange lastScanRange() const;
    // The text a link at a point of the viewport reports (a hyperlink
    // field's target, else the link's characters), or an empty string.
    QString linkAt(const QPoint &viewportPos) const;

    // --- embedded objects (richeditorobjects.cpp) ---
    bool autoVerbMenu() const { return m_autoVerbMenu; }
    void setAutoVerbMenu(bool on) { m_autoVerbMenu = on; }
    // Object support: without it insertObjectDialog() does nothing and
    // objects offer no verbs (they are still read, shown and saved).
    bool includeOle() const { return m_includeOle; }
    void setIncludeOle(bool on) { m_includeOle = on; }
    bool allowInPlace() const { return m_allowInPlace; }
    void setAllowInPlace(bool on) { m_allowInPlace = on; }

    // Shows the insert-object dialog and inserts the object chosen; true
    // when one was inserted. Failures are thrown as EditorError.
    bool insertObjectDialog();
    // Inserts an object made from a file at the selection (replacing it),
    // as one undo step; it becomes the remembered object. Throws
    // EditorError when the file cannot be read; nothing is inserted then.
    void insertObject(const ObjectCreateInfo &info);
    // True when the selection is one embedded object.
    bool objectSelected() const;
    // Carries out a verb on the remembered object (the one last inserted
    // or whose verb menu was shown): 0 the primary verb (Open), above 0
    // an index into verbNames(), -1 and -2 open it too. An index past the
    // list throws EditorError("Invalid Verb"); without a remembered object
    // nothing happens.
    void doVerb(int verb);
    // The verbs of the remembered object, in menu order.
    QStringList verbNames() const;
    // Forgets the remembered object and its verb menu.
    void closeObjects();
    // The verb menu of the selected object, built as a right click builds
    // it; null when no object is selected or it has no verbs.
    QMenu *verbMenu();

    // The insert-object dialog and the file dialog of "Save copy as..."
    // (tests answer them without a modal loop).
    using ObjectChooser = std::function<std::optional<ObjectCreateInfo>(QWidget *parent)>;
    void setObjectChooser(ObjectChooser chooser) { m_objectChooser = std::move(chooser); }
    using SaveCopyChooser = std::function<QString(QWidget *parent, const QString &suggested)>;
    void setSaveCopyChooser(SaveCopyChooser chooser) { m_saveCopyChooser = std::move(chooser); }

    // --- the document ---
    RichEditorStrings &lines() { return *m_lines; }
    WideRichEditorStrings &wideLines() { return *m_wideLines; }
    TextAttributes &selAttributes() { return *m_selAttributes; }
    TextAttributes &defAttributes() { return *m_defAttributes; }
    ParaAttributes &paragraph() { return *m_paragraph; }

    // Characters in the document, a paragraph end counting as one.
    int textLength() const;
    int selStart() const;
    int selLength() const;
    // Selects `length` characters from `start` (both clamped to the text).
    void setSelection(int start, int length);
    // The selected text with paragraph ends as "\n"; replacing it is one
    // undo step and obeys maxLength() (the excess is cut off).
    QString selText() const;
    void setSelText(const QString &text);

    // Position of the first match of `text` in the range, or -1. The range
    // runs from startPos over `length` characters, backwards with
    // FindOption::Backward; a length of 0 or less runs to the end of the
    // document in the search direction. A match lies wholly in the range.
    // "\n" in `text` matches a paragraph end.
    int findText(const QString &text, int startPos, int length, FindOptions options = {}) const;

public slots:
    // Empties the document and its undo history; new text takes the default
    // attributes. (Hides QTextEdit::clear, which would keep Qt's format.)
    void clear();

public:
    // Nestable. While locked nothing is painted; the last unlock puts back
    // the selection and the line that was at the top when the first lock
    // was taken, then repaints.
    void lockRedraw();
    void unlockRedraw();
    bool isRedrawLocked() const { return m_redrawLock > 0; }

    // --- streaming (richeditorstream.cpp) ---
    // The document, or the characters of `range`, in `format`; nothing of
    // the control changes. What saveToStream writes, without the
    // properties: export and printing call this rather than set
    // outputFormat() and selectedInOut() and put them back.
    QByteArray bytes(OutputFormat format, std::optional<TextRange> range = std::nullopt) const;
    // Replaces the whole document with `bytes` read in `format`, as Open
    // does: a fresh document with no undo history, unmodified, the caret at
    // the start. RTF that is not RTF is read as plain text.
    void loadBytes(const QByteArray &bytes, InputFormat format);

    // Reads a whole document (or into the selection, see selectedInOut())
    // in inputFormat(). A fresh document starts with no undo history and
    // unmodified. RTF that cannot be read as RTF is read as plain text.
    // Throws EditorError("Failed to Load Stream") when the device fails;
    // the document is then left as it was.
    void loadFromStream(QIODevice &device);
    // Writes the document (or the selection) in outputFormat(). Throws
    // EditorError("Failed to Save Stream") when a write fails.
    void saveToStream(QIODevice &device);
    // The format comes from inputFormat()/outputFormat(), never from the
    // extension. Saving goes through a temporary file, so a failed save
    // leaves the old file as it was. A file that cannot be opened throws
    // EditorError("Cannot open file ...") or ("Cannot create file ...").
    void loadFromFile(const QString &fileName);
    void saveToFile(const QString &fileName);
    // Reads a file into the selection (at an empty selection, at the caret)
    // as one undo step; RTF keeps its formatting.
    void insertFromFile(const QString &fileName);

    // Room left for new text when `replacing` characters are replaced:
    // INT_MAX without a maxLength().
    int roomFor(int replacing) const;

    // Conversions of the 8-bit face.
    QString toWide(QByteArrayView bytes) const;
    QByteArray toBytes(QStringView text) const;

signals:
    // Called before each block of data is read and after each one written,
    // with the device's position and size.
    void loadProgress(qint64 pos, qint64 size);
    void saveProgress(qint64 pos, qint64 size);
    // Release of the left button and movement over a link, with the text
    // the link reports (longer than one character). A click with Ctrl
    // held also opens the link (desktop::openLink).
    void urlClick(const QString &url);
    void urlMove(const QString &url);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Draws the list markers, paragraph borders and tab leaders Qt cannot
    // (richtext/listmarkers.h, richtext/paragraphdecor.h).
    void paintEvent(QPaintEvent *event) override;
    // Links: the cursor over them, urlMove and urlClick (richeditorlinks.cpp).
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // Objects: a double click opens one, a right click shows its verbs
    // (richeditorobjects.cpp).
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    // A file dropped with Ctrl and Shift held is linked, not embedded.
    void dropEvent(QDropEvent *event) override;
    // A footnote's mark shows the footnote's text as its tool tip.
    bool viewportEvent(QEvent *event) override;
    // Clipboard and drag and drop (richeditorclipboard.cpp).
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    friend class WideRichEditorStrings;

    bool hasBeenShown() const;
    void applyUndoLimit();
    void layoutSelectionBar();
    void suspendPainting();
    void resumePainting();
    int firstVisiblePosition() const;
    void scrollToLineOf(int position);
    void readInto(const QByteArray &data, InputFormat format, bool intoSelection);
    // Removes what a paste put at [from, to) beyond maxLength().
    void cutToMaxLength(QTextCursor &cursor, int from, int to);
    // Links and objects under a point of the viewport.
    int documentPositionAt(const QPoint &viewportPos) const;
    std::optional<QString> linkTextAt(const QPoint &viewportPos, QString *target,
                                      int *type) const;
    void showLinkCursor(bool overLink, int type);
    int objectPositionAt(const QPoint &viewportPos) const;
    void rememberObject(int position);
    void dropVerbMenu();
    std::optional<richtext::ole::Object> rememberedObject() const;
    void saveObjectCopy(const richtext::ole::Object &object);
    // Inserts every file a drop or paste carries as an object; false (and
    // nothing done) unless it carries local files only.
    bool insertFiles(const QMimeData *source);

    InputFormat m_inputFormat = InputFormat::RTF;
    OutputFormat m_outputFormat = OutputFormat::RTF;
    bool m_selectedInOut = false;
    bool m_plainRtf = false;
    int m_undoLimit = 0;
    bool m_wordFormatting = true;
    bool m_showSelectionBar = false;
    int m_language = 0;
    int m_codePage = 1252;
    LangOptions m_langOptions = LangOption::AutoFont;
    int m_maxLength = 0;

    AutoUrlDetect m_autoUrlDetect = AutoUrlDetect::None;
    UrlTypeList m_customUrls;
    QColor m_urlColor = Qt::blue;
    Qt::CursorShape m_urlCursor = Qt::PointingHandCursor;
    bool m_autoVerbMenu = true;
    bool m_includeOle = false;
    bool m_allowInPlace = true;
    // The link the left button went down on; a release over the same link
    // is a click.
    QString m_pressedLink;
    bool m_linkCursorShown = false;
    // The remembered object: a selection of its one character, which
    // follows edits and collapses when the object is deleted.
    QTextCursor m_rememberedObject;
    QPointer<QMenu> m_verbMenu;
    Qt::KeyboardModifiers m_dropModifiers;
    ObjectChooser m_objectChooser;
    SaveCopyChooser m_saveCopyChooser;

    // Set while insertFromFile() runs: every read goes into the selection.
    bool m_insertAtSelection = false;

    int m_redrawLock = 0;
    int m_paintSuspended = 0;
    int m_savedSelStart = 0;
    int m_savedSelLength = 0;
    int m_savedTopPosition = 0;
    int m_savedScroll = 0;

    std::unique_ptr<TextAttributes> m_selAttributes;
    std::unique_ptr<TextAttributes> m_defAttributes;
    std::unique_ptr<ParaAttributes> m_paragraph;
    std::unique_ptr<WideRichEditorStrings> m_wideLines;
    std::unique_ptr<RichEditorStrings> m_lines;
    SelectionBar *m_selectionBar = nullptr;
    LinkHighlighter *m_highlighter = nullptr;
};
