#include "formatcommands.h"

#include "mainform.h"
#include "paraattributes.h"
#include "richeditor.h"
#include "ruler.h"
#include "speedbar.h"
#include "textattributes.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTextDocument>
#include <QToolButton>

#include <cmath>

namespace {

void moveLeft(QWidget *marker, int left)
{
    marker->move(left, marker->y());
}

int truncated(double value)
{
    return int(std::trunc(value));
}

} // namespace

FormatCommands::FormatCommands(MainForm &form)
    : QObject(&form)
    , m_form(form)
{
    // Text changes, not caret moves, refresh the toolbar.
    connect(m_form.richEditEx1(), &QTextEdit::textChanged, this,
            [this] { m_form.runCommand([this] { selectionChange(); }); });
    // The layout sizes the ruler after the window's own resize; the right
    // indent marker is placed from the ruler's width.
    connect(m_form.ruler(), &Ruler::resized, this,
            [this] { m_form.runCommand([this] { selectionChange(); }); });
}

void FormatCommands::selectionChange()
{
    m_updating = true;
    const auto done = qScopeGuard([this] { m_updating = false; });

    RichEditor *editor = m_form.richEditEx1();
    ParaAttributes &paragraph = editor->paragraph();
    const double first = paragraph.firstIndent();
    const double left = paragraph.leftIndent();
    const double right = paragraph.rightIndent();

    Ruler *ruler = m_form.ruler();
    moveLeft(ruler->firstInd(), truncated(first * rulerFactor) - markerOffset + gutter);
    moveLeft(ruler->leftInd(), truncated((left + first) * rulerFactor) - markerOffset + gutter);
    moveLeft(ruler->rightInd(), ruler->width() - gutter - truncated((right + gutter) * rulerFactor));

    SpeedBar *bar = m_form.speedBar();
    TextAttributes &attributes = editor->selAttributes();
    const FontStyles style = attributes.style();
    bar->boldButton()->setChecked(style.testFlag(FontStyle::Bold));
    bar->italicButton()->setChecked(style.testFlag(FontStyle::Italic));
    bar->underlineButton()->setChecked(style.testFlag(FontStyle::Underline));
    bar->bulletsButton()->setChecked(paragraph.numbering() != 0);
    bar->fontSize()->setText(QString::number(attributes.size()));

    // The name's list entry is selected too, so that the list's index and
    // its text never disagree.
    const QString name = attributes.name();
    QComboBox *fontName = bar->fontName();
    fontName->setCurrentIndex(fontName->findText(name, Qt::MatchFixedString));
    fontName->setEditText(name);

    switch (paragraph.alignment()) {
    case ParaAlignment::Left:
        bar->leftAlign()->setChecked(true);
        break;
    case ParaAlignment::Right:
        bar->rightAlign()->setChecked(true);
        break;
    case ParaAlignment::Center:
        bar->centerAlign()->setChecked(true);
        break;
    case ParaAlignment::Justify:
        break;
    }
}

void FormatCommands::setEditRect()
{
    QTextDocument *document = m_form.richEditEx1()->document();
    if (document->documentMargin() != gutter)
        document->setDocumentMargin(gutter);
}

void FormatCommands::formResize()
{
    setEditRect();
    selectionChange();
}
