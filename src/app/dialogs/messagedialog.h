#pragma once

// The application's own modal message dialog: a caption, an icon chosen by a
// one-letter kind, ";"-separated text lines and a centred row of buttons of
// equal width. The answer is the accelerator letter of the button pressed.

#include "app/dialogs/messagedialoglayout.h"
#include "app/dialogs/messagetext.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

// Appearance shared by every message dialog of the process.
struct DialogSettings
{
    QString defaultCaption;           // used when a title is empty
    QString pictureFile;              // shown right of the text when it loads
    std::optional<QFont> fontOverride; // what it sets replaces the dialog font's
    QColor textColor = QColor(0, 0, 0);
    QColor dialogColor = QColor(0xC0, 0xC0, 0xC0);
    QColor buttonTextColor = QColor(0, 0, 0);
    bool sound = true;                // beep by kind when a dialog opens
    QRect workArea;                   // null: the whole primary screen
};

// The settings every dialog starts from; change them in place.
DialogSettings &dialogSettings();

struct MessageRequest
{
    QString title;
    QString kind;
    QString text;
    QString buttons;          // ignored in input mode ("&OK &Cancel")
    bool inputMode = false;
    QString inputText;        // the edit box's first contents
};

class MessageDialog : public QDialog
{
    Q_OBJECT

public:
    explicit MessageDialog(const MessageRequest &request, const DialogSettings &settings = dialogSettings());

    // Called by run() with the shown dialog instead of waiting modally. A test
    // clicks a button (findChild<QPushButton *>("button2")->click()) or
    // closes the dialog; a dialog the hook leaves open counts as closed.
    using AnswerHook = std::function<void(MessageDialog &)>;
    static void setAnswerHook(AnswerHook hook);

    // Plays the opening sound; the default player beeps once whatever the
    // kind, since desktops offer no per-kind system sounds.
    using SoundPlayer = std::function<void(MessageSound)>;
    static void setSoundPlayer(SoundPlayer player);

    // Shows the dialog with the arrow cursor, waits for an answer and
    // returns its letter.
    QChar run();

    // The letter for a dialog result: button n's accelerator letter, or the
    // last button's (the most cautious answer) when it was closed otherwise.
    QChar letterForResult(int result) const;

    MessageKind kind() const { return m_kind; }
    MessageSound sound() const { return messageSoundFor(m_kind); }
    bool hasCaptionBar() const { return !m_caption.isEmpty(); }
    const MessageLayout &layoutInfo() const { return m_layout; }
    const QStringList &buttonCaptions() const { return m_buttons; }
    QString inputText() const;

    // The dialog font before it is applied: the application's family, bold,
    // 11 pixels, with the settings' override on top.
    static QFont messageFont(const DialogSettings &settings);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void buildChildren(const QStringList &lines, const QPixmap &icon, const QPixmap &picture);
    QPixmap iconPixmap() const;

    DialogSettings m_settings;
    MessageKind m_kind = MessageKind::None;
    QString m_caption;
    QStringList m_buttons;
    MessageLayout m_layout;
    QLineEdit *m_edit = nullptr;
};

// Shows a message dialog and returns the upper-cased accelerator letter of
// the button pressed ("O" for the default "&OK").
QChar showMessageDialog(const QString &title, const QString &kind, const QString &text,
                        const QString &buttons = QString());

// The input mode: an edit box under the text and the buttons "&OK &Cancel".
// On "O" the value takes the edit box's text; otherwise it stays as it was.
QChar showMessageInputDialog(const QString &title, const QString &kind, const QString &text, QString &value);
