#pragma once

// Checking a template against Information data before merging: everything
// the merge would do wrong, or do in a way its user may not expect, found
// by the merge's own rules without merging.

#include "assembly/informationfile.h"
#include "documents/templatefinding.h"

#include <QByteArray>

#include <vector>

namespace documents {

struct CheckOptions {
    bool overwrite = false; // check for an overwrite ("exact placement") merge
};

// The findings for a Template file's bytes (as read from disk) and the
// Information lines a merge would take, in the order of their places:
// the template's first, by offset, then the Information data's, by line.
// The template is read as mergeTemplate reads it and its tokens are found
// with the merge engine's own functions, so what is reported is what a
// merge would meet. The work is about linear in the template's size plus
// the Information data's; any bytes give an answer.
std::vector<Finding> checkTemplate(const QByteArray &templateBytes,
    const assembly::InformationLines &information, const CheckOptions &options = {});

} // namespace documents
