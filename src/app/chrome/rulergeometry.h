#pragma once

// The arithmetic between paragraph indents (points) and the places of the
// ruler's three markers (pixels). The ruler shows 4/3 pixels per point (96
// pixels to the inch) and the text keeps a 6-pixel gutter from the pane's
// edges. All of it is done in whole twips and integers, so that an indent
// of 54 points is 72 pixels exactly and not 71.999... truncated to 71.

namespace rulergeometry {

// Pixels between the pane's edge and its text, left and right.
constexpr int gutter = 6;
// Taken off the computed place of the first- and left-indent markers.
constexpr int markerOffset = 4;
// The narrowest text column (points) a drag may leave between the indents.
constexpr int minTextWidth = 18;

// Pixels shown for an indent in points, truncated: trunc(points * 4/3).
int pixelsFor(double points);
// Points for a distance in pixels, truncated: trunc(pixels / (4/3)).
int pointsFor(int pixels);

// Left edges of the markers for a paragraph's indents on a ruler whose
// client width is `rulerWidth`. `left` is relative to `first`, as the
// paragraph stores it.
struct MarkerPlaces
{
    int first;
    int left;
    int right;
};
MarkerPlaces markerPlaces(double first, double left, double right, int rulerWidth);

// Indents for a released marker; `markerLeft` is its left edge and
// `dragOffset` half its width (the grip point).
int firstIndentAt(int markerLeft, int dragOffset);
// Relative to the (new) first indent, so that first + left is the whole
// point under the marker.
double leftIndentAt(int markerLeft, int dragOffset, double firstIndent);
int rightIndentAt(int rulerWidth, int markerLeft, int dragOffset);

// While dragging, a marker's grip point stays over the ruler's text area,
// between the gutters.
int clampMarkerLeft(int markerLeft, int dragOffset, int rulerWidth);

// Indents after a drag, in points, kept on the page: neither edge of the
// text goes left of the gutter, and at least minTextWidth points of text
// remain between the left-most start of a line and the right indent (as
// far as the ruler is wide enough for that at all). When the right marker
// was dragged the right indent gives way; otherwise the other two do.
struct Indents
{
    double first;
    double left; // relative to first
    double right;
};
Indents keepOnPage(Indents indents, int rulerWidth, bool rightDragged);

} // namespace rulergeometry
