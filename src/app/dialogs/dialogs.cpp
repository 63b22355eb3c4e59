#include "app/dialogs/dialogs.h"

#include "app/dialogs/messagedialog.h"
#include "app/quorinapplication.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QPushButton>
#include <QRegularExpression>

namespace {

QStringList patternVariants(const QString &patterns)
{
    static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    QStringList out;
    for (QString pattern : patterns.split(separators, Qt::SkipEmptyParts)) {
        // "*.*" means every file; on Linux it would miss names without a dot.
        if (pattern == u"*.*")
            pattern = QStringLiteral("*");
        for (const QString &variant : {pattern, pattern.toUpper(), pattern.toLower()}) {
            if (!out.contains(variant))
                out.append(variant);
        }
    }
    return out;
}

bool hasWildcard(const QString &name)
{
    return name.contains(u'*') || name.contains(u'?');
}

// Filters, the wildcard of the name field and the first selection.
void prepare(QFileDialog &dialog, const FileDialogOptions &options)
{
    QStringList filters;
    if (!options.filter.isEmpty())
        filters = qtFileFilter(options.filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    if (hasWildcard(options.fileName)) {
        // A pattern in the name field lists only the files it matches; Qt's
        // dialog has no such field text, so the pattern becomes the filter
        // chosen first, ahead of the dialog's own list.
        const QString own = qtFileFilter(QStringLiteral("|") + options.fileName);
        filters.prepend(own);
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(own);
    } else {
        if (!filters.isEmpty())
            dialog.setNameFilters(filters);
        if (!options.fileName.isEmpty())
            dialog.selectFile(options.fileName);
    }
}

} // namespace

QString qtFileFilter(const QString &pipeFilter)
{
    const QStringList parts = pipeFilter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = patternVariants(parts.at(i + 1));
        if (patterns.isEmpty())
            continue;
        QString description = parts.at(i).trimmed();
        if (description.isEmpty())
            description = parts.at(i + 1).trimmed();
        entries.append(QStringLiteral("%1 (%2)").arg(description, patterns.join(u' ')));
    }
    return entries.join(QStringLiteral(";;"));
}

QMessageBox::StandardButton Dialogs::askYesNoCancel(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    const QMessageBox::StandardButton answer = box.standardButton(box.clickedButton());
    return answer == QMessageBox::NoButton ? QMessageBox::Cancel : answer;
}

QMessageBox::StandardButton Dialogs::askYesNo(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    return box.standardButton(box.clickedButton()) == QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::No;
}

std::optional<int> Dialogs::chooseItem(QWidget *parent, const QString &title, const QString &label,
                                       const QStringList &items)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    // A list shows several rows at once, where a combo box shows one.
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
    dialog.resize(480, 320);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const qsizetype index = items.indexOf(dialog.textValue());
    return index < 0 ? std::nullopt : std::optional<int>(int(index));
}

QString Dialogs::openFileName(QWidget *parent, const FileDialogOptions &options, bool *readOnly)
{
    QFileDialog dialog(parent, options.caption, options.directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    QCheckBox *readOnlyBox = nullptr;
    if (readOnly) {
        // The box needs the dialog's own widgets; a desktop portal's dialog
        // cannot carry it.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout())) {
            readOnlyBox = new QCheckBox(QStringLiteral("Open as &read-only"), &dialog);
            readOnlyBox->setObjectName(QStringLiteral("ReadOnlyBox"));
            grid->addWidget(readOnlyBox, grid->rowCount(), 0, 1, -1);
        }
    }
    prepare(dialog, options);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (readOnly)
        *readOnly = readOnlyBox && readOnlyBox->isChecked();
    return dialog.selectedFiles().constFirst();
}

QString Dialogs::saveFileName(QWidget *parent, const FileDialogOptions &options)
{
    QFileDialog dialog(parent, options.caption, options.directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    prepare(dialog, options);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QChar Dialogs::message(const QString &title, const QString &kind, const QString &text, const QString &buttons)
{
    return showMessageDialog(title, kind, text, buttons);
}

void Dialogs::error(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

std::optional<QColor> Dialogs::chooseColor(QWidget *parent, const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<QFont> Dialogs::chooseFont(QWidget *parent, const QFont &initial)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return chosen;
}

QMessageBox::StandardButton ScriptedDialogs::askYesNoCancel(QWidget *, const QString &text)
{
    m_questions.append(text);
    if (m_answers.isEmpty()) {
        ++m_unexpected;
        return QMessageBox::Cancel;
    }
    return m_answers.dequeue();
}

QMessageBox::StandardButton ScriptedDialogs::askYesNo(QWidget *, const QString &text)
{
    m_questions.append(text);
    if (m_answers.isEmpty()) {
        ++m_unexpected;
        return QMessageBox::No;
    }
    return m_answers.dequeue();
}

std::optional<int> ScriptedDialogs::chooseItem(QWidget *, const QString &title, const QString &label,
                                               const QStringList &items)
{
    m_choiceRequests.append({title, label, items});
    if (m_choices.isEmpty()) {
        ++m_unexpected;
        return std::nullopt;
    }
    return m_choices.dequeue();
}

QString ScriptedDialogs::openFileName(QWidget *, const FileDialogOptions &options, bool *readOnly)
{
    m_openRequests.append(options);
    if (m_fileNames.isEmpty()) {
        ++m_unexpected;
        return QString();
    }
    const FileAnswer answer = m_fileNames.dequeue();
    if (readOnly)
        *readOnly = answer.readOnly;
    return answer.fileName;
}

QString ScriptedDialogs::saveFileName(QWidget *, const FileDialogOptions &options)
{
    m_saveRequests.append(options);
    if (m_fileNames.isEmpty()) {
        ++m_unexpected;
        return QString();
    }
    return m_fileNames.dequeue().fileName;
}

QChar ScriptedDialogs::message(const QString &title, const QString &kind, const QString &text, const QString &buttons)
{
    m_messages.append({title, kind, text, buttons});
    if (m_messageAnswers.isEmpty())
        return u'O';
    return m_messageAnswers.dequeue();
}

void ScriptedDialogs::error(QWidget *, const QString &text)
{
    m_errors.append(text);
}

std::optional<QColor> ScriptedDialogs::chooseColor(QWidget *, const QColor &initial)
{
    m_colorRequests.append(initial);
    if (m_colors.isEmpty()) {
        ++m_unexpected;
        return std::nullopt;
    }
    return m_colors.dequeue();
}

std::optional<QFont> ScriptedDialogs::chooseFont(QWidget *, const QFont &initial)
{
    m_fontRequests.append(initial);
    if (m_fonts.isEmpty()) {
        ++m_unexpected;
        return std::nullopt;
    }
    return m_fonts.dequeue();
}

void ScriptedDialogs::clearRecords()
{
    m_colorRequests.clear();
    m_fontRequests.clear();
    m_questions.clear();
    m_errors.clear();
    m_messages.clear();
    m_choiceRequests.clear();
    m_openRequests.clear();
    m_saveRequests.clear();
    m_unexpected = 0;
}
