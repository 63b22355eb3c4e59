#pragma once

#include "richtext/rtfsink.h"

#include <QString>

// Collects the text of an RTF document as a reader sees it: hidden text
// left out, paragraphs ending in '\n', table cells separated by '\t', a
// page break as '\f'. It asks for no pictures, so the reader skips them.
namespace richtext {

class PlainTextSink : public rtf::Sink
{
public:
    void text(QStringView text, const rtf::CharState &format) override;
    void pageBreak(const rtf::CharState &format) override;
    void picture(const rtf::Picture &, const rtf::CharState &) override {}
    void paragraphEnd(const rtf::ParState &, const rtf::CharState &, int) override;
    void cellEnd(const rtf::ParState &, const rtf::CharState &, int) override;
    void rowEnd(const rtf::RowDef &, int) override;
    void finish(const rtf::ParState &, const rtf::CharState &, int) override {}

    QString takeText();

private:
    QString m_text;
};

} // namespace richtext
