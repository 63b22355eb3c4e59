#pragma once

// A preview page: a picture recorded in printer pixels of the whole paper
// that reports the printer's resolution to whoever paints on it. Fonts set
// on its painter then take the size they have on paper, and the page looks
// in the preview as it will print.

#include <QPicture>
#include <QSize>

namespace print {

class PrinterPicture : public QPicture
{
public:
    PrinterPicture(const QSize &paperPixels, int dpiX, int dpiY);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_paper;
    int m_dpiX;
    int m_dpiY;
};

} // namespace print
