#pragma once

// What the page setup options mean, and how margins come back from the
// Page Setup window, which holds them rounded as its spin boxes do
// (hundredths of a millimetre, thousandths of an inch).

#include "print/pagegeometry.h"
#include "print/printtypes.h"

namespace print {

// The options as the window understands them: asking to disable the margins
// wins over asking for them.
PageOptions normalizedPageOptions(PageOptions options);

// A margin as the window holds it: millimetres to 0.01, inches to 0.001.
double dialogRounded(double margin, MeasureUnit unit);

// The margins after the window: a margin the user left alone comes back
// rounded, and keeps its exact old value instead of drifting by a rounding
// at every Page Setup.
PageMargins editedMargins(const PageMargins &before, const PageMargins &after, MeasureUnit unit);

} // namespace print
