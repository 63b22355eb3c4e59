#pragma once

// The Page Setup window: paper, orientation and margins on one tab, what is
// drawn around the text (header and footer lines with their column formats,
// their font and colour, the logo, the border lines) on the other. Qt's own
// page setup dialog knows only the first tab, so this one is ours.
//
// The form edits a copy of the values it is given and hands them back from
// values(); it does not touch a printer. Lengths are shown and returned in
// the values' measure unit, rounded as the spin boxes hold them (hundredths
// of a millimetre, thousandths of an inch). The file, font and colour
// choosers are hooks so that a test can answer them without a modal loop.

#include "print/pagedecoration.h"
#include "print/pagegeometry.h"
#include "print/printtypes.h"

#include <QDialog>
#include <QList>
#include <QPageLayout>
#include <QPageSize>

#include <functional>
#include <optional>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace print {

struct PageSetupValues {
    MeasureUnit unit = MeasureUnit::Millimeters;
    PageMargins margins;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QPageSize pageSize; // the printer's paper; an invalid size shows as A4
    PageDecoration decoration;
};

class PageSetupForm : public QDialog {
    Q_OBJECT

public:
    // A file name, or an empty string when the user cancelled.
    using FileChooser = std::function<QString(QWidget *parent)>;
    using FontChooser = std::function<std::optional<QFont>(QWidget *parent, const QFont &current)>;
    using ColorChooser
        = std::function<std::optional<QColor>(QWidget *parent, const QColor &current)>;

    PageSetupForm(const PageSetupValues &values, PageOptions options, QWidget *parent = nullptr);

    PageSetupValues values() const;

    // What "Printer..." does (Qt's printer properties, say). Without one the
    // button is disabled, as it is with DisablePrinter.
    void setPrinterCallback(std::function<void()> callback);

    // The real dialogs are the defaults.
    void setLogoChooser(FileChooser chooser) { m_chooseLogo = std::move(chooser); }
    void setFontChooser(FontChooser chooser) { m_chooseFont = std::move(chooser); }
    void setColorChooser(ColorChooser chooser) { m_chooseColor = std::move(chooser); }

    // The paper sizes the form offers, in the order shown.
    static QList<QPageSize::PageSizeId> standardSizes();

    // Asks for a logo file and takes it when it is a picture; anything else
    // leaves the old logo and says why under the logo row.
    void chooseLogo();
    void removeLogo();
    void chooseFont();
    void chooseColor();

private:
    QWidget *createPageTab();
    QWidget *createDecorationTab();
    QDoubleSpinBox *lengthBox(const QString &name);
    void fillPaperSizes(const QPageSize &current);
    // The paper in the unit, as the chosen orientation turns it.
    QSizeF paperSize() const;
    // A margin reaches at most the paper's opposite edge; the printer
    // clamps further later.
    void updateLimits();
    void showFont();
    void showColor();
    void showLogo();

    PageSetupValues m_values; // what the widgets do not show (unit, logo, font, colour ...)
    QList<QPageSize> m_sizes; // parallel to the paper combo box
    std::function<void()> m_printerCallback;
    bool m_printerDisabled = false;
    FileChooser m_chooseLogo;
    FontChooser m_chooseFont;
    ColorChooser m_chooseColor;

    QComboBox *m_paper = nullptr;
    QRadioButton *m_portrait = nullptr;
    QRadioButton *m_landscape = nullptr;
    QDoubleSpinBox *m_marginTop = nullptr;
    QDoubleSpinBox *m_marginBottom = nullptr;
    QDoubleSpinBox *m_marginLeft = nullptr;
    QDoubleSpinBox *m_marginRight = nullptr;
    QPushButton *m_printer = nullptr;

    QLineEdit *m_header = nullptr;
    QLineEdit *m_headerFormat = nullptr;
    QLineEdit *m_footer = nullptr;
    QLineEdit *m_footerFormat = nullptr;
    QLabel *m_fontName = nullptr;
    QPushButton *m_font = nullptr;
    QPushButton *m_color = nullptr;
    QLabel *m_logoPreview = nullptr;
    QPushButton *m_logoRemove = nullptr;
    QLabel *m_logoMessage = nullptr;
    QDoubleSpinBox *m_logoTop = nullptr;
    QDoubleSpinBox *m_logoLeft = nullptr;
    QDoubleSpinBox *m_logoWidth = nullptr;
    QDoubleSpinBox *m_logoHeight = nullptr;
    QCheckBox *m_borderTop = nullptr;
    QCheckBox *m_borderBottom = nullptr;
    QCheckBox *m_borderLeft = nullptr;
    QCheckBox *m_borderRight = nullptr;
    QDoubleSpinBox *m_borderOffset = nullptr;
};

} // namespace print
