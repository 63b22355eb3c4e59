#pragma once

// The vocabulary the printer, its decoration, the preview and the page setup
// share: units, border sides, page setup options and the printer's error.

#include <QFlags>
#include <QString>

#include <stdexcept>

namespace print {

enum class MeasureUnit { Millimeters, Inches };

enum class PageBorder { Top = 0x1, Bottom = 0x2, Left = 0x4, Right = 0x8 };
Q_DECLARE_FLAGS(PageBorders, PageBorder)

// What the page setup dialog lets the user change.
enum class PageSetupFlag {
    DisableMargins = 0x1,
    Margins = 0x2,
    DisableOrientation = 0x4,
    DisablePaper = 0x8,
    DisablePrinter = 0x10,
};
Q_DECLARE_FLAGS(PageOptions, PageSetupFlag)

// A length in `unit` as device pixels at `dpi`, to the nearest integer, and
// back.
int toPixels(double length, MeasureUnit unit, double dpi);
double fromPixels(double pixels, MeasureUnit unit, double dpi);

// Every failure of a print or preview run, with the message the user sees.
class ELinePrinter : public std::runtime_error
{
public:
    explicit ELinePrinter(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace print

Q_DECLARE_OPERATORS_FOR_FLAGS(print::PageBorders)
Q_DECLARE_OPERATORS_FOR_FLAGS(print::PageOptions)
