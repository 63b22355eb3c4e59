#include "cli/options.h"

#include "richtext/codepage.h"

namespace cli {

documents::ReadOptions localeReadOptions()
{
    documents::ReadOptions options;
    options.codePage = richtext::codepage::forLcid(richtext::codepage::systemDefaultLcid());
    return options;
}

documents::ExportOptions localeExportOptions()
{
    documents::ExportOptions options;
    options.lcid = richtext::codepage::systemDefaultLcid();
    options.codePage = richtext::codepage::forLcid(options.lcid);
    return options;
}

} // namespace cli
