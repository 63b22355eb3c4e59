#pragma once

// Every question the main window and its commands put to the user goes
// through one Dialogs object that the main window owns: yes/no/cancel
// questions, file choices, the application's message dialog and the error
// box. The real implementation opens modal dialogs; ScriptedDialogs answers
// from queues filled by a test and records what was asked, so GUI tests run
// without a modal loop.

#include <QChar>
#include <QColor>
#include <QFont>
#include <QList>
#include <QMessageBox>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// A file dialog as the forms describe one.
struct FileDialogOptions
{
    QString caption;
    QString directory; // where the dialog starts
    // "Description|pattern|Description|pattern...", patterns separated by
    // ";" or ","; see qtFileFilter().
    QString filter;
    // The name field's first text; a wildcard such as "*.inf" makes the
    // dialog list only the files it matches.
    QString fileName;
};

// Turns a "|"-separated filter into Qt's ";;"-separated one. Each pattern
// is offered in its upper- and lower-case form, since file names on Linux
// are case-sensitive and "*.RTF" must still list "letter.rtf". An entry
// without a description is described by its patterns.
QString qtFileFilter(const QString &pipeFilter);

class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A confirmation box with Yes, No and Cancel; closing it answers Cancel.
    virtual QMessageBox::StandardButton askYesNoCancel(QWidget *parent, const QString &text);
    // A confirmation box with Yes and No, No the default; closing it
    // answers No.
    virtual QMessageBox::StandardButton askYesNo(QWidget *parent, const QString &text);
    // One of `items` picked from a list under `label`: its index, or
    // nothing when the user cancels.
    virtual std::optional<int> chooseItem(QWidget *parent, const QString &title, const QString &label,
                                          const QStringList &items);
    // The chosen path, or an empty string when the user cancels. With
    // `readOnly` given, the dialog offers an "Open as read-only" box and
    // reports whether it was ticked.
    virtual QString openFileName(QWidget *parent, const FileDialogOptions &options, bool *readOnly = nullptr);
    // Never asks about overwriting: the commands ask that themselves.
    virtual QString saveFileName(QWidget *parent, const FileDialogOptions &options);
    // The application's message dialog (see messagedialog.h): the accelerator
    // letter of the button pressed.
    virtual QChar message(const QString &title, const QString &kind, const QString &text,
                          const QString &buttons = QString());
    // The error box of the top level: the message, an error icon, OK.
    virtual void error(QWidget *parent, const QString &text);
    // The colour and font dialogs, opened at `initial`; nothing when the
    // user cancels.
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial);
    virtual std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial);
};

class ScriptedDialogs : public Dialogs
{
public:
    // Answers are taken in order. A question with no answer queued gets the
    // cautious one (Cancel, No where there is no Cancel, no file, no item,
    // the message dialog's last button "O" for a single OK) and counts as
    // unexpected.
    // Yes/no questions take their answers from the same queue as
    // yes/no/cancel ones.
    void setNextAnswer(QMessageBox::StandardButton answer) { m_answers.enqueue(answer); }
    // Nothing (std::nullopt) answers Cancel.
    void setNextChoice(std::optional<int> index) { m_choices.enqueue(index); }
    void setNextFileName(const QString &fileName, bool readOnly = false)
    {
        m_fileNames.enqueue({fileName, readOnly});
    }
    void setNextMessageAnswer(QChar letter) { m_messageAnswers.enqueue(letter); }
    // Nothing (std::nullopt) answers Cancel.
    void setNextColor(const std::optional<QColor> &color) { m_colors.enqueue(color); }
    void setNextFont(const std::optional<QFont> &font) { m_fonts.enqueue(font); }

    QMessageBox::StandardButton askYesNoCancel(QWidget *parent, const QString &text) override;
    QMessageBox::StandardButton askYesNo(QWidget *parent, const QString &text) override;
    std::optional<int> chooseItem(QWidget *parent, const QString &title, const QString &label,
                                  const QStringList &items) override;
    QString openFileName(QWidget *parent, const FileDialogOptions &options, bool *readOnly = nullptr) override;
    QString saveFileName(QWidget *parent, const FileDialogOptions &options) override;
    QChar message(const QString &title, const QString &kind, const QString &text,
                  const QString &buttons = QString()) override;
    void error(QWidget *parent, const QString &text) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) override;
    std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) override;

    struct MessageCall
    {
        QString title;
        QString kind;
        QString text;
        QString buttons;
    };
    struct ChoiceCall
    {
        QString title;
        QString label;
        QStringList items;
    };

    // What was asked, in order.
    const QStringList &questions() const { return m_questions; }
    const QStringList &errors() const { return m_errors; }
    const QList<MessageCall> &messages() const { return m_messages; }
    const QList<ChoiceCall> &choices() const { return m_choiceRequests; }
    const QList<FileDialogOptions> &openRequests() const { return m_openRequests; }
    const QList<FileDialogOptions> &saveRequests() const { return m_saveRequests; }
    // The colours and fonts the colour and font dialogs were opened at.
    const QList<QColor> &colorRequests() const { return m_colorRequests; }
    const QList<QFont> &fontRequests() const { return m_fontRequests; }
    // Questions and file dialogs that found no answer queued.
    int unexpected() const { return m_unexpected; }
    // Answers queued but never used.
    bool allAnswersUsed() const
    {
        return m_answers.isEmpty() && m_fileNames.isEmpty() && m_messageAnswers.isEmpty()
               && m_colors.isEmpty() && m_fonts.isEmpty() && m_choices.isEmpty();
    }
    void clearRecords();

private:
    struct FileAnswer
    {
        QString fileName;
        bool readOnly = false;
    };

    QQueue<QMessageBox::StandardButton> m_answers;
    QQueue<FileAnswer> m_fileNames;
    QQueue<QChar> m_messageAnswers;
    QQueue<std::optional<QColor>> m_colors;
    QQueue<std::optional<QFont>> m_fonts;
    QQueue<std::optional<int>> m_choices;
    QList<ChoiceCall> m_choiceRequests;
    QList<QColor> m_colorRequests;
    QList<QFont> m_fontRequests;
    QStringList m_questions;
    QStringList m_errors;
    QList<MessageCall> m_messages;
    QList<FileDialogOptions> m_openRequests;
    QList<FileDialogOptions> m_saveRequests;
    int m_unexpected = 0;
};
