#include "app/dialogs/messagedialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <qdrawutil.h>

namespace {

constexpr int iconSize = 32;

MessageDialog::AnswerHook &answerHook()
{
    static MessageDialog::AnswerHook hook;
    return hook;
}

MessageDialog::SoundPlayer &soundPlayer()
{
    static MessageDialog::SoundPlayer player;
    return player;
}

QRect screenRect()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->geometry();
    return QRect(0, 0, 1024, 768);
}

// Keeps the arrow cursor over the whole application while a dialog waits,
// whatever busy cursor a long command had set, and puts that one back.
class ArrowCursorGuard
{
public:
    ArrowCursorGuard() { QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor)); }
    ~ArrowCursorGuard() { QGuiApplication::restoreOverrideCursor(); }
    ArrowCursorGuard(const ArrowCursorGuard &) = delete;
    ArrowCursorGuard &operator=(const ArrowCursorGuard &) = delete;
};

} // namespace

DialogSettings &dialogSettings()
{
    static DialogSettings settings;
    return settings;
}

void MessageDialog::setAnswerHook(AnswerHook hook)
{
    answerHook() = std::move(hook);
}

void MessageDialog::setSoundPlayer(SoundPlayer player)
{
    soundPlayer() = std::move(player);
}

QFont MessageDialog::messageFont(const DialogSettings &settings)
{
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPixelSize(11);
    if (settings.fontOverride) {
        // Only what the override sets explicitly replaces the dialog font's,
        // so an override of the size alone keeps the family and the bold.
        const QFont &over = *settings.fontOverride;
        const uint set = over.resolveMask();
        if ((set & (QFont::FamilyResolved | QFont::FamiliesResolved)) && !over.family().isEmpty())
            font.setFamily(over.family());
        if (set & QFont::SizeResolved) {
            if (over.pixelSize() > 0)
                font.setPixelSize(over.pixelSize());
            else if (over.pointSizeF() > 0)
                font.setPointSizeF(over.pointSizeF());
        }
        if (set & QFont::WeightResolved)
            font.setWeight(over.weight());
        if (set & QFont::StyleResolved)
            font.setItalic(over.italic());
        if (set & QFont::UnderlineResolved)
            font.setUnderline(over.underline());
        if (set & QFont::StrikeOutResolved)
            font.setStrikeOut(over.strikeOut());
    }
    return font;
}

MessageDialog::MessageDialog(const MessageRequest &request, const DialogSettings &settings)
    : QDialog(nullptr)
    , m_settings(settings)
    , m_kind(messageKindFromString(request.kind))
    , m_caption(messageCaption(request.title, settings.defaultCaption))
{
    setObjectName(QStringLiteral("DialogForm"));
    setWindowModality(Qt::ApplicationModal);
    // A dialog frame without minimise or maximise; an empty caption means no
    // caption bar at all, and the dialog then draws its own raised edge.
    if (hasCaptionBar())
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                       | Qt::WindowCloseButtonHint);
    else
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(m_caption);

    const QFont font = messageFont(settings);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, settings.dialogColor);
    pal.setColor(QPalette::WindowText, settings.textColor);
    setPalette(pal);
    setAutoFillBackground(true);

    const QStringList lines = parseMessageText(request.text);
    m_buttons = request.inputMode ? QStringList{QStringLiteral("&OK"), QStringLiteral("&Cancel")}
                                  : parseButtonCaptions(request.buttons);

    const QPixmap icon = iconPixmap();
    QPixmap picture;
    if (!settings.pictureFile.isEmpty() && QFileInfo::exists(settings.pictureFile))
        picture.load(settings.pictureFile); // a file that does not load is skipped like a missing one

    const QRect screen = screenRect();
    MessageLayoutInput input;
    input.lines = lines;
    input.caption = m_caption;
    input.buttons = m_buttons;
    input.iconSize = icon.isNull() ? 0 : iconSize;
    input.pictureSize = picture.isNull() ? QSize() : picture.size();
    input.workArea = settings.workArea.isValid() ? settings.workArea : screen;
    input.workAreaIsScreen = input.workArea == screen;
    input.inputMode = request.inputMode;
    m_layout = layoutMessageDialog(input, QFontMetrics(font));

    buildChildren(lines, icon, picture);
    if (m_edit)
        m_edit->setText(request.inputText);

    setFixedSize(m_layout.clientSize);
    move(m_layout.position);
}

QPixmap MessageDialog::iconPixmap() const
{
    QStyle::StandardPixmap which;
    switch (m_kind) {
    case MessageKind::Exclamation:
        which = QStyle::SP_MessageBoxWarning;
        break;
    case MessageKind::Question:
        which = QStyle::SP_MessageBoxQuestion;
        break;
    case MessageKind::Information:
        which = QStyle::SP_MessageBoxInformation;
        break;
    case MessageKind::Stop:
        which = QStyle::SP_MessageBoxCritical;
        break;
    case MessageKind::Application: {
        const QIcon appIcon = QApplication::windowIcon();
        if (!appIcon.isNull())
            return appIcon.pixmap(iconSize, iconSize);
        which = QStyle::SP_DesktopIcon;
        break;
    }
    case MessageKind::None:
    default:
        return QPixmap();
    }
    return style()->standardIcon(which, nullptr, this).pixmap(iconSize, iconSize);
}

void MessageDialog::buildChildren(const QStringList &lines, const QPixmap &icon, const QPixmap &picture)
{
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("Message"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    // Each line centred within the text area, which the measurement pads
    // with two spaces on either side.
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setText(lines.join(u'\n'));
    label->setGeometry(m_layout.label);

    if (!m_layout.icon.isNull()) {
        auto *image = new QLabel(this);
        image->setObjectName(QStringLiteral("Icon"));
        image->setPixmap(icon);
        image->setGeometry(m_layout.icon);
    }
    if (!m_layout.picture.isNull()) {
        auto *image = new QLabel(this);
        image->setObjectName(QStringLiteral("Picture"));
        image->setPixmap(picture);
        image->setGeometry(m_layout.picture);
    }
    if (!m_layout.edit.isNull()) {
        m_edit = new QLineEdit(this);
        m_edit->setObjectName(QStringLiteral("Edit"));
        m_edit->setGeometry(m_layout.edit);
    }

    for (int i = 0; i < m_buttons.size(); ++i) {
        auto *button = new QPushButton(m_buttons.at(i), this);
        const int number = i + 1;
        button->setObjectName(QStringLiteral("button%1").arg(number));
        QPalette pal = button->palette();
        pal.setColor(QPalette::ButtonText, m_settings.buttonTextColor);
        button->setPalette(pal);
        button->setGeometry(m_layout.buttonRects.at(i));
        if (number == 1)
            button->setDefault(true); // Enter, also in the edit box, presses the first button
        connect(button, &QPushButton::clicked, this, [this, number] { done(number); });
    }
    if (m_edit)
        m_edit->setFocus();
    else if (auto *first = findChild<QPushButton *>(QStringLiteral("button1")))
        first->setFocus();
}

QString MessageDialog::inputText() const
{
    return m_edit ? m_edit->text() : QString();
}

QChar MessageDialog::letterForResult(int result) const
{
    if (m_buttons.isEmpty())
        return QChar();
    const int index = result >= 1 && result <= m_buttons.size() ? result - 1 : int(m_buttons.size()) - 1;
    return acceleratorLetter(m_buttons.at(index));
}

QChar MessageDialog::run()
{
    ArrowCursorGuard cursor;
    if (m_settings.sound) {
        if (soundPlayer())
            soundPlayer()(sound());
        else
            QApplication::beep();
    }
    if (answerHook()) {
        setResult(0);
        show();
        answerHook()(*this);
        if (isVisible()) {
            setResult(0);
            hide();
        }
    } else {
        exec();
    }
    return letterForResult(result());
}

void MessageDialog::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    if (!hasCaptionBar()) {
        QPainter painter(this);
        qDrawWinPanel(&painter, rect(), palette(), false);
    }
}

QChar showMessageDialog(const QString &title, const QString &kind, const QString &text, const QString &buttons)
{
    MessageRequest request;
    request.title = title;
    request.kind = kind;
    request.text = text;
    request.buttons = buttons;
    MessageDialog dialog(request);
    return dialog.run();
}

QChar showMessageInputDialog(const QString &title, const QString &kind, const QString &text, QString &value)
{
    MessageRequest request;
    request.title = title;
    request.kind = kind;
    request.text = text;
    request.inputMode = true;
    request.inputText = value;
    MessageDialog dialog(request);
    const QChar answer = dialog.run();
    if (answer == u'O')
        value = dialog.inputText();
    return answer;
}
