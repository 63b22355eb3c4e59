#include "app/windowsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

QString &fileNameOverride()
{
    static QString fileName;
    return fileName;
}

const QString positionKey = QStringLiteral("MainWindow/Position");
const QString sizeKey = QStringLiteral("MainWindow/Size");
const QString maximizedKey = QStringLiteral("MainWindow/Maximized");
const QString lastFolderKey = QStringLiteral("FileDialogs/LastFolder");

// Larger than any screen: a size past it is damage, not a window.
constexpr int largestSide = 100000;

} // namespace

WindowSettings::WindowSettings()
{
    if (fileNameOverride().isEmpty()) {
        m_settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                 QCoreApplication::organizationName(),
                                                 QCoreApplication::applicationName());
    } else {
        m_settings = std::make_unique<QSettings>(fileNameOverride(), QSettings::IniFormat);
    }
}

WindowSettings::~WindowSettings() = default;

std::optional<WindowPlacement> WindowSettings::placement() const
{
    const QVariant size = m_settings->value(sizeKey);
    const QVariant position = m_settings->value(positionKey);
    if (size.typeId() != QMetaType::QSize || position.typeId() != QMetaType::QPoint)
        return std::nullopt;
    WindowPlacement placement{position.toPoint(), size.toSize(),
                              m_settings->value(maximizedKey).toBool()};
    const QSize &s = placement.size;
    if (s.width() <= 0 || s.height() <= 0 || s.width() > largestSide || s.height() > largestSide)
        return std::nullopt;
    if (qAbs(placement.position.x()) > largestSide || qAbs(placement.position.y()) > largestSide)
        return std::nullopt;
    return placement;
}

void WindowSettings::setPlacement(const WindowPlacement &placement)
{
    m_settings->setValue(positionKey, placement.position);
    m_settings->setValue(sizeKey, placement.size);
    m_settings->setValue(maximizedKey, placement.maximized);
    m_settings->sync();
}

QString WindowSettings::lastFolder() const
{
    const QString folder = m_settings->value(lastFolderKey).toString();
    return QDir::isAbsolutePath(folder) && QFileInfo(folder).isDir() ? folder : QString();
}

void WindowSettings::setLastFolder(const QString &folder)
{
    m_settings->setValue(lastFolderKey, folder);
    m_settings->sync();
}

void WindowSettings::setFileName(const QString &fileName)
{
    fileNameOverride() = fileName;
}
