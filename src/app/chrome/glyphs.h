#pragma once

// Glyphs of the toolbar buttons: the desktop icon theme's icon when the
// theme has one, else a small picture drawn here, so the toolbar looks
// right on a bare X server too.

#include <QIcon>
#include <QString>

enum class Glyph {
    Open,
    Save,
    Print,
    PageSetup,
    Undo,
    Cut,
    Copy,
    Paste,
    Bold,
    Italic,
    Underline,
    AlignLeft,
    AlignCenter,
    AlignRight,
    Bullets,
};

// The freedesktop icon name of a glyph ("document-open" ...).
QString glyphThemeName(Glyph glyph);

QIcon toolbarGlyph(Glyph glyph);

// The drawn picture alone, whatever the theme holds.
QIcon drawnGlyph(Glyph glyph);
