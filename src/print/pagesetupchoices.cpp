#include "print/pagesetupchoices.h"

#include <cmath>

namespace print {

PageOptions normalizedPageOptions(PageOptions options)
{
    if (options & PageSetupFlag::DisableMargins)
        options &= ~PageOptions(PageSetupFlag::Margins);
    if (options & PageSetupFlag::Margins)
        options &= ~PageOptions(PageSetupFlag::DisableMargins);
    return options;
}

double dialogRounded(double margin, MeasureUnit unit)
{
    const double scale = unit == MeasureUnit::Millimeters ? 100.0 : 1000.0;
    return double(std::llround(margin * scale)) / scale;
}

PageMargins editedMargins(const PageMargins &before, const PageMargins &after, MeasureUnit unit)
{
    const auto pick = [unit](double old, double now) { return std::abs(dialogRounded(old, unit) - now) < 1e-9 ? old : now; };
    PageMargins result;
    result.top = pick(before.top, after.top);
    result.bottom = pick(before.bottom, after.bottom);
    result.left = pick(before.left, after.left);
    result.right = pick(before.right, after.right);
    return result;
}

} // namespace print
