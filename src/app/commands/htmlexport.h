#pragma once

// Save As a web page: the pane's document is written as RTF to a scratch
// file "$$$" in a private temporary folder and converted from there to
// HTML with every converter option off.

class QString;
class RichEditor;

// Throws CommandError with the converter's reason when the page cannot be
// made; the pane is not touched either way, and the scratch folder goes.
void exportPaneAsHtml(RichEditor &pane, const QString &path);
