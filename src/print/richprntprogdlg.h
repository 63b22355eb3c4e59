#pragma once

// The small window that tells the user what the printer is doing and on
// which page, with a Cancel button. It stays on top and is application-modal
// while shown, so the only input the run lets through between pages is a
// click on Cancel.

#include <QDialog>

class QLabel;
class QPushButton;

namespace print {

class RichPrntProgDlg : public QDialog
{
    Q_OBJECT

public:
    explicit RichPrntProgDlg(QWidget *parent = nullptr);

    // Shows the title and page number, and the status when one is given;
    // repaints at once, since the run does not return to the event loop.
    void showStatus(const QString *status, const QString &title, unsigned pageNumber);

    bool cancelRequested() const { return m_cancelled; }

    QString status() const;
    QString title() const;
    QString pageNumber() const;

signals:
    void cancelClicked();

protected:
    // Closing the window by the window manager asks to cancel the run; the
    // window itself goes away only when the printer ends the run.
    void reject() override;

private:
    void requestCancel();

    QLabel *m_status;
    QLabel *m_title;
    QLabel *m_pageNumber;
    QPushButton *m_cancel;
    bool m_cancelled = false;
};

} // namespace print
