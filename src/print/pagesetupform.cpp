#include "print/pagesetupform.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace print {

namespace {

    const QSize logoPreviewSize(96, 52);

    QPageSize::Unit qtUnit(MeasureUnit unit)
    {
        return unit == MeasureUnit::Inches ? QPageSize::Inch : QPageSize::Millimeter;
    }

    QString unitSuffix(MeasureUnit unit)
    {
        return unit == MeasureUnit::Inches ? QStringLiteral(" in") : QStringLiteral(" mm");
    }

    // "A4 (210 x 297 mm)": the paper as the user knows it, in the form's unit.
    QString paperText(const QPageSize &size, MeasureUnit unit)
    {
        const QSizeF s = size.size(qtUnit(unit));
        const QLocale locale;
        const auto number = [&](double v) {
            const double step = unit == MeasureUnit::Inches ? 100.0 : 10.0;
            return locale.toString(std::round(v * step) / step, 'g', 6);
        };
        return QStringLiteral("%1 (%2 x %3%4)")
            .arg(size.name(), number(s.width()), number(s.height()), unitSuffix(unit));
    }

    QString fontText(const QFont &font)
    {
        const QLocale locale;
        QString size = font.pointSizeF() > 0
            ? locale.toString(font.pointSizeF(), 'g', 4) + QStringLiteral(" pt")
            : QString::number(font.pixelSize()) + QStringLiteral(" px");
        QString text = font.family() + QStringLiteral(", ") + size;
        if (font.bold())
            text += QStringLiteral(", bold");
        if (font.italic())
            text += QStringLiteral(", italic");
        return text;
    }

    QString imageFilter()
    {
        QStringList patterns;
        for (const QByteArray &format : QImageReader::supportedImageFormats())
            patterns << QStringLiteral("*.") + QString::fromLatin1(format);
        return QStringLiteral("Pictures (%1);;All files (*)").arg(patterns.join(QLatin1Char(' ')));
    }

} // namespace

QList<QPageSize::PageSizeId> PageSetupForm::standardSizes()
{
    return { QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::A6, QPageSize::B4,
        QPageSize::B5, QPageSize::Letter, QPageSize::Legal, QPageSize::Executive,
        QPageSize::Tabloid, QPageSize::Envelope10, QPageSize::EnvelopeDL, QPageSize::EnvelopeC5 };
}

PageSetupForm::PageSetupForm(const PageSetupValues &values, PageOptions options, QWidget *parent)
    : QDialog(parent)
    , m_values(values)
{
    setObjectName(QStringLiteral("PageSetupForm"));
    setWindowTitle(QStringLiteral("Page Setup"));

    m_chooseLogo = [](QWidget *parent) {
        return QFileDialog::getOpenFileName(
            parent, QStringLiteral("Choose Logo"), QString(), imageFilter());
    };
    m_chooseFont = [](QWidget *parent, const QFont &current) -> std::optional<QFont> {
        bool ok = false;
        const QFont font
            = QFontDialog::getFont(&ok, current, parent, QStringLiteral("Header and Footer Font"));
        return ok ? std::optional<QFont>(font) : std::nullopt;
    };
    m_chooseColor = [](QWidget *parent, const QColor &current) -> std::optional<QColor> {
        const QColor color
            = QColorDialog::getColor(current, parent, QStringLiteral("Header and Footer Colour"));
        return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
    };

    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->addTab(createPageTab(), QStringLiteral("Page"));
    tabs->addTab(createDecorationTab(), QStringLiteral("Header and footer"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);

    // Paper and orientation first: the margins' limits follow them, and a
    // margin set before its limit would be clipped to the default 0..99.99.
    const PageMargins &m = values.margins;
    fillPaperSizes(values.pageSize);
    (values.orientation == QPageLayout::Landscape ? m_landscape : m_portrait)->setChecked(true);
    updateLimits();
    m_marginTop->setValue(m.top);
    m_marginBottom->setValue(m.bottom);
    m_marginLeft->setValue(m.left);
    m_marginRight->setValue(m.right);

    const PageDecoration &d = values.decoration;
    m_header->setText(d.header);
    m_headerFormat->setText(d.headerFormat);
    m_footer->setText(d.footer);
    m_footerFormat->setText(d.footerFormat);
    m_logoTop->setValue(d.logoTop);
    m_logoLeft->setValue(d.logoLeft);
    m_logoWidth->setValue(d.logoWidth);
    m_logoHeight->setValue(d.logoHeight);
    m_borderTop->setChecked(d.borders.testFlag(PageBorder::Top));
    m_borderBottom->setChecked(d.borders.testFlag(PageBorder::Bottom));
    m_borderLeft->setChecked(d.borders.testFlag(PageBorder::Left));
    m_borderRight->setChecked(d.borders.testFlag(PageBorder::Right));
    m_borderOffset->setValue(d.borderOffset);
    showFont();
    showColor();
    showLogo();

    // Disabling the margins wins over asking for them.
    const bool marginsEnabled = !options.testFlag(PageSetupFlag::DisableMargins);
    for (QDoubleSpinBox *box : { m_marginTop, m_marginBottom, m_marginLeft, m_marginRight })
        box->setEnabled(marginsEnabled);
    m_portrait->setEnabled(!options.testFlag(PageSetupFlag::DisableOrientation));
    m_landscape->setEnabled(!options.testFlag(PageSetupFlag::DisableOrientation));
    m_paper->setEnabled(!options.testFlag(PageSetupFlag::DisablePaper));
    m_printerDisabled = options.testFlag(PageSetupFlag::DisablePrinter);
    m_printer->setEnabled(false);

    connect(m_paper, &QComboBox::currentIndexChanged, this, &PageSetupForm::updateLimits);
    connect(m_portrait, &QRadioButton::toggled, this, &PageSetupForm::updateLimits);
}

QDoubleSpinBox *PageSetupForm::lengthBox(const QString &name)
{
    auto *box = new QDoubleSpinBox;
    box->setObjectName(name);
    const bool inches = m_values.unit == MeasureUnit::Inches;
    box->setDecimals(inches ? 3 : 2);
    box->setSingleStep(inches ? 0.1 : 1.0);
    box->setSuffix(unitSuffix(m_values.unit));
    box->setAlignment(Qt::AlignRight);
    box->setAccelerated(true);
    return box;
}

QWidget *PageSetupForm::createPageTab()
{
    auto *page = new QWidget;

    m_paper = new QComboBox;
    m_paper->setObjectName(QStringLiteral("paperSize"));
    auto *paperBox = new QGroupBox(QStringLiteral("Paper"));
    auto *paperForm = new QFormLayout(paperBox);
    paperForm->addRow(QStringLiteral("&Size:"), m_paper);

    m_portrait = new QRadioButton(QStringLiteral("Portra&it"));
    m_portrait->setObjectName(QStringLiteral("portrait"));
    m_landscape = new QRadioButton(QStringLiteral("&Landscape"));
    m_landscape->setObjectName(QStringLiteral("landscape"));
    auto *orientationBox = new QGroupBox(QStringLiteral("Orientation"));
    auto *orientationRow = new QHBoxLayout(orientationBox);
    orientationRow->addWidget(m_portrait);
    orientationRow->addWidget(m_landscape);
    orientationRow->addStretch();

    m_marginTop = lengthBox(QStringLiteral("marginTop"));
    m_marginBottom = lengthBox(QStringLiteral("marginBottom"));
    m_marginLeft = lengthBox(QStringLiteral("marginLeft"));
    m_marginRight = lengthBox(QStringLiteral("marginRight"));
    auto *marginBox = new QGroupBox(QStringLiteral("Margins"));
    auto *marginGrid = new QGridLayout(marginBox);
    const auto addMargin = [&](const QString &text, QDoubleSpinBox *box, int row, int column) {
        auto *label = new QLabel(text);
        label->setBuddy(box);
        marginGrid->addWidget(label, row, column);
        marginGrid->addWidget(box, row, column + 1);
    };
    addMargin(QStringLiteral("&Top:"), m_marginTop, 0, 0);
    addMargin(QStringLiteral("&Bottom:"), m_marginBottom, 0, 2);
    addMargin(QStringLiteral("L&eft:"), m_marginLeft, 1, 0);
    addMargin(QStringLiteral("&Right:"), m_marginRight, 1, 2);
    marginGrid->setColumnStretch(1, 1);
    marginGrid->setColumnStretch(3, 1);
    marginGrid->setColumnMinimumWidth(2, 0);
    marginGrid->setHorizontalSpacing(12);

    m_printer = new QPushButton(QStringLiteral("&Printer..."));
    m_printer->setObjectName(QStringLiteral("printer"));
    m_printer->setAutoDefault(false);
    connect(m_printer, &QPushButton::clicked, this, [this] {
        if (m_printerCallback)
            m_printerCallback();
    });
    auto *printerRow = new QHBoxLayout;
    printerRow->addWidget(m_printer);
    printerRow->addStretch();

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(paperBox);
    layout->addWidget(orientationBox);
    layout->addWidget(marginBox);
    layout->addStretch();
    layout->addLayout(printerRow);
    return page;
}

QWidget *PageSetupForm::createDecorationTab()
{
    auto *page = new QWidget;

    const auto lineEdit = [](const QString &name) {
        auto *edit = new QLineEdit;
        edit->setObjectName(name);
        return edit;
    };
    m_header = lineEdit(QStringLiteral("header"));
    m_headerFormat = lineEdit(QStringLiteral("headerFormat"));
    m_footer = lineEdit(QStringLiteral("footer"));
    m_footerFormat = lineEdit(QStringLiteral("footerFormat"));

    // Two fixed lines: a word-wrapped label would ask the layout for the
    // height of three at the window's narrowest.
    auto *help
        = new QLabel(QStringLiteral("Columns: <left, >right, ^centre and a width, separated by |.\n"
                                    "Placeholders: {$PAGE} {$DATE} {$TIME} {$TITLE} {$LINE}"));
    help->setObjectName(QStringLiteral("help"));
    help->setTextFormat(Qt::PlainText);
    help->setForegroundRole(QPalette::PlaceholderText);
    QFont small = help->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    help->setFont(small);

    // The font's name and size stand beside the button that changes it, the
    // colour on its own button as a swatch.
    auto *fontName = m_fontName = new QLabel;
    fontName->setObjectName(QStringLiteral("fontName"));
    fontName->setFrameShape(QFrame::StyledPanel);
    fontName->setFrameShadow(QFrame::Sunken);
    fontName->setTextFormat(Qt::PlainText);
    fontName->setMinimumWidth(1);
    fontName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_font = new QPushButton(QStringLiteral("&Font..."));
    m_font->setObjectName(QStringLiteral("font"));
    m_font->setAutoDefault(false);
    m_color = new QPushButton(QStringLiteral("Colo&ur..."));
    m_color->setObjectName(QStringLiteral("colour"));
    m_color->setAutoDefault(false);
    connect(m_font, &QPushButton::clicked, this, &PageSetupForm::chooseFont);
    connect(m_color, &QPushButton::clicked, this, &PageSetupForm::chooseColor);
    auto *fontRow = new QHBoxLayout;
    fontRow->addWidget(fontName, 1);
    fontRow->addWidget(m_font);
    fontRow->addWidget(m_color);

    auto *lines = new QFormLayout;
    lines->addRow(QStringLiteral("&Header:"), m_header);
    lines->addRow(QStringLiteral("Header colu&mns:"), m_headerFormat);
    lines->addRow(QStringLiteral("Foo&ter:"), m_footer);
    lines->addRow(QStringLiteral("Footer co&lumns:"), m_footerFormat);
    lines->addRow(QString(), help);
    lines->addRow(QStringLiteral("Font:"), fontRow);

    auto *logoBox = new QGroupBox(QStringLiteral("Logo"));
    m_logoPreview = new QLabel;
    m_logoPreview->setObjectName(QStringLiteral("logoPreview"));
    m_logoPreview->setFixedSize(logoPreviewSize + QSize(4, 4));
    m_logoPreview->setAlignment(Qt::AlignCenter);
    m_logoPreview->setFrameShape(QFrame::StyledPanel);
    m_logoPreview->setFrameShadow(QFrame::Sunken);
    auto *choose = new QPushButton(QStringLiteral("Choo&se..."));
    choose->setObjectName(QStringLiteral("logoChoose"));
    choose->setAutoDefault(false);
    m_logoRemove = new QPushButton(QStringLiteral("&Remove"));
    m_logoRemove->setObjectName(QStringLiteral("logoRemove"));
    m_logoRemove->setAutoDefault(false);
    connect(choose, &QPushButton::clicked, this, &PageSetupForm::chooseLogo);
    connect(m_logoRemove, &QPushButton::clicked, this, &PageSetupForm::removeLogo);
    m_logoTop = lengthBox(QStringLiteral("logoTop"));
    m_logoLeft = lengthBox(QStringLiteral("logoLeft"));
    m_logoWidth = lengthBox(QStringLiteral("logoWidth"));
    m_logoHeight = lengthBox(QStringLiteral("logoHeight"));
    // The logo and the border offset are not bound to the paper: the page
    // clips what lies beyond it, and a value the user did not touch must
    // come back as it was whatever the paper.
    const double far = m_values.unit == MeasureUnit::Inches ? 999.999 : 9999.99;
    for (QDoubleSpinBox *box : { m_logoTop, m_logoLeft })
        box->setRange(-far, far);
    for (QDoubleSpinBox *box : { m_logoWidth, m_logoHeight })
        box->setRange(0, far);
    m_logoMessage = new QLabel;
    m_logoMessage->setObjectName(QStringLiteral("logoMessage"));
    m_logoMessage->setTextFormat(Qt::PlainText);
    // One short line beside the buttons, so that a message makes the window
    // neither taller nor wider; the tooltip says more.
    m_logoMessage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QPalette warning = m_logoMessage->palette();
    warning.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x00));
    m_logoMessage->setPalette(warning);
    m_logoMessage->hide();

    auto *logoGrid = new QGridLayout(logoBox);
    auto *logoButtons = new QHBoxLayout;
    logoButtons->addWidget(choose);
    logoButtons->addWidget(m_logoRemove);
    logoButtons->addWidget(m_logoMessage, 1);
    logoButtons->addStretch();
    logoGrid->addWidget(m_logoPreview, 0, 0, 2, 1, Qt::AlignTop);
    logoGrid->addLayout(logoButtons, 2, 0, 1, 5);
    const auto addLogoValue = [&](const QString &text, QDoubleSpinBox *box, int row, int column) {
        auto *label = new QLabel(text);
        label->setBuddy(box);
        logoGrid->addWidget(label, row, column);
        logoGrid->addWidget(box, row, column + 1);
    };
    addLogoValue(QStringLiteral("To&p:"), m_logoTop, 0, 1);
    addLogoValue(QStringLiteral("Left:"), m_logoLeft, 0, 3);
    addLogoValue(QStringLiteral("Width:"), m_logoWidth, 1, 1);
    addLogoValue(QStringLiteral("Height:"), m_logoHeight, 1, 3);
    logoGrid->setColumnStretch(2, 1);
    logoGrid->setColumnStretch(4, 1);

    auto *bordersBox = new QGroupBox(QStringLiteral("Borders"));
    const auto checkBox = [](const QString &text, const QString &name) {
        auto *box = new QCheckBox(text);
        box->setObjectName(name);
        return box;
    };
    m_borderTop = checkBox(QStringLiteral("Top"), QStringLiteral("borderTop"));
    m_borderBottom = checkBox(QStringLiteral("Bottom"), QStringLiteral("borderBottom"));
    m_borderLeft = checkBox(QStringLiteral("Left"), QStringLiteral("borderLeft"));
    m_borderRight = checkBox(QStringLiteral("Right"), QStringLiteral("borderRight"));
    m_borderOffset = lengthBox(QStringLiteral("borderOffset"));
    m_borderOffset->setRange(-far, far);
    auto *offsetLabel = new QLabel(QStringLiteral("Offs&et:"));
    offsetLabel->setBuddy(m_borderOffset);
    auto *bordersRow = new QHBoxLayout(bordersBox);
    for (QCheckBox *box : { m_borderTop, m_borderBottom, m_borderLeft, m_borderRight })
        bordersRow->addWidget(box);
    bordersRow->addStretch();
    bordersRow->addWidget(offsetLabel);
    bordersRow->addWidget(m_borderOffset);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(lines);
    layout->addWidget(logoBox);
    layout->addWidget(bordersBox);
    layout->addStretch();
    return page;
}

void PageSetupForm::fillPaperSizes(const QPageSize &current)
{
    m_sizes.clear();
    for (QPageSize::PageSizeId id : standardSizes())
        m_sizes.append(QPageSize(id));

    // The printer's own paper comes back exactly as given: it takes the place
    // of its standard twin, or joins the list when it is not a standard one.
    int selected = int(standardSizes().indexOf(QPageSize::A4));
    if (current.isValid()) {
        const auto it = std::find_if(m_sizes.begin(), m_sizes.end(),
            [&](const QPageSize &s) { return s.id() == current.id(); });
        if (current.id() != QPageSize::Custom && it != m_sizes.end()) {
            *it = current;
            selected = int(it - m_sizes.begin());
        } else {
            m_sizes.append(current);
            selected = int(m_sizes.size() - 1);
        }
    }

    const QSignalBlocker blocker(m_paper);
    m_paper->clear();
    for (const QPageSize &size : m_sizes)
        m_paper->addItem(paperText(size, m_values.unit));
    m_paper->setCurrentIndex(selected);
}

QSizeF PageSetupForm::paperSize() const
{
    const QSizeF size = m_sizes.value(m_paper->currentIndex()).size(qtUnit(m_values.unit));
    return m_landscape->isChecked() ? size.transposed() : size;
}

void PageSetupForm::updateLimits()
{
    const QSizeF paper = paperSize();
    m_marginTop->setRange(0, paper.height());
    m_marginBottom->setRange(0, paper.height());
    m_marginLeft->setRange(0, paper.width());
    m_marginRight->setRange(0, paper.width());
}

PageSetupValues PageSetupForm::values() const
{
    PageSetupValues v = m_values;
    v.pageSize = m_sizes.value(m_paper->currentIndex());
    v.orientation = m_landscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
    v.margins.top = m_marginTop->value();
    v.margins.bottom = m_marginBottom->value();
    v.margins.left = m_marginLeft->value();
    v.margins.right = m_marginRight->value();

    PageDecoration &d = v.decoration;
    d.header = m_header->text();
    d.headerFormat = m_headerFormat->text();
    d.footer = m_footer->text();
    d.footerFormat = m_footerFormat->text();
    d.logoTop = m_logoTop->value();
    d.logoLeft = m_logoLeft->value();
    d.logoWidth = m_logoWidth->value();
    d.logoHeight = m_logoHeight->value();
    d.borders = {};
    d.borders.setFlag(PageBorder::Top, m_borderTop->isChecked());
    d.borders.setFlag(PageBorder::Bottom, m_borderBottom->isChecked());
    d.borders.setFlag(PageBorder::Left, m_borderLeft->isChecked());
    d.borders.setFlag(PageBorder::Right, m_borderRight->isChecked());
    d.borderOffset = m_borderOffset->value();
    return v;
}

void PageSetupForm::setPrinterCallback(std::function<void()> callback)
{
    m_printerCallback = std::move(callback);
    m_printer->setEnabled(!m_printerDisabled && m_printerCallback);
}

void PageSetupForm::chooseLogo()
{
    if (!m_chooseLogo)
        return;
    const QString fileName = m_chooseLogo(this);
    if (fileName.isEmpty())
        return;

    QImageReader reader(fileName);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        const QString name = m_logoMessage->fontMetrics().elidedText(
            QFileInfo(fileName).fileName(), Qt::ElideMiddle, 160);
        m_logoMessage->setText(reader.error() == QImageReader::FileNotFoundError
                ? QStringLiteral("\"%1\" was not found.").arg(name)
                : QStringLiteral("\"%1\" is not a picture.").arg(name));
        m_logoMessage->setToolTip(
            QStringLiteral("%1\nThe logo is unchanged (%2).")
                .arg(QDir::toNativeSeparators(fileName), reader.errorString()));
        m_logoMessage->show();
        return;
    }
    m_values.decoration.logo = image;
    showLogo();
}

void PageSetupForm::removeLogo()
{
    m_values.decoration.logo = QImage();
    showLogo();
}

void PageSetupForm::chooseFont()
{
    if (!m_chooseFont)
        return;
    if (const std::optional<QFont> font = m_chooseFont(this, m_values.decoration.font)) {
        m_values.decoration.font = *font;
        showFont();
    }
}

void PageSetupForm::chooseColor()
{
    if (!m_chooseColor)
        return;
    if (const std::optional<QColor> color = m_chooseColor(this, m_values.decoration.fontColor)) {
        m_values.decoration.fontColor = *color;
        showColor();
    }
}

void PageSetupForm::showFont()
{
    m_fontName->setText(fontText(m_values.decoration.font));
    m_fontName->setToolTip(m_fontName->text());
}

void PageSetupForm::showColor()
{
    QPixmap swatch(14, 14);
    swatch.fill(m_values.decoration.fontColor);
    m_color->setIcon(QIcon(swatch));
    m_color->setToolTip(m_values.decoration.fontColor.name());
}

void PageSetupForm::showLogo()
{
    const QImage &logo = m_values.decoration.logo;
    m_logoMessage->clear();
    m_logoMessage->setToolTip(QString());
    m_logoMessage->hide();
    m_logoRemove->setEnabled(!logo.isNull());
    if (logo.isNull()) {
        m_logoPreview->setPixmap(QPixmap());
        m_logoPreview->setText(QStringLiteral("No logo"));
        return;
    }
    const QImage small = logo.size().boundedTo(logoPreviewSize) == logo.size()
        ? logo
        : logo.scaled(logoPreviewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_logoPreview->setPixmap(QPixmap::fromImage(small));
}

} // namespace print
