#include "app/chrome/speedbar.h"

#include "app/chrome/glyphs.h"
#include "app/chrome/hints.h"
#include "app/chrome/updown.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVariant>

namespace {

constexpr int buttonSize = 25;
const char alignTagProperty[] = "alignmentTag";

template<typename W>
W *place(W *widget, const char *name, int left, int top, int width, int height)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

} // namespace

SpeedBar::SpeedBar(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("SpeedBar"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    // No minimum width: on a small screen the window must still fit, and
    // the controls at the right end are cut off instead.
    setFixedHeight(32);
    // The bar's controls sit at fixed places sized for an 11-pixel font.
    QFont barFont = font();
    barFont.setPixelSize(11);
    setFont(barFont);

    m_openButton = addGlyphButton("OpenButton", 8, 5, QStringLiteral("Open|"), int(Glyph::Open));
    m_saveButton = addGlyphButton("SaveButton", 33, 5, QStringLiteral("Save|"), int(Glyph::Save));
    m_printButton = addGlyphButton("PrintButton", 66, 5, QStringLiteral("Print|"), int(Glyph::Print));
    m_speedButton2 = addGlyphButton("SpeedButton2", 91, 5, QStringLiteral("page Dialog"), int(Glyph::PageSetup));

    m_printPreviewButton = place(new QPushButton(QStringLiteral("Prev"), this), "PrintPreviewbutton", 116, 5, 26, buttonSize);
    m_speedButton3 = place(new QPushButton(QStringLiteral("OLE"), this), "SpeedButton3", 142, 5, 24, buttonSize);
    for (QPushButton *button : {m_printPreviewButton, m_speedButton3})
        button->setFocusPolicy(Qt::NoFocus);
    setHint(m_speedButton3, QStringLiteral("Use this  to insert an object\nsuch as portion of a spreadsheet"));
    // Room for the caption inside the narrow buttons.
    for (QPushButton *button : {m_printPreviewButton, m_speedButton3})
        button->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));

    m_undoButton = addGlyphButton("UndoButton", 166, 4, QStringLiteral("Undo|"), int(Glyph::Undo));
    m_cutButton = addGlyphButton("CutButton", 191, 4, QStringLiteral("Cut|"), int(Glyph::Cut));
    m_copyButton = addGlyphButton("CopyButton", 216, 4, QStringLiteral("Copy|"), int(Glyph::Copy));
    m_pasteButton = addGlyphButton("PasteButton", 241, 4, QStringLiteral("Paste|"), int(Glyph::Paste));

    m_fontName = place(new QComboBox(this), "FontName", 274, 5, 131, 22);
    m_fontName->setEditable(true);
    m_fontName->setInsertPolicy(QComboBox::NoInsert);
    m_fontName->setMaxVisibleItems(20);

    m_fontSize = place(new QLineEdit(QStringLiteral("0"), this), "FontSize", 405, 5, 31, 22);
    m_upDown = place(new UpDown(this), "UpDown1", 436, 5, 15, 22);
    m_upDown->setBuddy(m_fontSize);
    m_upDown->setRange(0, 100);

    m_boldButton = addGlyphButton("BoldButton", 457, 4, QStringLiteral("Bold"), int(Glyph::Bold));
    m_italicButton = addGlyphButton("ItalicButton", 483, 4, QStringLiteral("Italic"), int(Glyph::Italic));
    m_underlineButton = addGlyphButton("UnderlineButton", 509, 4, QStringLiteral("Underline"), int(Glyph::Underline));
    for (QToolButton *button : {m_boldButton, m_italicButton, m_underlineButton})
        button->setCheckable(true);

    m_colorButton = place(new QPushButton(QStringLiteral("Colour"), this), "colorbutton", 548, 4, 46, buttonSize);
    m_colorButton->setFocusPolicy(Qt::NoFocus);
    setHint(m_colorButton, QStringLiteral("Select colour/color for selected text"));
    m_edit1 = place(new QLineEdit(this), "Edit1", 596, 5, 25, 22);
    m_edit1->setReadOnly(true);
    m_edit1->setFocusPolicy(Qt::NoFocus);

    m_leftAlign = addGlyphButton("LeftAlign", 629, 4, QStringLiteral("Align Left"), int(Glyph::AlignLeft));
    m_centerAlign = addGlyphButton("CenterAlign", 655, 4, QStringLiteral("Center"), int(Glyph::AlignCenter));
    m_rightAlign = addGlyphButton("RightAlign", 681, 4, QStringLiteral("Align Right"), int(Glyph::AlignRight));
    m_alignGroup = new QButtonGroup(this);
    m_alignGroup->setObjectName(QStringLiteral("AlignGroup"));
    m_alignGroup->setExclusive(true);
    // The tags are the paragraph alignment codes.
    const std::pair<QToolButton *, int> tags[] = {{m_leftAlign, 0}, {m_centerAlign, 2}, {m_rightAlign, 1}};
    for (const auto &[button, tag] : tags) {
        button->setCheckable(true);
        button->setProperty(alignTagProperty, tag);
        m_alignGroup->addButton(button, tag);
    }
    m_leftAlign->setChecked(true);

    m_bulletsButton = addGlyphButton("BulletsButton", 708, 4, QStringLiteral("Bullets"), int(Glyph::Bullets));
    m_bulletsButton->setCheckable(true);
}

QToolButton *SpeedBar::addGlyphButton(const char *name, int left, int top, const QString &hint, int glyph)
{
    auto *button = place(new QToolButton(this), name, left, top, buttonSize, buttonSize);
    button->setIcon(toolbarGlyph(Glyph(glyph)));
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    // The toolbar never takes the focus from the pane it formats.
    button->setFocusPolicy(Qt::NoFocus);
    setHint(button, hint);
    return button;
}

QList<QWidget *> SpeedBar::controls() const
{
    return {m_openButton, m_saveButton, m_printButton, m_speedButton2, m_printPreviewButton,
            m_speedButton3, m_undoButton, m_cutButton, m_copyButton, m_pasteButton,
            m_fontName, m_fontSize, m_upDown, m_boldButton, m_italicButton,
            m_underlineButton, m_colorButton, m_edit1, m_leftAlign, m_centerAlign,
            m_rightAlign, m_bulletsButton};
}

void SpeedBar::fillFontNames()
{
    QStringList names;
    for (const QString &family : QFontDatabase::families()) {
        const QString name = family.left(32);
        if (!names.contains(name))
            names.append(name);
    }
    names.sort(Qt::CaseInsensitive);
    const QString current = m_fontName->currentText();
    m_fontName->clear();
    m_fontName->addItems(names);
    m_fontName->setCurrentIndex(-1);
    m_fontName->setEditText(current);
}

int SpeedBar::alignmentTag(const QAbstractButton *button)
{
    const QVariant tag = button ? button->property(alignTagProperty) : QVariant();
    return tag.isValid() ? tag.toInt() : -1;
}
