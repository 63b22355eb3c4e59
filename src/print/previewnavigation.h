#pragma once

// What the preview window shows and which of its controls can act, kept
// apart from the widgets: the page (or the pair of pages side by side), the
// moves between pages, the typed page number, and the zoom. The window
// asks it after every command and shows what it says.

#include <QRect>
#include <QSize>
#include <QString>

namespace print {

class PreviewNavigation
{
public:
    // Zoom is never taken past this: the page image is a widget, and a
    // widget cannot grow without bound.
    static constexpr double maximumZoom = 16.0;
    static constexpr double defaultStep = 0.1;

    int pageCount() const { return m_count; }
    int lastIndex() const { return m_count - 1; }
    // Pages stored so far; while the newest page is followed it is shown.
    void setPageCount(int count);

    bool isTwoPage() const { return m_twoPage; }
    // Pages then go in pairs, an odd page number on the left.
    void setTwoPage(bool on);

    // While set (from creation until the first command or activation) the
    // newest stored page is shown.
    bool followsNewest() const { return m_followNewest; }

    // The page shown in the window (the left one of a pair); -1 when there
    // is no page.
    int currentIndex() const;
    // The right page of a pair; -1 when it is blank or not in two-page mode.
    int rightIndex() const;

    // The controls act exactly when they would change something.
    bool nextEnabled() const;
    bool previousEnabled() const;
    // One page only: there is nothing to type.
    bool pageNumberReadOnly() const { return m_count <= 1; }

    // The preview is complete: page 1 from now on.
    void activate();
    void next();
    void previous();
    void first();
    void last();
    // A typed page number: the page (or the pair holding it) is shown when
    // it is a number from 1 to the page count; anything else changes
    // nothing and returns false.
    bool typePageNumber(const QString &text);
    // Shows the page (1-based) as typing it would.
    bool goToPage(int number);

    double zoom() const { return m_zoom; }
    double step() const { return m_step; }
    void larger();
    void smaller();
    void resetZoom();
    // The typed step; anything that is not a positive number gives 0.1.
    void setStepText(const QString &text);
    bool smallerEnabled() const { return m_zoom > unitZoomLimit; }
    // Zoom at most this much above 1 is shown without scrolling.
    static constexpr double unitZoomLimit = 1.00001;

    // "1.000": three digits after the point, at least 5 characters.
    static QString numberText(double value);

    // Stops following the newest page and keeps the one the user sees;
    // every command starts with it.
    void holdPage();

private:
    // The largest index the window can show on its left.
    int lastLeft() const;
    int moveStep() const { return m_twoPage ? 2 : 1; }

    int m_count = 0;
    int m_current = 0;
    bool m_followNewest = true;
    bool m_twoPage = false;
    double m_zoom = 1.0;
    double m_step = defaultStep;
};

// Where the preview window's parts go, from the screen's available size and
// the paper's aspect ratio (height / width; 0 when not known). The window's
// whole size includes a frame of 8 pixels across and 27 down.
struct PreviewLayout
{
    QSize window;          // frame included
    QSize client;
    QRect image;           // the page image and its scroll box
    QRect panel;           // the control panel below it
    bool zoomControls = true; // room for the zoom factor and step
};

PreviewLayout previewLayout(QSize screen, double aspectRatio);

// The panel's size, and the width it needs without the zoom factor and step.
constexpr int previewPanelWidth = 395;
constexpr int previewPanelHeight = 71;
constexpr int previewPanelNarrowWidth = 288;

} // namespace print
