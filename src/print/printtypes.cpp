#include "print/printtypes.h"

#include <cmath>

namespace print {

namespace {
constexpr double MillimetresPerInch = 25.4;
}

int toPixels(double length, MeasureUnit unit, double dpi)
{
    const double inches = unit == MeasureUnit::Millimeters ? length / MillimetresPerInch : length;
    return int(std::lround(dpi * inches));
}

double fromPixels(double pixels, MeasureUnit unit, double dpi)
{
    if (dpi <= 0)
        return 0;
    const double inches = pixels / dpi;
    return unit == MeasureUnit::Millimeters ? inches * MillimetresPerInch : inches;
}

} // namespace print
