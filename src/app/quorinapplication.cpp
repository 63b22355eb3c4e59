#include "app/quorinapplication.h"

#include "app/commanderror.h"

#include <QIcon>
#include <QtDebug>

QString applicationTitle()
{
    return QStringLiteral("QRN    Quorin");
}

QuorinApplication::QuorinApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("quorin"));
    setOrganizationName(QStringLiteral("Quorin"));

    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/io.github.quorin.Quorin.png").arg(size));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.quorin.Quorin"), icon));
}

bool QuorinApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportException(std::current_exception());
        return true;
    }
}

void QuorinApplication::reportException(std::exception_ptr error)
{
    const std::optional<QString> message = errorMessageFor(error);
    if (!message)
        return;
    if (auto *app = qobject_cast<QuorinApplication *>(QCoreApplication::instance()))
        app->report(*message);
    else
        qWarning().noquote() << *message;
}

void QuorinApplication::report(const QString &message)
{
    if (!m_reporter || m_reporting) {
        qWarning().noquote() << message;
        return;
    }
    m_reporting = true;
    try {
        m_reporter(message);
    } catch (...) {
        qWarning().noquote() << message;
    }
    m_reporting = false;
}
