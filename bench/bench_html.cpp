// Benchmark of the RTF to HTML converter.
//   bench_html generate <megabytes> <file.rtf>   writes a rich-edit style document
//   bench_html convert <in.rtf> <out.html> [option strings]
// "convert" prints the wall time and the peak resident memory of the process.
#include "html/rtftohtml.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char *const Words[] = {"lorem", "ipsum", "dolor", "sit", "amet", "consectetur", "adipiscing", "elit",
                             "sed", "do", "eiusmod", "tempor", "incididunt", "ut", "labore", "et", "dolore",
                             "magna", "aliqua", "contract", "party", "agreement", "hereby", "witness"};

// A paragraph of text with bold, italic, underlined, coloured and resized
// runs, as a rich-edit control writes them.
std::string paragraph(unsigned &seed)
{
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    std::string p;
    const int words = 30 + int(next() % 40);
    for (int i = 0; i < words; ++i) {
        const std::string word = Words[next() % (sizeof Words / sizeof *Words)];
        switch (next() % 14) {
        case 0:
            p += "\\b " + word + "\\b0 ";
            break;
        case 1:
            p += "\\i " + word + "\\i0 ";
            break;
        case 2:
            p += "\\ul " + word + "\\ulnone ";
            break;
        case 3:
            p += "\\cf" + std::to_string(1 + next() % 4) + " " + word + "\\cf0 ";
            break;
        case 4:
            p += "\\f1\\fs24 " + word + "\\f0\\fs20 ";
            break;
        case 5:
            p += "M\\'fcller ";
            break;
        case 6:
            p += "\\u8364?" + std::to_string(next() % 1000) + " ";
            break;
        default:
            p += word + " ";
        }
    }
    return p;
}

int generate(double megabytes, const char *path)
{
    std::ofstream out(path, std::ios::binary);
    if (!out) {
        std::cerr << "cannot write " << path << "\n";
        return 1;
    }
    out << "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
           "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}"
           "{\\f3\\fmodern\\fcharset0 Courier New;}}\r\n"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue255;\\red128\\green0\\blue128;}\r\n"
           "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    const std::size_t target = std::size_t(megabytes * 1024 * 1024);
    std::size_t written = 0;
    unsigned seed = 12345;
    for (long n = 0; written < target; ++n) {
        std::string block;
        switch (n % 12) {
        case 0:
            block = "\\pard\\qc\\b\\fs28 Section " + std::to_string(n / 12 + 1) + "\\b0\\fs20\\par\r\n\\pard ";
            break;
        case 4:
            for (int i = 0; i < 3; ++i)
                block += "{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}\\fi-720\\li720 "
                    + paragraph(seed) + "\\par\r\n";
            block += "\\pard ";
            break;
        case 8:
            for (int row = 0; row < 3; ++row) {
                block += "\\trowd\\trgaph108\\trleft-108\\cellx2000\\cellx4000\\cellx6000\\pard\\intbl ";
                for (int cell = 0; cell < 3; ++cell)
                    block += "cell " + std::to_string(row) + "." + std::to_string(cell) + "\\cell ";
                block += "\\row\r\n";
            }
            block += "\\pard ";
            break;
        case 10:
            block = "See http://example.com/page" + std::to_string(n) + ", then\\tab continue.\\par\r\n";
            break;
        default:
            block = paragraph(seed) + "\\par\r\n";
        }
        out << block;
        written += block.size();
    }
    out << "}\r\n";
    return out ? 0 : 1;
}

int convert(const char *in, const char *out, const std::vector<std::string> &options)
{
    const auto start = std::chrono::steady_clock::now();
    const html::Result result = html::rtfToHtmlFile(in, out, html::optionsFromStrings(options));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.3f s, peak %ld KB\n", seconds, usage.ru_maxrss);
    if (!result.ok) {
        std::cerr << result.error << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "generate" && argc == 4)
        return generate(std::atof(argv[2]), argv[3]);
    if (command == "convert" && argc >= 4)
        return convert(argv[2], argv[3], std::vector<std::string>(argv + 4, argv + argc));
    std::cerr << "usage: bench_html generate <megabytes> <file.rtf>\n"
                 "       bench_html convert <in.rtf> <out.html> [options]\n";
    return 2;
}
