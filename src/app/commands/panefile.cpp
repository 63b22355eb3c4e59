#include "app/commands/panefile.h"

#include "app/commanderror.h"
#include "editor/richeditor.h"

#include <QDir>
#include <QSaveFile>

namespace {

std::function<void(const QString &)> &replaceHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

// Puts the pane's output format back however the write ends.
class OutputFormatScope
{
public:
    OutputFormatScope(RichEditor &pane, OutputFormat format)
        : m_pane(pane)
        , m_saved(pane.outputFormat())
    {
        m_pane.setOutputFormat(format);
    }
    ~OutputFormatScope() { m_pane.setOutputFormat(m_saved); }
    OutputFormatScope(const OutputFormatScope &) = delete;
    OutputFormatScope &operator=(const OutputFormatScope &) = delete;

private:
    RichEditor &m_pane;
    OutputFormat m_saved;
};

} // namespace

void setPaneFileReplaceHook(std::function<void(const QString &path)> hook)
{
    replaceHook() = std::move(hook);
}

void writePaneFile(RichEditor &pane, const QString &path, PaneFileFormat format)
{
    // QSaveFile writes to a temporary file in the target's folder and
    // renames it over the target on commit(); if it is destroyed without a
    // commit (an exception below), the temporary file is removed.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw CommandError(QStringLiteral("Cannot create file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    {
        OutputFormatScope scope(
            pane, format == PaneFileFormat::Rtf ? OutputFormat::RTF : OutputFormat::Text);
        pane.saveToStream(file);
    }
    if (!file.flush()) {
        throw CommandError(QStringLiteral("Cannot write file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    if (replaceHook())
        replaceHook()(path);
    if (!file.commit()) {
        throw CommandError(QStringLiteral("Cannot write file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
}
