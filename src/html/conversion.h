#pragma once

#include "charstate.h"
#include "documenttables.h"
#include "htmlwriter.h"
#include "inputlines.h"
#include "linewriter.h"
#include "rtftohtml.h"

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
