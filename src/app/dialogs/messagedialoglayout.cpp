#include "app/dialogs/messagedialoglayout.h"

#include "app/dialogs/messagetext.h"

#include <algorithm>

namespace {

// Tall enough for any wrapped message; the measurement never reaches it.
constexpr int unboundedHeight = 1 << 24;

} // namespace

MessageLayout layoutMessageDialog(const MessageLayoutInput &input, const QFontMetrics &metrics)
{
    MessageLayout layout;
    const QRect &area = input.workArea;
    const bool hasIcon = input.iconSize > 0;
    const bool hasPicture = !input.pictureSize.isEmpty();
    const int pictureWidth = hasPicture ? input.pictureSize.width() : 0;
    const int pictureHeight = hasPicture ? input.pictureSize.height() : 0;

    layout.lineHeight = metrics.height();

    // Text width: the widest line with two spaces of air on each side,
    // capped so that the text and its margins fit the work area.
    int widest = 0;
    for (const QString &line : input.lines)
        widest = std::max(widest, metrics.horizontalAdvance(QStringLiteral("  ") + line + QStringLiteral("  ")));
    if (input.inputMode)
        widest = std::max(widest, messageInputMinWidth);
    int margins = messageMargin;
    if (hasIcon)
        margins += input.iconSize + messageMargin;
    if (hasPicture)
        margins += messageMargin + pictureWidth;
    margins += messageMargin;
    margins = std::min(margins, area.width());
    layout.textWidth = std::max(0, std::min(widest, area.width() - margins));
    layout.textHeight = int(input.lines.size()) * layout.lineHeight;

    // Every button is as wide as the widest caption needs.
    for (const QString &caption : input.buttons) {
        const QString measured = QStringLiteral("W") + captionWithoutAmpersands(caption) + QStringLiteral(" W");
        layout.buttonWidth = std::max(layout.buttonWidth, metrics.horizontalAdvance(measured));
    }
    layout.buttonHeight = layout.lineHeight + messageMargin;
    const int buttonCount = int(input.buttons.size());
    layout.buttonRowWidth = buttonCount > 0 ? (layout.buttonWidth + messageMargin) * buttonCount - messageMargin : 0;

    // The label wraps at the text width. A line wider than the work area
    // wraps onto more lines than the text has, so the window makes room for
    // the wrapped height; otherwise the buttons would cover the text.
    const QString labelText = input.lines.join(u'\n');
    const int labelHeight = metrics
                                .boundingRect(QRect(0, 0, std::max(1, layout.textWidth), unboundedHeight),
                                              Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, labelText)
                                .height();
    const int contentHeight = std::max({layout.textHeight, labelHeight, input.iconSize, pictureHeight});

    int width = (hasIcon ? input.iconSize + messageMargin : 0) + layout.textWidth
        + (hasPicture ? messageMargin + pictureWidth : 0);
    width = std::max(width, metrics.horizontalAdvance(input.caption));
    width = std::max(width, layout.buttonRowWidth) + 2 * messageMargin;
    width = std::min(width, area.width());

    const int editHeight = layout.lineHeight + messageMargin;
    int height = messageMargin + contentHeight + messageMargin + layout.buttonHeight + messageMargin;
    if (input.inputMode)
        height += editHeight + messageMargin;
    if (input.workAreaIsScreen)
        height = std::min(height, area.height());
    layout.clientSize = QSize(width, height);

    layout.position = QPoint((area.width() - width) / 2 + area.left(), (area.height() - height) / 2 + area.top());

    const int labelLeft = std::max((width - layout.textWidth) / 2, input.iconSize + 2 * messageMargin);
    layout.label = QRect(labelLeft, messageMargin, layout.textWidth, labelHeight);
    if (hasIcon)
        layout.icon = QRect(messageMargin, layout.label.top(), input.iconSize, input.iconSize);
    if (hasPicture)
        layout.picture = QRect(width - messageMargin - pictureWidth, layout.label.top(), pictureWidth, pictureHeight);
    if (input.inputMode)
        layout.edit = QRect(labelLeft, messageMargin + contentHeight + messageMargin, layout.textWidth, editHeight);

    const int rowLeft = (width - layout.buttonRowWidth) / 2;
    const int buttonTop = height - messageMargin - layout.buttonHeight;
    for (int i = 0; i < buttonCount; ++i) {
        layout.buttonRects << QRect(rowLeft + i * (layout.buttonWidth + messageMargin), buttonTop,
                                    layout.buttonWidth, layout.buttonHeight);
    }
    return layout;
}
