#include "widgets/creditsform.h"

#include "widgets/vertscrolltext.h"

#include <QPushButton>

CreditsForm::CreditsForm(QWidget *parent)
    : QDialog(parent)
    , m_text(new VertScrollText(this))
{
    setObjectName(QStringLiteral("CreditsForm"));
    setWindowTitle(QStringLiteral("Quorin Credits"));
    setFixedSize(457, 335);

    m_text->setObjectName(QStringLiteral("VertScrollText1"));
    m_text->setGeometry(40, 8, 368, 265);
    m_text->setInterval(50);
    m_text->setRepeatScroll(true);
    m_text->setAlignment(Qt::AlignHCenter);
    m_text->setStretch(true);
    // Arial is a Windows face; the desktop's sans-serif face (the
    // metric-compatible Liberation Sans where installed) stands in.
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    font.setBold(true);
    m_text->setFont(font);
    m_text->setLines(creditLines());

    auto *ok = new QPushButton(QStringLiteral("Ok That's enough"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    const int buttonWidth = std::max(ok->sizeHint().width(), 140);
    ok->setGeometry((width() - buttonWidth) / 2, 288, buttonWidth, std::max(ok->sizeHint().height(), 28));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QStringList CreditsForm::creditLines()
{
    return {
        QStringLiteral("Quorin stands on the work of many people."),
        QStringLiteral("Thank you to the free software it is built on:"),
        QString(),
        QStringLiteral("The Qt Project"),
        QStringLiteral("Windows, menus, text layout and printing"),
        QString(),
        QStringLiteral("zlib"),
        QStringLiteral("Compression of the print preview pages"),
        QString(),
        QStringLiteral("The GNU C Library"),
        QStringLiteral("iconv: the Windows code pages of RTF files"),
        QString(),
        QStringLiteral("The fonts of the desktop, such as Liberation and DejaVu"),
        QStringLiteral("The faces that stand in for Times New Roman and Arial"),
        QString(),
        QStringLiteral(" "),
    };
}
