// Embedded objects: inserting them, the remembered object, its verbs and
// the verb menu.
#include "editor/richeditor.h"

#include "editor/desktopopener.h"
#include "editor/editorerror.h"
#include "editor/insertobjectdialog.h"
#include "editor/objectverbs.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QSaveFile>
#include <QTextDocument>

namespace {

// The object character of a one-character selection, or -1.
int selectedObject(const QTextCursor &cursor)
{
    if (cursor.isNull() || cursor.selectionEnd() - cursor.selectionStart() != 1)
        return -1;
    QTextCursor at(cursor.document());
    at.setPosition(cursor.selectionEnd());
    return embeddedobject::isObject(at.charFormat()) ? cursor.selectionStart() : -1;
}

QString failureText(desktop::OpenResult result, const QString &path)
{
    if (result == desktop::OpenResult::Refused)
        return QStringLiteral("\"%1\" is a program or launcher; Quorin does not start it.")
            .arg(QDir::toNativeSeparators(path));
    return QStringLiteral("Cannot open \"%1\": the desktop has no program for it, or it no "
                          "longer exists.")
        .arg(QDir::toNativeSeparators(path));
}

} // namespace

bool RichEditor::insertObjectDialog()
{
    if (!m_includeOle || isReadOnly())
        return false;
    std::optional<ObjectCreateInfo> info;
    if (m_objectChooser) {
        info = m_objectChooser(this);
    } else {
        InsertObjectDialog dialog(window());
        if (dialog.exec() == QDialog::Accepted)
            info = dialog.createInfo();
    }
    if (!info)
        return false;
    insertObject(*info);
    return true;
}

void RichEditor::insertObject(const ObjectCreateInfo &info)
{
    QTextCursor cursor = textCursor();
    if (m_maxLength > 0 && roomFor(cursor.selectionEnd() - cursor.selectionStart()) < 1)
        throw EditorError(QStringLiteral("The document is full; the object was not inserted."));
    // Made before anything changes: a file that cannot be read inserts
    // nothing.
    const QTextImageFormat format = embeddedobject::create(*document(), info);
    cursor.beginEditBlock();
    cursor.insertImage(format);
    cursor.endEditBlock();
    setTextCursor(cursor);
    rememberObject(cursor.position() - 1);
}

bool RichEditor::objectSelected() const
{
    return selectedObject(textCursor()) >= 0;
}

int RichEditor::objectPositionAt(const QPoint &viewportPos) const
{
    const int position = documentPositionAt(viewportPos);
    if (position < 0)
        return -1;
    QTextCursor at(document());
    at.setPosition(position + 1);
    return embeddedobject::isObject(at.charFormat()) ? position : -1;
}

void RichEditor::rememberObject(int position)
{
    if (position >= 0 && m_rememberedObject.selectionStart() == position
        && selectedObject(m_rememberedObject) == position)
        return;
    dropVerbMenu();
    m_rememberedObject = QTextCursor(document());
    m_rememberedObject.setPosition(position);
    m_rememberedObject.setPosition(position + 1, QTextCursor::KeepAnchor);
}

std::optional<richtext::ole::Object> RichEditor::rememberedObject() const
{
    // A deleted object took its character with it.
    const int position = selectedObject(m_rememberedObject);
    if (position < 0)
        return std::nullopt;
    QTextCursor at(document());
    at.setPosition(position + 1);
    return embeddedobject::objectOf(at.charFormat());
}

QStringList RichEditor::verbNames() const
{
    QStringList names;
    if (const auto object = rememberedObject()) {
        for (const objectverbs::Verb &verb : objectverbs::verbsOf(*object))
            names.append(verb.name);
    }
    return names;
}

void RichEditor::doVerb(int verb)
{
    if (!m_includeOle)
        return;
    const std::optional<richtext::ole::Object> object = rememberedObject();
    if (!object)
        return;
    const QList<objectverbs::Verb> verbs = objectverbs::verbsOf(*object);
    if (verb > 0) {
        if (verb >= verbs.size())
            throw EditorError(QStringLiteral("Invalid Verb"));
        verb = verbs.at(verb).number;
    }
    if (verb == objectverbs::PrimaryVerb)
        verb = objectverbs::Open;
    if (verbs.isEmpty())
        return; // an object of another program's class: nothing to run
    switch (verb) {
    case objectverbs::Open:
    case objectverbs::ShowVerb:
    case objectverbs::OpenVerb: {
        const QString path = objectverbs::fileToOpen(*object);
        const desktop::OpenResult result = desktop::openFile(path);
        if (result != desktop::OpenResult::Opened)
            throw EditorError(failureText(result, path));
        return;
    }
    case objectverbs::SaveCopyAs:
        saveObjectCopy(*object);
        return;
    default:
        return; // hide, activate in place and the like: nothing to do here
    }
}

void RichEditor::saveObjectCopy(const richtext::ole::Object &object)
{
    const QString suggested = object.label;
    const QString path = m_saveCopyChooser
                             ? m_saveCopyChooser(this, suggested)
                             : QFileDialog::getSaveFileName(window(), QStringLiteral("Save copy as"),
                                                            suggested);
    if (path.isEmpty())
        return;
    const QByteArray bytes = objectverbs::fileContents(object);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw EditorError(QStringLiteral("Cannot create file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        throw EditorError(QStringLiteral("Cannot write file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
}

void RichEditor::dropVerbMenu()
{
    // Later: the menu may be the one whose item is running now.
    if (m_verbMenu)
        m_verbMenu->deleteLater();
    m_verbMenu = nullptr;
}

void RichEditor::closeObjects()
{
    dropVerbMenu();
    m_rememberedObject = QTextCursor();
}

QMenu *RichEditor::verbMenu()
{
    const int position = selectedObject(textCursor());
    if (position < 0 || !m_includeOle)
        return nullptr;
    rememberObject(position);
    if (m_verbMenu)
        return m_verbMenu;
    const std::optional<richtext::ole::Object> object = rememberedObject();
    const QList<objectverbs::Verb> verbs = object ? objectverbs::verbsOf(*object)
                                                  : QList<objectverbs::Verb>();
    if (verbs.isEmpty())
        return nullptr;
    m_verbMenu = new QMenu(this);
    m_verbMenu->setObjectName(QStringLiteral("VerbMenu"));
    for (int index = 0; index < verbs.size(); ++index) {
        QAction *action = m_verbMenu->addAction(verbs.at(index).name);
        if (verbs.at(index).number == objectverbs::Open)
            m_verbMenu->setDefaultAction(action);
        // The index is the tag, as doVerb() takes it.
        connect(action, &QAction::triggered, this, [this, index] { doVerb(index); });
    }
    return m_verbMenu;
}

void RichEditor::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_includeOle || !m_autoVerbMenu) {
        QTextEdit::contextMenuEvent(event);
        return;
    }
    // A right click on an object selects it, so its verbs are what the
    // menu offers.
    const int clicked = event->reason() == QContextMenuEvent::Mouse
                            ? objectPositionAt(event->pos())
                            : -1;
    if (clicked >= 0 && selectedObject(textCursor()) != clicked)
        setSelection(clicked, 1);
    if (!objectSelected()) {
        closeObjects();
        QTextEdit::contextMenuEvent(event);
        return;
    }
    // An object without verbs shows no menu at all.
    if (QMenu *menu = verbMenu())
        menu->exec(event->globalPos());
}

void RichEditor::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int position = event->button() == Qt::LeftButton && m_includeOle
                             ? objectPositionAt(event->position().toPoint())
                             : -1;
    if (position < 0) {
        QTextEdit::mouseDoubleClickEvent(event);
        return;
    }
    setSelection(position, 1);
    rememberObject(position);
    event->accept();
    doVerb(objectverbs::Open);
}

bool RichEditor::insertFiles(const QMimeData *source)
{
    if (!source->hasUrls() || source->hasFormat(QStringLiteral("text/rtf")))
        return false;
    QStringList files;
    for (const QUrl &url : source->urls()) {
        if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile())
            return false;
        files.append(url.toLocalFile());
    }
    if (files.isEmpty())
        return false;
    const bool link = m_dropModifiers.testFlag(Qt::ControlModifier)
                      && m_dropModifiers.testFlag(Qt::ShiftModifier);
    for (const QString &file : files)
        insertObject({link ? ObjectCreateInfo::Kind::LinkToFile : ObjectCreateInfo::Kind::FromFile, false, file});
    return true;
}

void RichEditor::dropEvent(QDropEvent *event)
{
    struct Reset
    {
        Qt::KeyboardModifiers &modifiers;
        ~Reset() { modifiers = {}; }
    } reset{m_dropModifiers};
    // Linking only where the source allows it.
    if (event->possibleActions().testFlag(Qt::LinkAction))
        m_dropModifiers = event->modifiers();
    QTextEdit::dropEvent(event);
}
