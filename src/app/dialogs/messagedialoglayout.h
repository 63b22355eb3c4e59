#pragma once

// Sizes and places every part of the message dialog from the dialog's font
// metrics. Pure arithmetic: the window only applies the result.

#include <QFontMetrics>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

struct MessageLayoutInput
{
    QStringList lines;          // text lines, empty lines kept
    QString caption;            // caption bar text (empty: no caption bar)
    QStringList buttons;        // captions with their "&"
    int iconSize = 0;           // 32 when the kind shows an icon
    QSize pictureSize;          // empty when no picture is shown
    QRect workArea;             // the area the dialog is centred in
    bool workAreaIsScreen = true; // a too tall dialog is cut only then
    bool inputMode = false;     // an edit box between text and buttons
};

struct MessageLayout
{
    int lineHeight = 0;
    int textWidth = 0;
    int textHeight = 0;   // lines x line height
    int buttonWidth = 0;  // the same for every button
    int buttonHeight = 0;
    int buttonRowWidth = 0;
    QSize clientSize;
    QPoint position;      // top-left of the window on the screen
    QRect label;          // client coordinates from here on
    QRect icon;           // null when no icon
    QRect picture;        // null when no picture
    QRect edit;           // null unless in input mode
    QList<QRect> buttonRects;
};

// Gap between the parts and from the window's edges.
inline constexpr int messageMargin = 10;
// Narrowest text area in input mode, so that the edit box is usable even
// under a short prompt.
inline constexpr int messageInputMinWidth = 200;

MessageLayout layoutMessageDialog(const MessageLayoutInput &input, const QFontMetrics &metrics);
