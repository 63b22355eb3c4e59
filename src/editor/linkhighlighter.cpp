#include "editor/linkhighlighter.h"

#include "editor/urlscanner.h"
#include "editor/weblinks.h"

#include <QTextDocument>

namespace {

// The links of one paragraph, positions counted from its start.
class LinkBlockData : public QTextBlockUserData
{
public:
    QList<DetectedLink> links;
};

} // namespace

LinkHighlighter::LinkHighlighter(QTextDocument *document) : InvisibleTextHighlighter(document)
{
    // Attached again so that this connection comes before Qt's own: a new
    // change is known before the paragraphs it touched are scanned.
    setDocument(nullptr);
    connect(document, &QTextDocument::contentsChange, this, [this] { m_scanning.reset(); });
    setDocument(document);
}

void LinkHighlighter::setMode(AutoUrlDetect mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    rescanAll();
}

void LinkHighlighter::setTypes(const UrlTypeList &types)
{
    m_types = types;
    if (m_mode == AutoUrlDetect::Extended)
        rescanAll();
}

void LinkHighlighter::setUrlColor(const QColor &color)
{
    m_urlColor = color;
    if (m_mode != AutoUrlDetect::None)
        rescanAll();
}

void LinkHighlighter::rescanAll()
{
    m_scanning.reset();
    rehighlight();
    if (m_mode == AutoUrlDetect::None)
        m_scanning.reset();
}

void LinkHighlighter::noteScanned(int from, int to)
{
    if (!m_scanning)
        m_scanning = TextRange{from, to};
    m_scanning->from = qMin(m_scanning->from, from);
    m_scanning->to = qMax(m_scanning->to, to);
    m_lastScan = *m_scanning;
}

std::optional<DetectedLink> LinkHighlighter::linkAt(int position) const
{
    if (!document())
        return std::nullopt;
    const QTextBlock block = document()->findBlock(position);
    const auto *data = dynamic_cast<const LinkBlockData *>(block.userData());
    if (!data)
        return std::nullopt;
    const int offset = position - block.position();
    for (const DetectedLink &link : data->links) {
        if (offset >= link.start && offset < link.start + link.length) {
            DetectedLink found = link;
            found.start += block.position();
            return found;
        }
    }
    return std::nullopt;
}

void LinkHighlighter::highlightBlock(const QString &text)
{
    QList<DetectedLink> links;
    if (m_mode == AutoUrlDetect::Default) {
        for (const weblinks::Link &link : weblinks::find(text)) {
            links.append(DetectedLink{link.start, link.length,
                                      text.mid(link.start, link.length), link.target, -1});
        }
    } else if (m_mode == AutoUrlDetect::Extended && !m_types.isEmpty()) {
        for (const urlscan::Link &link : urlscan::scan(text, m_types)) {
            const QString word = text.mid(link.start, link.length);
            // An address opens as a mail to it; a scheme word as itself.
            const QString target = link.type == 0 ? QLatin1String("mailto:") + word : word;
            links.append(DetectedLink{link.start, link.length, word, target, link.type});
        }
    }

    for (const DetectedLink &link : links) {
        QTextCharFormat shown;
        QColor color = m_urlColor;
        bool underline = true;
        if (link.type >= 0) {
            const UrlType &type = m_types.at(link.type);
            if (type.color.isValid())
                color = type.color;
            underline = type.underline;
        }
        shown.setForeground(color);
        shown.setFontUnderline(underline);
        setFormat(link.start, link.length, shown);
    }

    if (links.isEmpty()) {
        setCurrentBlockUserData(nullptr);
    } else {
        auto *data = new LinkBlockData;
        data->links = std::move(links);
        setCurrentBlockUserData(data);
    }
    if (m_mode != AutoUrlDetect::None) {
        const QTextBlock block = currentBlock();
        noteScanned(block.position(), block.position() + block.length() - 1);
    }
    // Hidden text and page breaks stay invisible, links or not.
    InvisibleTextHighlighter::highlightBlock(text);
}
