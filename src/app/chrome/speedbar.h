#pragma once

// The formatting toolbar across the top of the main window: file and
// clipboard buttons, the font name and size boxes, the style and colour
// controls, alignment and bullets. Controls keep their fixed places, as a
// classic word processor's bar does. The bar only holds the controls; the
// main window's command groups connect them and enable those whose
// commands exist.

#include <QFrame>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class UpDown;

class SpeedBar : public QFrame
{
    Q_OBJECT

public:
    explicit SpeedBar(QWidget *parent = nullptr);

    QToolButton *openButton() const { return m_openButton; }
    QToolButton *saveButton() const { return m_saveButton; }
    QToolButton *printButton() const { return m_printButton; }
    QToolButton *pageSetupButton() const { return m_speedButton2; } // SpeedButton2
    QPushButton *printPreviewButton() const { return m_printPreviewButton; }
    QPushButton *oleButton() const { return m_speedButton3; } // SpeedButton3
    QToolButton *undoButton() const { return m_undoButton; }
    QToolButton *cutButton() const { return m_cutButton; }
    QToolButton *copyButton() const { return m_copyButton; }
    QToolButton *pasteButton() const { return m_pasteButton; }
    QComboBox *fontName() const { return m_fontName; }
    QLineEdit *fontSize() const { return m_fontSize; }
    UpDown *upDown() const { return m_upDown; }
    QToolButton *boldButton() const { return m_boldButton; }
    QToolButton *italicButton() const { return m_italicButton; }
    QToolButton *underlineButton() const { return m_underlineButton; }
    QPushButton *colorButton() const { return m_colorButton; }
    QLineEdit *colorSwatch() const { return m_edit1; } // Edit1
    QToolButton *leftAlign() const { return m_leftAlign; }
    QToolButton *centerAlign() const { return m_centerAlign; }
    QToolButton *rightAlign() const { return m_rightAlign; }
    QButtonGroup *alignGroup() const { return m_alignGroup; }
    QToolButton *bulletsButton() const { return m_bulletsButton; }

    // Every control of the bar, in their order from left to right.
    QList<QWidget *> controls() const;

    // Fills the font name list with the face names the screen offers (each
    // cut to 32 characters, as face names are limited to that length), sorted.
    void fillFontNames();

    // The paragraph alignment code of an alignment button (0 left, 1 right,
    // 2 centre), or -1 for any other button.
    static int alignmentTag(const QAbstractButton *button);

private:
    QToolButton *addGlyphButton(const char *name, int left, int top, const QString &hint, int glyph);

    QToolButton *m_openButton = nullptr;
    QToolButton *m_saveButton = nullptr;
    QToolButton *m_printButton = nullptr;
    QToolButton *m_speedButton2 = nullptr;
    QPushButton *m_printPreviewButton = nullptr;
    QPushButton *m_speedButton3 = nullptr;
    QToolButton *m_undoButton = nullptr;
    QToolButton *m_cutButton = nullptr;
    QToolButton *m_copyButton = nullptr;
    QToolButton *m_pasteButton = nullptr;
    QComboBox *m_fontName = nullptr;
    QLineEdit *m_fontSize = nullptr;
    UpDown *m_upDown = nullptr;
    QToolButton *m_boldButton = nullptr;
    QToolButton *m_italicButton = nullptr;
    QToolButton *m_underlineButton = nullptr;
    QPushButton *m_colorButton = nullptr;
    QLineEdit *m_edit1 = nullptr;
    QToolButton *m_leftAlign = nullptr;
    QToolButton *m_centerAlign = nullptr;
    QToolButton *m_rightAlign = nullptr;
    QButtonGroup *m_alignGroup = nullptr;
    QToolButton *m_bulletsButton = nullptr;
};
