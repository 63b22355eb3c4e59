#include "html/rtftohtml.h"

#include "html/conversion.h"
#include "html/conversionerror.h"
#include "html/driver.h"
#include "html/rtfgroupreader.h"

#include <cstdio>
#include <fstream>

namespace html {

namespace {

std::string escapeTitle(const std::string &title)
{
    std::string out;
    for (const char ch : title) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += ch;
        }
    }
    return out;
}

void writeHead(Conversion &c)
{
    LineWriter &out = c.out;
    out.writeLine("<HTML>");
    out.writeLine("<HEAD>");
    out.writeLine("<TITLE>" + escapeTitle(c.options.title) + "</TITLE>");
    out.writeLine("</HEAD>");
    out.writeLine("<BODY TEXT=\"#000000\" BGCOLOR=\"#FFFFFF\" LINK=\"#3333FF\" VLINK=\"#999999\" "
                  "ALINK=\"#FF0000\">");
    out.flush();
}

void writeTail(Conversion &c)
{
    // The alignment tag that is open, not the one the state names: a group
    // may have ended since, or the paragraph may have written none.
    c.out.writeOut(c.writer.closeAllTags() + c.writer.closeAlignment());
    closeLists(c);
    c.out.writeRemaining();
    c.out.writeLine("</BODY>");
    c.out.writeLine("</HTML>");
    c.out.flush();
}

} // namespace

void closeLists(Conversion &c)
{
    std::string fragment;
    c.writer.closeLists(fragment);
    c.out.writeOut(fragment);
}

Options optionsFromStrings(const std::vector<std::string> &strings)
{
    Options options;
    for (const std::string &s : strings) {
        if (s == "noFonts")
            options.noFonts = true;
        else if (s == "optimize")
            options.optimize = true;
        else if (s == "onlyDefiniteOpt")
            options.onlyDefiniteOpt = true;
    }
    return options;
}

namespace {

Result convert(std::istream &input, std::ostream &output, const Options &options, bool &outputFailed)
{
    Conversion c(input, output, options);
    if (options.optimize) {
        for (const char *size : {"-2", "-1", "+0", "+1", "+2", "+3", "+4"})
            c.out.addPattern(std::string("<FONT SIZE=") + size + "></FONT>");
    }
    Result result;
    outputFailed = false;
    CharState top;
    const auto fail = [&](const std::exception &e) {
        outputFailed = outputFailed || dynamic_cast<const OutputError *>(&e) != nullptr;
        if (result.ok) {
            result.ok = false;
            result.error = e.what();
        }
    };
    try {
        writeHead(c);
        c.line.loadNext(c.input);
        readGroup(c, top);
    } catch (const std::exception &e) {
        fail(e);
    }
    // The tail is written whatever happened in the body.
    try {
        writeTail(c);
    } catch (const std::exception &e) {
        fail(e);
    }
    return result;
}

} // namespace

Result rtfToHtml(std::istream &input, std::ostream &output, const Options &options)
{
    bool outputFailed = false;
    return convert(input, output, options, outputFailed);
}

Result rtfToHtmlFile(const std::string &inputPath, const std::string &outputPath,
                     const Options &options)
{
    std::ifstream in(inputPath, std::ios::binary);
    if (!in)
        return {false, "Cannot open \"" + inputPath + "\" for reading"};
    const std::string temporary = outputPath + ".part";
    Result result;
    bool outputFailed = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return {false, "Cannot create \"" + outputPath + "\""};
        Options withTitle = options;
        if (withTitle.title.empty())
            withTitle.title = inputPath;
        result = convert(in, out, withTitle, outputFailed);
        out.close();
        if (!out)
            outputFailed = true;
    }
    // A page that could not be written completely never replaces an older
    // one. A conversion error still leaves the page, finished with its tail.
    if (outputFailed) {
        std::remove(temporary.c_str());
        return {false, "Cannot write \"" + outputPath + "\""};
    }
    if (std::rename(temporary.c_str(), outputPath.c_str()) != 0) {
        std::remove(temporary.c_str());
        return {false, "Cannot create \"" + outputPath + "\""};
    }
    return result;
}

} // namespace html
