#include "widgets/tipofdaydialog.h"

#include "widgets/tipsources.h"

#include <QApplication>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QScreen>

namespace {

const QString showAtStartupKey = QStringLiteral("Software/My Application/Tip of the Day/ShowAtStartup");

} // namespace

TipOfDayDialog::TipOfDayDialog(QObject *parent)
    : QObject(parent)
    , m_tipTitleColor(QApplication::palette().color(QPalette::ToolTipText))
    , m_panelColor(QApplication::palette().color(QPalette::ToolTipBase))
    , m_randomIndex([](int bound) { return int(QRandomGenerator::global()->bounded(bound)); })
{
    m_startupTimer.setSingleShot(true);
    connect(&m_startupTimer, &QTimer::timeout, this, [this] {
        if (m_showAtStartup)
            exec(m_startupParent);
    });
}

template<typename Work>
auto TipOfDayDialog::withSettings(Work work)
{
    if (m_settings)
        return work(*m_settings);
    QSettings settings(QSettings::IniFormat, m_registryScope, QCoreApplication::organizationName(),
                       QCoreApplication::applicationName());
    return work(settings);
}

bool TipOfDayDialog::exec(QWidget *parent)
{
    const std::unique_ptr<TipsForm> form = createForm(parent);
    form->exec();
    finish(*form);
    return m_showAtStartup;
}

void TipOfDayDialog::scheduleAtStartup(QWidget *parent, int delayMs)
{
    m_showAtStartup = storedShowAtStartup();
    m_startupParent = parent;
    m_startupTimer.start(delayMs);
}

std::unique_ptr<TipsForm> TipOfDayDialog::createForm(QWidget *parent)
{
    auto form = std::make_unique<TipsForm>(parent);
    form->setWindowTitle(m_dlgCaption.isEmpty() ? QStringLiteral("Tip of the day") : m_dlgCaption);
    form->setPanelColor(m_panelColor);
    loadTips();
    form->setTipTitle(m_tipTitle.isEmpty() ? QStringLiteral("Did you know...") : m_tipTitle,
                      m_tipTitleFont, m_tipTitleColor);
    form->setTipFont(m_tipFont);
    form->setShowAtStartup(m_showAtStartup);
    form->start(m_tips, m_crlfSubstitute, m_randomTips, m_randomIndex);
    place(*form, parent);
    return form;
}

void TipOfDayDialog::finish(const TipsForm &form)
{
    m_showAtStartup = form.showAtStartup();
    withSettings([this](QSettings &settings) { settings.setValue(showAtStartupKey, m_showAtStartup); });
}

bool TipOfDayDialog::storedShowAtStartup()
{
    return withSettings([](QSettings &settings) {
        const QVariant stored = settings.value(showAtStartupKey, true);
        // Anything but a clear "false" keeps the tips coming.
        return stored.toString().compare(QStringLiteral("false"), Qt::CaseInsensitive) != 0;
    });
}

void TipOfDayDialog::loadTips()
{
    switch (m_tipsLocation) {
    case TipLocation::Embedded:
        break;
    case TipLocation::Registry: {
        // Keys written the registry's way ("\Software\Tips") name the same group.
        QString group = m_registryKey;
        group.replace(u'\\', u'/');
        m_tips = group.isEmpty() ? QStringList() : withSettings([&group](QSettings &settings) {
            return tips::readFromSettings(settings, group);
        });
        break;
    }
    case TipLocation::IniFile:
        m_tips = tips::readFromIniSection(m_iniFile, m_iniSection);
        break;
    }
}

void TipOfDayDialog::place(TipsForm &form, QWidget *parent) const
{
    form.adjustSize();
    const QWidget *main = parent ? parent->window() : nullptr;
    if (m_position == TipShowPosition::FormCenter && main && main->isVisible()) {
        const QRect frame = main->frameGeometry();
        form.move(frame.left() + frame.width() / 2 - form.width() / 2,
                  frame.top() + frame.height() / 2 - form.height() / 2);
        return;
    }
    const QScreen *screen = main ? main->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect area = screen->availableGeometry();
        form.move(area.center() - QPoint(form.width() / 2, form.height() / 2));
    }
}
