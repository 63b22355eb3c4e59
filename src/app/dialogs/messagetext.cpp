#include "app/dialogs/messagetext.h"

MessageKind messageKindFromString(const QString &kind)
{
    if (kind.isEmpty())
        return MessageKind::None;
    switch (kind.at(0).toUpper().unicode()) {
    case '!':
        return MessageKind::Exclamation;
    case '?':
        return MessageKind::Question;
    case 'I':
        return MessageKind::Information;
    case 'H':
        return MessageKind::Stop;
    case 'A':
        return MessageKind::Application;
    default:
        return MessageKind::None;
    }
}

MessageSound messageSoundFor(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Exclamation:
        return MessageSound::Exclamation;
    case MessageKind::Question:
        return MessageSound::Question;
    case MessageKind::Information:
        return MessageSound::Information;
    case MessageKind::Stop:
        return MessageSound::Stop;
    case MessageKind::Application:
    case MessageKind::None:
        break;
    }
    return MessageSound::Default;
}

QString messageCaption(const QString &title, const QString &defaultCaption)
{
    qsizetype first = 0;
    while (first < title.size() && title.at(first) == u' ')
        ++first;
    const QString caption = title.mid(first);
    return caption.isEmpty() ? defaultCaption : caption;
}

QStringList parseMessageText(const QString &text)
{
    // One pass from the left, taking two-character breaks first, so that
    // "\r\n\r\n" is two breaks and not CR, LF CR, LF.
    QString joined;
    joined.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            const QChar pair = c == u'\r' ? u'\n' : u'\r';
            if (i + 1 < text.size() && text.at(i + 1) == pair)
                ++i;
            joined += u';';
        } else {
            joined += c;
        }
    }

    static const QString centerWord = QStringLiteral(" CENTERTEXT");
    const qsizetype at = joined.indexOf(centerWord, 0, Qt::CaseInsensitive);
    if (at >= 0)
        joined.remove(at, centerWord.size());
    return joined.split(u';');
}

QStringList parseButtonCaptions(const QString &buttons)
{
    QStringList captions = buttons.split(u' ', Qt::SkipEmptyParts);
    if (captions.isEmpty())
        captions << QStringLiteral("&OK");
    return captions;
}

QChar acceleratorLetter(const QString &caption)
{
    const qsizetype amp = caption.indexOf(u'&');
    if (amp >= 0 && amp + 1 < caption.size())
        return caption.at(amp + 1).toUpper();
    // A caption without "&" (or ending in one) answers with its first
    // character, which is never the "&" itself unless nothing else is there.
    const QString plain = captionWithoutAmpersands(caption);
    if (!plain.isEmpty())
        return plain.at(0).toUpper();
    return caption.isEmpty() ? QChar() : caption.at(0);
}

QString captionWithoutAmpersands(const QString &caption)
{
    QString plain = caption;
    plain.remove(u'&');
    return plain;
}
