#pragma once

// The second window of two-page mode, showing the right-hand page of the
// pair beside the preview window, and the page image both windows use.

#include <QPicture>
#include <QWidget>

#include <functional>
#include <optional>

class QKeyEvent;
class QLabel;
class QPainter;
class QScrollArea;

namespace print {

// Draws a stored page, recorded in the printer pixels of a paper of
// `pageSize` (empty: the picture's own extent from the origin), over
// `target` in the painter's coordinates.
void drawPage(QPainter &painter, const QPicture &page, const QSize &pageSize, const QRectF &target);

// A page on a white sheet: the stored picture, in printer pixels of the
// paper, stretched over the widget. It holds only the picture it shows.
class PageView : public QWidget
{
    Q_OBJECT

public:
    explicit PageView(QWidget *parent = nullptr);

    // The paper in printer pixels; the picture is scaled from it. Empty:
    // the picture's own extent stands in.
    void setPageSize(const QSize &size);
    // The page shown (-1: a blank sheet) and its picture (nothing when the
    // page file is missing or damaged: a blank sheet too).
    void setPage(int index, std::optional<QPicture> picture);
    int pageIndex() const { return m_index; }
    bool hasPicture() const { return m_picture.has_value(); }

signals:
    // The right mouse button was pressed on the page.
    void resetZoomRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QSize m_pageSize;
    int m_index = -1;
    std::optional<QPicture> m_picture;
};

class Preview2 : public QWidget
{
    Q_OBJECT

public:
    // A window of its own beside `preview`, destroyed with it.
    explicit Preview2(QWidget *preview);

    QScrollArea *scrollBox() const { return m_scrollBox; }
    PageView *image() const { return m_image; }
    QWidget *panel() const { return m_panel; }

    // The right-hand page's number; 0 hides the labels (a blank page).
    void setPageNumber(int number);

    // Keys typed here belong to the preview window.
    void setKeyHandler(std::function<void(QKeyEvent *)> handler) { m_keyHandler = std::move(handler); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QScrollArea *m_scrollBox;
    PageView *m_image;
    QWidget *m_panel;
    QLabel *m_pageLabel;
    QLabel *m_pageNumber;
    std::function<void(QKeyEvent *)> m_keyHandler;
};

} // namespace print
