#pragma once

// The printer's remembered settings in an INI file: the margins, their unit
// and the orientation ("RichPrint.Settings/Marges/..."), and whether preview
// pages are stored compressed ("RichPrint.Settings/Compress/CompressPreview"),
// and what is drawn around the text ("RichPrint.Settings/Decoration/...").
// Margins are kept as 8 little-endian bytes of an IEEE double, so a file
// written on one machine reads the same on any other.

#include "print/pagedecoration.h"
#include "print/printtypes.h"

#include <QByteArray>
#include <QPageLayout>
#include <QString>

#include <optional>

namespace print {

struct StoredPageSettings
{
    // A margin that is missing or is not 8 bytes is nothing: the printer
    // keeps its current value rather than refusing to print over a damaged
    // settings file.
    std::optional<double> marginLeft;
    std::optional<double> marginTop;
    std::optional<double> marginBottom;
    std::optional<double> marginRight;
    MeasureUnit unit = MeasureUnit::Millimeters;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
};

class PrintSettings
{
public:
    // An empty file name keeps nothing: loading finds nothing, saving does
    // nothing.
    explicit PrintSettings(QString fileName);

    const QString &fileName() const { return m_fileName; }

    // Nothing when no margins were ever saved.
    std::optional<StoredPageSettings> load() const;
    // Writes all four margins, the unit and the orientation.
    void save(double marginLeft, double marginTop, double marginBottom, double marginRight, MeasureUnit unit,
              QPageLayout::Orientation orientation);

    // The header and footer with their formats, font and colour, the logo
    // (as PNG) with its place and size, and the border lines. Loading
    // overwrites only the fields whose stored value is sound, so a damaged
    // entry costs that entry alone. The border offset is kept in
    // millimetres: the unit is stored only with the margins, and the offset
    // must not change its length when the unit comes back different.
    void loadDecoration(PageDecoration &decoration, MeasureUnit unit) const;
    void saveDecoration(const PageDecoration &decoration, MeasureUnit unit);

    // Compressed unless "0" was stored.
    bool compressPreview() const;
    void setCompressPreview(bool compress);

    // The stored form of a margin, and back; nothing for anything but
    // 8 bytes or a value that is not a finite number.
    static QByteArray encodeDouble(double value);
    static std::optional<double> decodeDouble(const QByteArray &bytes);

private:
    QString m_fileName;
};

} // namespace print
