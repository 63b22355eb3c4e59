#pragma once

// Writing a pane to a file so that a failed save never costs the user the
// file they had: the document goes to a temporary file beside the target,
// which replaces the target only once it is complete.

#include <functional>

class QString;
class RichEditor;

enum class PaneFileFormat {
    Rtf, // the whole document with its formatting
    PlainText, // UTF-8, one line per paragraph
};

// Writes the pane's whole document to `path`. Throws CommandError when the
// file cannot be created, written or put in place; the old file, if any, is
// then untouched and no temporary file is left behind.
void writePaneFile(RichEditor &pane, const QString &path, PaneFileFormat format);

// For tests: runs after the temporary file is written and before it
// replaces the target, with the target's path. A hook that throws stands
// for a failure at that moment (a full disk, a crash). Pass nullptr to
// remove it.
void setPaneFileReplaceHook(std::function<void(const QString &path)> hook);
