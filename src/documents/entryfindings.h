#pragma once

// What a template check finds in the Information data itself.

#include "assembly/informationfile.h"
#include "documents/entryvalues.h"
#include "documents/templatefinding.h"

#include <vector>

namespace documents {

// The findings placed in the Information data, by line: too few lines or an
// odd number of them, entries no token uses (`usedByTemplate`, by entry
// number, with the entries `values` found used inside other values), empty
// values, duplicate headings (the same words in any case), and, for an RTF
// template (`rtf`), braces and backslashes in values with what the merge's
// escaping does to them.
std::vector<Finding> informationFindings(const assembly::InformationLines &information,
    EntryValues &values, const std::vector<bool> &usedByTemplate, bool rtf);

} // namespace documents
