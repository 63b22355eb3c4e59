#include "assembly/messages.h"

namespace assembly::messages {

namespace {

    // A function, not a static QString: messages may be built during another
    // file's static initialisation.
    QString qrnTitle()
    {
        return QStringLiteral("QRN");
    }

    AssemblyMessage dialog(const QString &title, char kind, const QString &text)
    {
        return { AssemblyMessage::Display::Dialog, title, QLatin1Char(kind), text };
    }

    AssemblyMessage errorBox(const QString &text)
    {
        return { AssemblyMessage::Display::ErrorBox, QString(), QChar(), text };
    }

} // namespace

AssemblyMessage noInformationFile()
{
    return dialog(
        qrnTitle(), '!', QStringLiteral("You have not chosen an information file;Please do so"));
}

AssemblyMessage noTemplateFile()
{
    return dialog(
        qrnTitle(), '!', QStringLiteral("You have not chosen a Template file;Please do so"));
}

AssemblyMessage valueNotInInformationFile()
{
    return dialog(qrnTitle(), 'H',
        QStringLiteral("Your TEMPLATE file contains a value;that is not in the "
                       "INFORMATION file ;Please correct the error before proceeding"));
}

AssemblyMessage integerOverflow()
{
    return errorBox(QStringLiteral("Integer overflow"));
}

AssemblyMessage cannotOpenFile(const QString &path)
{
    return errorBox(QStringLiteral("Cannot open file %1").arg(path));
}

AssemblyMessage templateHoldsNul(qint64 offset)
{
    return dialog(qrnTitle(), 'H',
        QStringLiteral("Your TEMPLATE file holds a NUL byte at byte %1,;and everything after it "
                       "would be lost;Please correct the error before proceeding")
            .arg(offset));
}

AssemblyMessage valueRefersToItself(qint64 entry)
{
    return dialog(qrnTitle(), 'H',
        QStringLiteral("Your INFORMATION file contains a value;that refers to itself "
                       "(entry %1 leads back to @%1);Please correct the error before "
                       "proceeding")
            .arg(entry));
}

AssemblyMessage valuesNestedTooDeeply(int depth)
{
    return dialog(qrnTitle(), 'H',
        QStringLiteral("Your INFORMATION file contains values;that refer to other "
                       "values more than %1 levels deep;Please correct the error before "
                       "proceeding")
            .arg(depth));
}

AssemblyMessage mergeTooLarge(qint64 limitBytes)
{
    return dialog(qrnTitle(), 'H',
        QStringLiteral("The finished document would be larger than %1 MB;Please "
                       "correct the error before proceeding")
            .arg(limitBytes / (1024 * 1024)));
}

AssemblyMessage tooManyNestedReplacements(qint64 limit)
{
    return dialog(qrnTitle(), 'H',
        QStringLiteral("Your INFORMATION file contains values;that refer to other "
                       "values more than %1 times;Please correct the error before "
                       "proceeding")
            .arg(limit));
}

AssemblyMessage mergeDone(qint64 replacements)
{
    return dialog(QStringLiteral("%1 replacements were made").arg(replacements), 'I',
        QStringLiteral("You now have at least TWO choices;"
                       "1.   Print from this programme using appropriate menu "
                       "items/buttons  OR;;"
                       "2.   Select all  this text (ctrl A);"
                       "3.    Copy/cut it to the Windows clipboard ;"
                       "4.    Paste it into your Word Procesing Programme"));
}

QString progressCaption(qint64 replacements)
{
    return QStringLiteral("%1  replacements  ").arg(replacements);
}

AssemblyMessage oddLineCount()
{
    return dialog(QString(), '!',
        QStringLiteral(" There is a problem with this file;There must be an even "
                       "number of lines with;information appearing only on the even "
                       "lines;edit and save it before proceeding."));
}

QString balloonNoInformationFile()
{
    return QStringLiteral("You have not chosen an information file@You need to complete this "
                          "step@or there will be nothing to merge");
}

} // namespace assembly::messages
