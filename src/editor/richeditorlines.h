#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;
class RichEditor;

// The editor's document as a list of lines. A line is a paragraph: the text
// between two paragraph ends, however many screen lines it wraps to. The
// empty paragraph after a final paragraph end is not counted, so an empty
// document has 0 lines and so do "abc" and "abc\n" have 1.
//
// Line edits do not move the editor's caret. An index below 0 or past the
// end changes nothing, and get() gives an empty string for it. Text with
// "\r\n", "\r" or "\n" in it becomes several paragraphs. An edit that would
// make the document longer than the editor's maxLength() changes nothing
// and throws EditorError("RichEdit line insertion error").
class WideRichEditorStrings
{
public:
    explicit WideRichEditorStrings(RichEditor &editor);

    int count() const;
    QString get(int index) const;
    void put(int index, const QString &text);
    // Before line `index`; at count() this appends.
    void insert(int index, const QString &text);
    void add(const QString &text) { insert(count(), text); }
    void remove(int index);
    void clear();
    QStringList toStringList() const;

    // Every line followed by "\n". Setting splits at "\r\n", "\r" and "\n";
    // a final line break adds no empty line. The result is one undo step on
    // an emptied history.
    QString text() const;
    void setText(const QString &text);
    // Appends the lines as one undo step, all or none of them.
    void addStrings(const QStringList &strings);

    // Nestable; painting stops until the last endUpdate(), which repaints
    // and emits the editor's textChanged().
    void beginUpdate();
    void endUpdate();

    int language() const;
    void setLanguage(int lcid);

    // The editor's streaming, see RichEditor.
    void loadFromFile(const QString &fileName);
    void saveToFile(const QString &fileName);
    void loadFromStream(QIODevice &device);
    void saveToStream(QIODevice &device);

private:
    void ensureRoom(int replacing, qsizetype adding) const;

    RichEditor &m_editor;
    int m_updates = 0;
};

// The same list through 8-bit strings in the editor's codePage(). A
// character the code page cannot hold reads as "?".
class RichEditorStrings
{
public:
    RichEditorStrings(RichEditor &editor, WideRichEditorStrings &wide);

    int count() const { return m_wide.count(); }
    QByteArray get(int index) const;
    void put(int index, const QByteArray &text);
    void insert(int index, const QByteArray &text);
    void add(const QByteArray &text) { insert(count(), text); }
    void remove(int index) { m_wide.remove(index); }
    void clear() { m_wide.clear(); }
    QByteArrayList toList() const;

    QByteArray text() const;
    void setText(const QByteArray &text);
    void addStrings(const QByteArrayList &strings);

    void beginUpdate() { m_wide.beginUpdate(); }
    void endUpdate() { m_wide.endUpdate(); }

    void loadFromFile(const QString &fileName) { m_wide.loadFromFile(fileName); }
    void saveToFile(const QString &fileName) { m_wide.saveToFile(fileName); }
    void loadFromStream(QIODevice &device) { m_wide.loadFromStream(device); }
    void saveToStream(QIODevice &device) { m_wide.saveToStream(device); }

private:
    RichEditor &m_editor;
    WideRichEditorStrings &m_wide;
};
