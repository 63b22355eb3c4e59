#pragma once

#include <QFlags>

// Small value types shared by the editor control and its attribute objects.

// Format in which streams and files are read.
enum class InputFormat {
    Text,    // 8-bit or UTF-8 plain text
    RTF,     // RTF; anything that is not RTF is read as plain text
    Unicode, // UTF-16 little-endian plain text
};

// Format in which streams and files are written.
enum class OutputFormat {
    Text,      // plain text, UTF-8, one "\n" per paragraph end; objects left out
    RTF,       // RTF with pictures and objects
    RTFNoObjs, // RTF without pictures and objects
    Textized,  // plain text with each object named by its file name
    Unicode,   // UTF-16 little-endian plain text
};

// Characters [from, to) of a document, positions counted as the editor
// counts them.
struct TextRange
{
    int from = 0;
    int to = 0;
};

// Language options of the control. They are kept for callers that read them
// back; the text engine picks fonts and input methods by itself.
enum class LangOption {
    AutoKeyboard = 0x1,
    AutoFont = 0x2,
    IMECancelComplete = 0x4,
    IMEAlwaysSendNotify = 0x8,
};
Q_DECLARE_FLAGS(LangOptions, LangOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(LangOptions)

enum class FindOption {
    Backward = 0x1,
    WholeWord = 0x2,
    MatchCase = 0x4,
};
Q_DECLARE_FLAGS(FindOptions, FindOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(FindOptions)

enum class FontStyle {
    Bold = 0x1,
    Italic = 0x2,
    Underline = 0x4,
    StrikeOut = 0x8,
};
Q_DECLARE_FLAGS(FontStyles, FontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(FontStyles)

enum class FontPitch { Default, Variable, Fixed };

// How addresses in the text become links.
enum class AutoUrlDetect {
    None,     // no detection
    Default,  // the engine's own detection
    Extended, // the editor's scanner over the configured link types
};

// Paragraph alignment as the toolbar and the RTF writer number it.
enum class ParaAlignment { Left = 0, Right = 1, Center = 2, Justify = 3 };
