#pragma once

// The tip-of-the-day window: a coloured panel with a picture, a heading and
// one tip, a "show tips at startup" check box and the buttons OK, Next Tip
// and Previous Tip. It steps through the tips it is given, in order or at
// random; TipOfDayDialog sets it up and reads the check box afterwards.

#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

class TipsForm : public QDialog
{
    Q_OBJECT

public:
    // A random whole number from 0 to bound - 1 (bound is at least 1).
    using RandomIndex = std::function<int(int bound)>;

    explicit TipsForm(QWidget *parent = nullptr);

    void setPanelColor(const QColor &color);
    void setTipTitle(const QString &title, const QFont &font, const QColor &color);
    void setTipFont(const QFont &font);
    void setShowAtStartup(bool on);
    bool showAtStartup() const;

    // Takes the tips and shows the first: the first of the list in order,
    // or a random one. With random order Previous Tip is hidden; with no
    // tips the label is empty and both buttons are disabled. Every
    // crlfSubstitute in a tip stands for a line break.
    void start(const QStringList &tips, const QString &crlfSubstitute, bool random, RandomIndex randomIndex);

    void nextTip();
    void previousTip();
    int currentIndex() const { return m_current; }
    // The tip as shown, with its line breaks.
    QString shownTip() const;

private:
    void showCurrent();

    QFrame *m_panel;
    QLabel *m_picture;
    QLabel *m_title;
    QLabel *m_tip;
    QCheckBox *m_showAtStartup;
    QPushButton *m_ok;
    QPushButton *m_next;
    QPushButton *m_previous;

    QStringList m_tips;
    QString m_crlfSubstitute;
    bool m_random = false;
    RandomIndex m_randomIndex;
    int m_current = -1;
};
