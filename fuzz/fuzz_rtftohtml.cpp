// libFuzzer harness for the RTF to HTML converter: every input must end in
// a complete page, whatever the options, without crashing or hanging.
#include "html/rtftohtml.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

const std::string Tail = "</BODY>\r\n</HTML>\r\n";

void check(const std::string &input, const html::Options &options)
{
    std::istringstream in(input);
    std::ostringstream out;
    const html::Result result = html::rtfToHtml(in, out, options);
    const std::string page = out.str();
    if (page.rfind("<HTML>\r\n", 0) != 0 || page.size() < Tail.size()
        || page.compare(page.size() - Tail.size(), Tail.size(), Tail) != 0)
        std::abort();
    if (!result.ok && result.error.empty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 1 << 20)
        return 0;
    const std::string input(reinterpret_cast<const char *>(data), size);
    // The last byte picks the options, so that one input runs both ways.
    const unsigned pick = size > 0 ? data[size - 1] : 0;
    html::Options options;
    options.optimize = pick & 1;
    options.noFonts = pick & 2;
    options.onlyDefiniteOpt = pick & 4;
    check(input, options);
    check(input, html::Options());
    return 0;
}
