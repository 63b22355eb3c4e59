#pragma once

#include <cmath>
#include <limits>

// Lengths of the attribute objects: callers speak points (doubles), the text
// carries twips (1/20 point) or, on block formats, pixels at 96 dpi
// (1 px = 15 twips). A point value becomes whole twips rounded to the
// nearest, halves to even, so 0.5 pt is 10 twips and reads back as 0.5.
namespace twips {

inline int fromPoints(double points)
{
    const double t = std::nearbyint(points * 20.0); // default rounding: halves to even
    if (!(t == t)) // NaN
        return 0;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    return int(t < lo ? lo : (t > hi ? hi : t));
}

inline double toPoints(int twips) { return twips / 20.0; }

inline double toPixels(int twips) { return twips / 15.0; }

// Pixels on a block format back to whole twips (they were made from twips,
// so rounding only removes the floating error of the division).
inline int fromPixels(double pixels)
{
    return fromPoints(pixels * 0.75);
}

} // namespace twips
