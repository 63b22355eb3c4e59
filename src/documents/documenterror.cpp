#include "documents/documenterror.h"

#include <QDir>

namespace documents {

namespace {

QString compose(const QString &action, const QString &path, const QString &reason)
{
    QString text = action;
    if (!path.isEmpty())
        text += QStringLiteral(" \"%1\"").arg(QDir::toNativeSeparators(path));
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    // One line whatever the system or a converter said.
    text.replace(u'\n', u' ');
    text.replace(u'\r', u' ');
    return text;
}

} // namespace

DocumentError::DocumentError(const QString &action, const QString &path, const QString &reason)
    : std::runtime_error(compose(action, path, reason).toStdString())
    , m_action(action)
    , m_path(path)
    , m_reason(reason)
{
}

QString DocumentError::message() const
{
    return QString::fromStdString(what());
}

QString DocumentError::detail() const
{
    QString text = m_action;
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    if (!m_reason.isEmpty())
        text += QStringLiteral(": ") + m_reason;
    text.replace(u'\n', u' ');
    text.replace(u'\r', u' ');
    return text;
}

} // namespace documents
