#include "print/printerpicture.h"

#include <QRect>

#include <cmath>

namespace print {

PrinterPicture::PrinterPicture(const QSize &paperPixels, int dpiX, int dpiY)
    : m_paper(paperPixels)
    , m_dpiX(qMax(1, dpiX))
    , m_dpiY(qMax(1, dpiY))
{
    // The page is the whole sheet, whatever is drawn on it.
    setBoundingRect(QRect(QPoint(0, 0), paperPixels));
}

int PrinterPicture::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_paper.width();
    case PdmHeight:
        return m_paper.height();
    case PdmWidthMM:
        return int(std::lround(m_paper.width() * 25.4 / m_dpiX));
    case PdmHeightMM:
        return int(std::lround(m_paper.height() * 25.4 / m_dpiY));
    case PdmDpiX:
    case PdmPhysicalDpiX:
        return m_dpiX;
    case PdmDpiY:
    case PdmPhysicalDpiY:
        return m_dpiY;
    default:
        return QPicture::metric(metric);
    }
}

} // namespace print
