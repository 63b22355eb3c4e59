#include "app/chrome/rulergeometry.h"

#include <algorithm>
#include <cmath>

namespace rulergeometry {

namespace {

long long twipsOf(double points)
{
    return std::llround(points * 20);
}

// Pixels for a length in twips: 4/3 pixel per point is 1 pixel per 15
// twips. Integer division truncates toward zero, as the ruler does.
int pixelsForTwips(long long twips)
{
    return int(twips / 15);
}

} // namespace

int pixelsFor(double points)
{
    return pixelsForTwips(twipsOf(points));
}

int pointsFor(int pixels)
{
    return int(3LL * pixels / 4);
}

MarkerPlaces markerPlaces(double first, double left, double right, int rulerWidth)
{
    const long long firstTwips = twipsOf(first);
    return {
        pixelsForTwips(firstTwips) - markerOffset + gutter,
        pixelsForTwips(twipsOf(left) + firstTwips) - markerOffset + gutter,
        rulerWidth - gutter - pixelsForTwips(twipsOf(right) + gutter * 20),
    };
}

int firstIndentAt(int markerLeft, int dragOffset)
{
    return pointsFor(markerLeft + dragOffset - gutter);
}

double leftIndentAt(int markerLeft, int dragOffset, double firstIndent)
{
    return pointsFor(markerLeft + dragOffset - gutter) - firstIndent;
}

int rightIndentAt(int rulerWidth, int markerLeft, int dragOffset)
{
    return pointsFor(rulerWidth - markerLeft + dragOffset - 2) - 12;
}

int clampMarkerLeft(int markerLeft, int dragOffset, int rulerWidth)
{
    const int lowest = gutter - dragOffset;
    const int highest = std::max(lowest, rulerWidth - gutter - dragOffset);
    return std::clamp(markerLeft, lowest, highest);
}

Indents keepOnPage(Indents indents, int rulerWidth, bool rightDragged)
{
    indents.first = std::max(indents.first, 0.0);
    indents.left = std::max(indents.left, -indents.first);
    indents.right = std::max(indents.right, 0.0);

    // Room for the text column, in points.
    const double available = std::max(0, pointsFor(rulerWidth - 2 * gutter) - minTextWidth);
    if (rightDragged) {
        const double start = std::max(indents.first, indents.first + indents.left);
        indents.right = std::min(indents.right, std::max(0.0, available - start));
    } else {
        const double limit = std::max(0.0, available - indents.right);
        const double start = std::min(indents.first + indents.left, limit);
        indents.first = std::min(indents.first, limit);
        indents.left = start - indents.first;
    }
    return indents;
}

} // namespace rulergeometry
