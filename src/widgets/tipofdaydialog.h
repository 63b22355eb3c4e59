#pragma once

// The tip of the day: owns the settings of the tip window (its tips and where
// they come from, order, fonts, colours, placement) and shows it on demand
// with exec(), or once after start-up with scheduleAtStartup().
//
// The "show tips at startup" check box is kept in the settings under
// "Software/My Application/Tip of the Day/ShowAtStartup" (on until the user
// clears it), so clearing it stops the tip at the next start.

#include "widgets/tipsform.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QStringList>
#include <QTimer>

#include <memory>

class TipOfDayDialog : public QObject
{
    Q_OBJECT

public:
    enum class TipLocation { Embedded, Registry, IniFile };
    enum class TipShowPosition { ScreenCenter, FormCenter };
    using RandomIndex = TipsForm::RandomIndex;

    explicit TipOfDayDialog(QObject *parent = nullptr);

    // Shows the window modally over `parent` and returns the final state
    // of the check box, which is also kept in showAtStartup() and stored.
    bool exec(QWidget *parent = nullptr);
    // Reads the stored check box and, one second later (the `delay`), shows
    // the window when it is set. Call once the main window is shown.
    void scheduleAtStartup(QWidget *parent, int delayMs = 1000);
    bool isStartupPending() const { return m_startupTimer.isActive(); }

    // The window exactly as exec() shows it, for callers that run it
    // themselves; finish() then takes the check box's state.
    std::unique_ptr<TipsForm> createForm(QWidget *parent);
    void finish(const TipsForm &form);

    QString dlgCaption() const { return m_dlgCaption; }
    void setDlgCaption(const QString &caption) { m_dlgCaption = caption; }
    QString tipTitle() const { return m_tipTitle; }
    void setTipTitle(const QString &title) { m_tipTitle = title; }
    // The tips given in code; replaced by the ones read when the location is
    // the settings or an INI file.
    QStringList tips() const { return m_tips; }
    void setTips(const QStringList &tips) { m_tips = tips; }
    QFont tipTitleFont() const { return m_tipTitleFont; }
    void setTipTitleFont(const QFont &font) { m_tipTitleFont = font; }
    QColor tipTitleColor() const { return m_tipTitleColor; }
    void setTipTitleColor(const QColor &color) { m_tipTitleColor = color; }
    QFont tipFont() const { return m_tipFont; }
    void setTipFont(const QFont &font) { m_tipFont = font; }

    TipLocation tipsLocation() const { return m_tipsLocation; }
    void setTipsLocation(TipLocation location) { m_tipsLocation = location; }
    // The settings group whose text values are the tips.
    QString registryKey() const { return m_registryKey; }
    void setRegistryKey(const QString &key) { m_registryKey = key; }
    QSettings::Scope registryScope() const { return m_registryScope; }
    void setRegistryScope(QSettings::Scope scope) { m_registryScope = scope; }
    QString iniFile() const { return m_iniFile; }
    void setIniFile(const QString &path) { m_iniFile = path; }
    QString iniSection() const { return m_iniSection; }
    void setIniSection(const QString &section) { m_iniSection = section; }
    // A store to use instead of the application's settings, for the tips
    // and the check box (not owned; null goes back to the application's).
    void setSettings(QSettings *settings) { m_settings = settings; }

    QColor panelColor() const { return m_panelColor; }
    void setPanelColor(const QColor &color) { m_panelColor = color; }
    QString crlfSubstitute() const { return m_crlfSubstitute; }
    void setCrlfSubstitute(const QString &text) { m_crlfSubstitute = text; }
    bool randomTips() const { return m_randomTips; }
    void setRandomTips(bool on) { m_randomTips = on; }
    bool showAtStartup() const { return m_showAtStartup; }
    void setShowAtStartup(bool on) { m_showAtStartup = on; }
    TipShowPosition position() const { return m_position; }
    void setPosition(TipShowPosition position) { m_position = position; }
    // Where random tips come from; by default the system's generator.
    void setRandomIndex(RandomIndex randomIndex) { m_randomIndex = std::move(randomIndex); }

    // The stored check box (on when nothing is stored).
    bool storedShowAtStartup();

private:
    template<typename Work>
    auto withSettings(Work work);
    void loadTips();
    void place(TipsForm &form, QWidget *parent) const;

    QString m_dlgCaption;
    QString m_tipTitle;
    QStringList m_tips;
    QFont m_tipTitleFont;
    QColor m_tipTitleColor;
    QFont m_tipFont;
    TipLocation m_tipsLocation = TipLocation::Embedded;
    QString m_registryKey;
    QSettings::Scope m_registryScope = QSettings::UserScope;
    QString m_iniFile;
    QString m_iniSection;
    QPointer<QSettings> m_settings;
    QColor m_panelColor;
    QString m_crlfSubstitute;
    bool m_randomTips = false;
    bool m_showAtStartup = true;
    TipShowPosition m_position = TipShowPosition::ScreenCenter;
    RandomIndex m_randomIndex;

    QTimer m_startupTimer;
    QPointer<QWidget> m_startupParent;
};
