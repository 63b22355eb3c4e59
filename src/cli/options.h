#pragma once

#include "documents/documentexport.h"
#include "documents/documentreader.h"

namespace cli {

// The window's defaults: a document pane reads and writes in the locale's
// language and code page, so the command line does as well and gives the
// window's bytes.
documents::ReadOptions localeReadOptions();
documents::ExportOptions localeExportOptions();

} // namespace cli
