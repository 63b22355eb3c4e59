#pragma once

// quorin-batch's conversion of one file into another.

#include "documents/documentexport.h"
#include "documents/documentreader.h"

#include <QString>

namespace documents {

struct ConvertRequest {
    QString inputPath;
    QString outputPath; // its extension chooses the format (the command line's policy)
    // Html only: the converter runs on the input's bytes as they are,
    // without reading them into a document first; the page is titled by
    // the input's path as given.
    bool direct = false;
    ReadOptions read;
    ExportOptions exportOptions;
};

// Reads the input into a document and writes it in the output's format,
// the same bytes as the window's Save As of that document. Refused before
// anything is written: an output name of no format the command line writes,
// --direct to anything but HTML, and an output that is the input (also
// through a link or another spelling). Throws DocumentError naming the file
// concerned; a failed conversion writes nothing.
void runConvertJob(const ConvertRequest &request);

} // namespace documents
