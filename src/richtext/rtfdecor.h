#pragma once

#include "richtext/paragraphdecor.h"
#include "richtext/rtfstate.h"

namespace richtext::rtf {

// The borders and shading a paragraph's words described, with the colour
// table's colours.
ParagraphDecor decorFromRtf(const DecorDef &decor, const DocumentTables &tables);

} // namespace richtext::rtf
