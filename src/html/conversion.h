#pragma once

#include "html/charstate.h"
#include "html/documenttables.h"
#include "html/htmlwriter.h"
#include "html/inputlines.h"
#include "html/linewriter.h"
#include "html/rtftohtml.h"

namespace html {

// Everything one conversion works on. It lives for one call, so two
// conversions never share state.
struct Conversion
{
    Conversion(std::istream &in, std::ostream &out, const Options &opts)
        : options(opts)
        , input(in)
        , out(out)
        , writer(tables, options)
    {
        this->out.setOptimize(options.optimize);
    }

    Options options;
    InputLines input;
    CurrentLine line;
    DocumentTables tables;
    LineWriter out;
    HtmlWriter writer;
};

} // namespace html
