#pragma once

// Before an overwrite ("exact placement") merge: the values longer than the
// room their tokens leave on the form, which would overwrite the form's own
// words or push the rest of the line along.

#include "assembly/informationfile.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The yes/no question to put before merging `templateBytes` (the Template
// file as the merge reads it) with `information` in overwrite mode: what
// each value too long would overwrite, then whether to merge all the same.
// Nothing when every value fits.
std::optional<QString> overflowQuestion(
    const QByteArray &templateBytes, const assembly::InformationLines &information);
