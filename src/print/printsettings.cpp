#include "print/printsettings.h"

#include <QBuffer>
#include <QSettings>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace print {

namespace {

const QString MarginsGroup = QStringLiteral("RichPrint.Settings/Marges");
const QString CompressKey = QStringLiteral("RichPrint.Settings/Compress/CompressPreview");
const QString LeftKey = QStringLiteral("MarginLeft");
const QString TopKey = QStringLiteral("MarginTop");
const QString BottomKey = QStringLiteral("MarginBottom");
const QString RightKey = QStringLiteral("MarginRight");
const QString UnitKey = QStringLiteral("CodeMeasurement");
const QString DirectionKey = QStringLiteral("CodeDirection");

const QString DecorationGroup = QStringLiteral("RichPrint.Settings/Decoration");
constexpr double MillimetresPerInch = 25.4;

// "0" means inches (landscape); everything else, a missing value included,
// means the default. A damaged unit then cannot turn millimetres into
// inches and push every margin off the paper.
bool storedZero(const QSettings &settings, const QString &key)
{
    return settings.value(key).toString().trimmed() == QLatin1String("0");
}

} // namespace

PrintSettings::PrintSettings(QString fileName)
    : m_fileName(std::move(fileName))
{
}

QByteArray PrintSettings::encodeDouble(double value)
{
    quint64 bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray bytes(8, Qt::Uninitialized);
    qToLittleEndian(bits, bytes.data());
    return bytes;
}

std::optional<double> PrintSettings::decodeDouble(const QByteArray &bytes)
{
    if (bytes.size() != 8)
        return std::nullopt;
    const quint64 bits = qFromLittleEndian<quint64>(bytes.constData());
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<StoredPageSettings> PrintSettings::load() const
{
    if (m_fileName.isEmpty())
        return std::nullopt;
    QSettings settings(m_fileName, QSettings::IniFormat);
    if (!settings.childGroups().contains(QStringLiteral("RichPrint.Settings")))
        return std::nullopt;
    settings.beginGroup(QStringLiteral("RichPrint.Settings"));
    if (!settings.childGroups().contains(QStringLiteral("Marges")))
        return std::nullopt;
    settings.endGroup();

    settings.beginGroup(MarginsGroup);
    const auto margin = [&settings](const QString &key) -> std::optional<double> {
        const QVariant value = settings.value(key);
        if (value.typeId() != QMetaType::QByteArray)
            return std::nullopt;
        return decodeDouble(value.toByteArray());
    };
    StoredPageSettings stored;
    stored.marginLeft = margin(LeftKey);
    stored.marginTop = margin(TopKey);
    stored.marginBottom = margin(BottomKey);
    stored.marginRight = margin(RightKey);
    stored.unit = storedZero(settings, UnitKey) ? MeasureUnit::Inches : MeasureUnit::Millimeters;
    stored.orientation = storedZero(settings, DirectionKey) ? QPageLayout::Landscape : QPageLayout::Portrait;
    return stored;
}

void PrintSettings::save(double marginLeft, double marginTop, double marginBottom, double marginRight,
                         MeasureUnit unit, QPageLayout::Orientation orientation)
{
    if (m_fileName.isEmpty())
        return;
    QSettings settings(m_fileName, QSettings::IniFormat);
    settings.beginGroup(MarginsGroup);
    settings.setValue(LeftKey, encodeDouble(marginLeft));
    settings.setValue(TopKey, encodeDouble(marginTop));
    settings.setValue(BottomKey, encodeDouble(marginBottom));
    settings.setValue(RightKey, encodeDouble(marginRight));
    settings.setValue(UnitKey, QString::fromLatin1(unit == MeasureUnit::Millimeters ? "1" : "0"));
    settings.setValue(DirectionKey, QString::fromLatin1(orientation == QPageLayout::Portrait ? "1" : "0"));
    settings.endGroup();
    settings.sync();
}

void PrintSettings::loadDecoration(PageDecoration &decoration, MeasureUnit unit) const
{
    if (m_fileName.isEmpty())
        return;
    QSettings settings(m_fileName, QSettings::IniFormat);
    settings.beginGroup(DecorationGroup);
    const auto text = [&settings](const char *key, QString &field) {
        const QVariant value = settings.value(QLatin1String(key));
        if (value.typeId() == QMetaType::QString)
            field = value.toString();
    };
    const auto number = [&settings](const char *key) -> std::optional<double> {
        const QVariant value = settings.value(QLatin1String(key));
        if (value.typeId() != QMetaType::QString)
            return std::nullopt;
        bool ok = false;
        const double result = value.toString().trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(result))
            return std::nullopt;
        return result;
    };

    text("Header", decoration.header);
    text("HeaderFormat", decoration.headerFormat);
    text("Footer", decoration.footer);
    text("FooterFormat", decoration.footerFormat);

    QFont font;
    const QVariant fontValue = settings.value(QStringLiteral("Font"));
    if (fontValue.typeId() == QMetaType::QString && !fontValue.toString().trimmed().isEmpty()
        && font.fromString(fontValue.toString()))
        decoration.font = font;
    const QVariant colorValue = settings.value(QStringLiteral("FontColor"));
    if (colorValue.typeId() == QMetaType::QString) {
        const QColor color = QColor::fromString(colorValue.toString().trimmed());
        if (color.isValid())
            decoration.fontColor = color;
    }

    const QVariant logoValue = settings.value(QStringLiteral("Logo"));
    if (logoValue.typeId() == QMetaType::QByteArray) {
        // Empty bytes are a logo the user removed.
        const QByteArray bytes = logoValue.toByteArray();
        const QImage logo = QImage::fromData(bytes, "PNG");
        if (bytes.isEmpty())
            decoration.logo = QImage();
        else if (!logo.isNull())
            decoration.logo = logo;
    }
    if (const auto v = number("LogoTop"))
        decoration.logoTop = *v;
    if (const auto v = number("LogoLeft"))
        decoration.logoLeft = *v;
    // A negative size would draw the logo mirrored.
    if (const auto v = number("LogoWidth"); v && *v >= 0)
        decoration.logoWidth = *v;
    if (const auto v = number("LogoHeight"); v && *v >= 0)
        decoration.logoHeight = *v;

    const QVariant bordersValue = settings.value(QStringLiteral("Borders"));
    bool ok = false;
    const int borders = bordersValue.typeId() == QMetaType::QString ? bordersValue.toString().trimmed().toInt(&ok) : -1;
    if (ok && borders >= 0 && borders <= 0xf)
        decoration.borders = PageBorders::fromInt(borders);
    if (const auto v = number("BorderOffset"))
        decoration.borderOffset = unit == MeasureUnit::Millimeters ? *v : *v / MillimetresPerInch;
}

void PrintSettings::saveDecoration(const PageDecoration &decoration, MeasureUnit unit)
{
    if (m_fileName.isEmpty())
        return;
    QByteArray logo;
    if (!decoration.logo.isNull()) {
        QBuffer buffer(&logo);
        buffer.open(QIODevice::WriteOnly);
        decoration.logo.save(&buffer, "PNG");
    }
    const auto number = [](double value) { return QString::number(value, 'g', 17); };
    QSettings settings(m_fileName, QSettings::IniFormat);
    settings.beginGroup(DecorationGroup);
    settings.setValue(QStringLiteral("Header"), decoration.header);
    settings.setValue(QStringLiteral("HeaderFormat"), decoration.headerFormat);
    settings.setValue(QStringLiteral("Footer"), decoration.footer);
    settings.setValue(QStringLiteral("FooterFormat"), decoration.footerFormat);
    settings.setValue(QStringLiteral("Font"), decoration.font.toString());
    settings.setValue(QStringLiteral("FontColor"), decoration.fontColor.name());
    settings.setValue(QStringLiteral("Logo"), logo);
    settings.setValue(QStringLiteral("LogoTop"), number(decoration.logoTop));
    settings.setValue(QStringLiteral("LogoLeft"), number(decoration.logoLeft));
    settings.setValue(QStringLiteral("LogoWidth"), number(decoration.logoWidth));
    settings.setValue(QStringLiteral("LogoHeight"), number(decoration.logoHeight));
    settings.setValue(QStringLiteral("Borders"), QString::number(decoration.borders.toInt()));
    settings.setValue(QStringLiteral("BorderOffset"),
                      number(unit == MeasureUnit::Millimeters ? decoration.borderOffset
                                                              : decoration.borderOffset * MillimetresPerInch));
    settings.endGroup();
    settings.sync();
}

bool PrintSettings::compressPreview() const
{
    if (m_fileName.isEmpty())
        return true;
    const QSettings settings(m_fileName, QSettings::IniFormat);
    return !storedZero(settings, CompressKey);
}

void PrintSettings::setCompressPreview(bool compress)
{
    if (m_fileName.isEmpty())
        return;
    QSettings settings(m_fileName, QSettings::IniFormat);
    settings.setValue(CompressKey, QString::fromLatin1(compress ? "1" : "0"));
    settings.sync();
}

} // namespace print
