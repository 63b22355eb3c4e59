#include "widgets/aboutbox.h"

#include "widgets/buildinfo.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {

QLabel *label(const QString &text, const char *name, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    return l;
}

QIcon programIcon(const QStyle *style)
{
    if (!qApp->windowIcon().isNull())
        return qApp->windowIcon();
    return QIcon::fromTheme(QStringLiteral("io.github.quorin.Quorin"),
                            style->standardIcon(QStyle::SP_FileDialogDetailedView));
}

} // namespace

AboutBox::AboutBox(QWidget *parent)
    : AboutBox(currentMemoryStatus(), parent)
{
}

AboutBox::AboutBox(const MemoryStatus &status, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About QRN"));

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setFixedSize(64, 64);
    icon->setPixmap(programIcon(style()).pixmap(64, 64));

    QLabel *name = label(QStringLiteral("Quorin"), "Label5", this);
    QFont nameFont(QStringLiteral("Times New Roman"));
    nameFont.setStyleHint(QFont::Serif);
    nameFont.setPixelSize(32);
    nameFont.setBold(true);
    name->setFont(nameFont);
    QPalette red = name->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    name->setPalette(red);

    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    auto *physMem = label(physicalMemoryText(status.totalBytes, QLocale()), "PhysMem", this);
    auto *freeRes = label(memoryLoadText(status.loadPercent), "FreeRes", this);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(name, 0, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Document assembly and rich-text editing"), "Label1", this), 1, 1, 1, 2);
    grid->addWidget(label(versionText(), "Label9", this), 2, 1, 1, 2);
    grid->addWidget(bevel, 3, 0, 1, 3);
    grid->addWidget(label(QStringLiteral("With thanks to the Qt and GNU communities for their tools"), "Label2", this), 4, 0, 1, 3);
    grid->addWidget(label(QStringLiteral("Built on Qt, zlib and the GNU C Library's iconv"), "Label6", this), 5, 0, 1, 3);
    grid->addWidget(label(QStringLiteral("Set in the desktop's Liberation and DejaVu fonts"), "Label7", this), 6, 0, 1, 3);
    grid->addWidget(label(QStringLiteral("Help, Credits thanks them all"), "Label8", this), 7, 0, 1, 3);
    grid->setRowMinimumHeight(8, 8);
    grid->addWidget(label(QStringLiteral("Physical Memory Available to Windows:"), "Label3", this), 9, 0, 1, 2);
    grid->addWidget(physMem, 9, 2, Qt::AlignRight);
    grid->addWidget(label(QStringLiteral("Memory in Use:"), "Label4", this), 10, 0, 1, 2);
    grid->addWidget(freeRes, 10, 2, Qt::AlignRight);
    grid->setRowMinimumHeight(11, 10);
    grid->setRowStretch(11, 1);
    grid->addWidget(ok, 12, 0, 1, 3, Qt::AlignHCenter);
    grid->setColumnStretch(1, 1);
    // At least the size it has always had; larger where the desktop's
    // fonts need it, never resizable.
    setMinimumSize(357, 243);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();

    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QString AboutBox::versionText()
{
    return QStringLiteral("Version " QUORIN_VERSION ", built " QUORIN_BUILD_DATE);
}
