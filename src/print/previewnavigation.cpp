#include "print/previewnavigation.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace print {

void PreviewNavigation::setPageCount(int count)
{
    m_count = std::max(0, count);
    if (!m_followNewest)
        m_current = std::clamp(m_current, 0, std::max(0, lastLeft()));
}

void PreviewNavigation::setTwoPage(bool on)
{
    m_twoPage = on;
    if (on)
        m_current -= m_current % 2;
}

int PreviewNavigation::currentIndex() const
{
    if (m_count == 0)
        return -1;
    return m_followNewest ? lastIndex() : m_current;
}

int PreviewNavigation::rightIndex() const
{
    if (!m_twoPage || m_count == 0)
        return -1;
    const int right = currentIndex() + 1;
    return right <= lastIndex() ? right : -1;
}

bool PreviewNavigation::nextEnabled() const
{
    if (m_count == 0)
        return false;
    // A pair that holds the last page has nothing after it.
    return currentIndex() + (m_twoPage ? 1 : 0) < lastIndex();
}

bool PreviewNavigation::previousEnabled() const
{
    return currentIndex() > 0;
}

int PreviewNavigation::lastLeft() const
{
    const int last = lastIndex();
    // In pairs the left page is always an odd page number (even index):
    // a last page with an even number sits on the right of its pair.
    return m_twoPage && last > 0 ? last - last % 2 : last;
}

void PreviewNavigation::holdPage()
{
    m_current = std::max(0, currentIndex());
    m_followNewest = false;
    if (m_twoPage)
        m_current -= m_current % 2;
}

void PreviewNavigation::activate()
{
    m_current = 0;
    m_followNewest = false;
}

void PreviewNavigation::next()
{
    holdPage();
    m_current = std::max(0, std::min(m_current + moveStep(), lastLeft()));
}

void PreviewNavigation::previous()
{
    holdPage();
    m_current = std::max(0, m_current - moveStep());
}

void PreviewNavigation::first()
{
    holdPage();
    m_current = 0;
}

void PreviewNavigation::last()
{
    holdPage();
    m_current = std::max(0, lastLeft());
}

bool PreviewNavigation::typePageNumber(const QString &text)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    return ok && goToPage(number);
}

bool PreviewNavigation::goToPage(int number)
{
    if (number < 1 || number > m_count)
        return false;
    holdPage();
    m_current = number - 1;
    if (m_twoPage)
        m_current -= m_current % 2;
    return true;
}

void PreviewNavigation::larger()
{
    holdPage();
    m_zoom = std::min(m_zoom + m_step, maximumZoom);
}

void PreviewNavigation::smaller()
{
    holdPage();
    m_zoom -= m_step;
    // Never below 1, and what is left of rounding counts as 1 (1.1 - 0.1 is
    // not exactly 1.0 in binary).
    if (m_zoom <= unitZoomLimit)
        m_zoom = 1.0;
}

void PreviewNavigation::resetZoom()
{
    m_zoom = 1.0;
}

void PreviewNavigation::setStepText(const QString &text)
{
    bool ok = false;
    const double step = text.trimmed().toDouble(&ok);
    // A step of 0 would make the zoom buttons do nothing at all.
    m_step = ok && std::isfinite(step) && step > 0 ? step : defaultStep;
}

QString PreviewNavigation::numberText(double value)
{
    return QStringLiteral("%1").arg(value, 5, 'f', 3);
}

PreviewLayout previewLayout(QSize screen, double aspectRatio)
{
    const double screenWidth = std::max(1, screen.width());
    const double screenHeight = std::max(1, screen.height());
    const bool ratioKnown = aspectRatio > 0 && std::isfinite(aspectRatio);
    const auto pageHeight = [](int clientHeight) {
        return clientHeight * 0.98 - previewPanelHeight;
    };

    int height = qRound(screenHeight * 0.95);
    int clientHeight = height - 27;
    const double exactWidth = ratioKnown ? pageHeight(clientHeight) / aspectRatio : pageHeight(clientHeight) * 0.707;
    int imageWidth = std::max(1, qRound(exactWidth));
    if (imageWidth * 1.0204 > screenWidth) {
        // Too wide for the screen: shrink the height by the same factor.
        height = qRound(height * (screenWidth / 1.0204) / imageWidth);
        imageWidth = qRound(screenWidth * 0.98);
        clientHeight = height - 27;
    }
    int width = qRound(imageWidth * 1.0204);
    int clientWidth = width - 8;

    PreviewLayout layout;
    const double margin = clientWidth * 0.02;
    if (margin + previewPanelWidth > clientWidth) {
        if (margin + previewPanelNarrowWidth > clientWidth) {
            width = qRound((margin + previewPanelNarrowWidth) * 1.0204);
            clientWidth = width - 8;
        }
        layout.zoomControls = false;
    }

    clientHeight = std::max(1, clientHeight);
    layout.window = QSize(width, height);
    layout.client = QSize(clientWidth, clientHeight);
    layout.image = QRect(qRound(clientWidth * 0.01), qRound(clientHeight * 0.01), qRound(clientWidth * 0.98),
                         std::max(1, qRound(pageHeight(clientHeight))));
    layout.panel = QRect(layout.image.left(), layout.image.bottom() + 1, layout.image.width(), previewPanelHeight);
    return layout;
}

} // namespace print
