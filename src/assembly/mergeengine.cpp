#include "assembly/mergeengine.h"

#include "assembly/largebuffer.h"
#include "assembly/loadfile.h"
#include "assembly/mergetoken.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstring>
#include <vector>

namespace assembly {

// One merge. The text still to be scanned is a stack of segments: the
// template at the bottom and, above it, the values put in whose bytes have
// not been scanned yet (only values that hold an '@' ever go there: any other
// value is final as soon as it is put in). Everything before the top
// segment's read position is finished and sits in `m_out`.
class MergeRun {
public:
    MergeRun(const MergeEngine &engine, const QByteArray &text);
    MergeResult run();

private:
    struct Segment {
        Segment(const QByteArray &b, int n)
            : bytes(b)
            , data(b.constData())
            , size(b.size())
            , node(n)
        {
        }
        QByteArray bytes; // keeps `data` alive
        const char *data;
        qsizetype size;
        qsizetype pos = 0;
        int node; // the value's place in the tree of values, -1 for the template

        qsizetype available() const { return size - pos; }
    };
    // Which entry put a value in, and inside which value its token stood.
    struct Node {
        qint64 entry;
        int parent;
        int depth;
    };
    struct Value {
        QByteArray bytes;
        qint64 length = 0; // in text characters
        bool known = false;
        bool hasAt = false;
    };

    // The byte at offset k of the text still to scan, -1 past its end.
    int peek(qsizetype k) const
    {
        if (m_stack.empty())
            return -1;
        const Segment &top = m_stack.back();
        if (k < top.available())
            return static_cast<unsigned char>(top.data[top.pos + k]);
        return peekBelow(k - top.available());
    }
    int peekBelow(qsizetype k) const;
    void scanTemplate();
    void drop(qsizetype n);
    void appendRest();
    const Value &valueOf(qint64 entry, qint64 lineIndex);
    QByteArray tokenText(qsizetype length) const;
    MergeResult fail(const AssemblyMessage &message, qsizetype tokenLength);
    void reportProgress(bool force);

    const MergeEngine &m_engine;
    const MergeOptions &m_options;
    const QByteArray &m_text;
    const TextRules m_rules;
    const int m_lineCount;
    qint64 m_nestedLimit;

    std::vector<Segment> m_stack;
    std::vector<Node> m_nodes;
    std::vector<Value> m_values; // by entry number
    BufferWriter m_out;
    qint64 m_replacements = 0;
    qint64 m_nested = 0;

    QElapsedTimer m_clock;
    qint64 m_lastProgress = 0;
    int m_progressCountdown = 1;
};

MergeRun::MergeRun(const MergeEngine &engine, const QByteArray &text)
    : m_engine(engine)
    , m_options(engine.m_options)
    , m_text(text)
    , m_rules(MergeEngine::textRules(engine.m_options, text))
    , m_lineCount(engine.m_information.count())
{
    m_nestedLimit = m_options.maxNestedReplacements > 0
        ? m_options.maxNestedReplacements
        : std::max<qint64>(1000000, 4 * qint64(text.size()));
    // Entry N is accepted while 2N - 1 <= line count.
    m_values.resize(std::max(0, m_lineCount) / 2 + 2);
}

int MergeRun::peekBelow(qsizetype k) const
{
    for (auto it = m_stack.rbegin() + 1; it != m_stack.rend(); ++it) {
        if (k < it->available())
            return static_cast<unsigned char>(it->data[it->pos + k]);
        k -= it->available();
    }
    return -1;
}

void MergeRun::drop(qsizetype n)
{
    while (n > 0 && !m_stack.empty()) {
        Segment &top = m_stack.back();
        const qsizetype available = top.available();
        if (n < available) {
            top.pos += n;
            return;
        }
        n -= available;
        m_stack.pop_back();
    }
}

void MergeRun::appendRest()
{
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it)
        m_out.append(it->data + it->pos, it->available());
    m_stack.clear();
}

const MergeRun::Value &MergeRun::valueOf(qint64 entry, qint64 lineIndex)
{
    Value &value = m_values[entry];
    if (!value.known) {
        // The line after the last counted one is the empty last line (or no
        // line at all): its value is empty.
        value.bytes = m_engine.valueBytes(m_engine.m_information.line(int(lineIndex)), m_rules);
        value.length = textLength(value.bytes, m_rules);
        value.hasAt = value.bytes.contains('@');
        value.known = true;
    }
    return value;
}

QByteArray MergeRun::tokenText(qsizetype length) const
{
    // Enough to recognise the token in a message, not a megabyte of digits.
    const qsizetype shown = std::min<qsizetype>(length, 40);
    QByteArray token;
    for (qsizetype k = 0; k < shown; ++k) {
        const int c = peek(k);
        if (c < 0)
            break;
        token.append(char(c));
    }
    if (shown < length)
        token.append("...");
    return token;
}

MergeResult MergeRun::fail(const AssemblyMessage &message, qsizetype tokenLength)
{
    MergeResult result;
    result.failure = message;
    result.replacements = m_replacements;
    if (tokenLength > 0) {
        result.token = tokenText(tokenLength);
        result.tokenOffset = m_out.size();
        result.detail
            = QStringLiteral("token \"%1\" at byte %2")
                  .arg(QString::fromLatin1(result.token), QString::number(result.tokenOffset));
    }
    return result;
}

void MergeRun::reportProgress(bool force)
{
    if (!m_engine.m_progress)
        return;
    if (!force) {
        // Looking at the clock costs more than a replacement; look every 256.
        if (--m_progressCountdown > 0)
            return;
        m_progressCountdown = 256;
        if (m_replacements > 1 && m_clock.elapsed() - m_lastProgress < 40)
            return;
    }
    m_lastProgress = m_clock.elapsed();
    m_engine.m_progress(m_replacements);
}

// The common case, with plain pointers: only the template is left to scan,
// and its tokens are well formed, within the file, at most 9 digits long and
// their values hold no '@'. Stops at the first token it does not take (the
// scan then stands on its '@') or at the end of the template; the general
// loop goes on from there, so every other case is decided in one place.
void MergeRun::scanTemplate()
{
    Segment &segment = m_stack.back();
    const char *data = segment.data;
    const qsizetype size = segment.size;
    const bool overwrite = m_options.overwrite;
    qsizetype pos = segment.pos;

    while (m_out.size() <= m_options.maxResultSize) {
        const auto *found
            = static_cast<const char *>(std::memchr(data + pos, '@', size_t(size - pos)));
        if (!found) {
            m_out.append(data + pos, size - pos);
            pos = size;
            break;
        }
        const qsizetype at = found - data;
        m_out.append(data + pos, at - pos);
        pos = at;

        qsizetype end = at + 1; // past the digits
        qint64 n = 0;
        while (end < size && end - at <= 9 && isDigit(data[end]))
            n = n * 10 + (data[end++] - '0');
        if (end == at + 1 || (end < size && isDigit(data[end])))
            break;
        // The character after the one that follows the digits (or after a
        // line end there) must not be a digit: see TokenShape.
        qsizetype check = end;
        if (check + 1 < size && (data[check + 1] == '\r' || data[check + 1] == '\n'))
            ++check;
        if (check + 1 < size && isDigit(data[check + 1]))
            break;
        if (n == 0 || 2 * n - 1 > m_lineCount)
            break;
        const Value &value = valueOf(n, 2 * n - 1);
        if (value.hasAt)
            break;

        const qsizetype tokenLength = end - at;
        m_out.append(value.bytes.constData(), value.bytes.size());
        pos = end;
        if (overwrite) {
            if (value.length < tokenLength) {
                m_out.fill(' ', tokenLength - value.length);
            } else {
                pos += overwritableLength(
                    QByteArrayView(data + end, size - end), value.length - tokenLength, m_rules);
            }
        }
        ++m_replacements;
        reportProgress(false);
    }
    segment.pos = pos;
}

MergeResult MergeRun::run()
{
    m_clock.start();
    // Values are mostly longer than their tokens. Room that is never written
    // costs address space only, so be generous rather than grow and copy.
    m_out.start(m_text.size() + m_text.size() / 2 + 4096);
    if (!m_text.isEmpty())
        m_stack.emplace_back(m_text, -1);

    while (!m_stack.empty()) {
        if (m_out.size() > m_options.maxResultSize)
            return fail(messages::mergeTooLarge(m_options.maxResultSize), 0);
        if (m_stack.size() == 1)
            scanTemplate();
        Segment &top = m_stack.back();
        const char *data = top.data;
        const void *found = std::memchr(data + top.pos, '@', size_t(top.available()));
        if (!found) {
            m_out.append(data + top.pos, top.available());
            m_stack.pop_back();
            continue;
        }
        const qsizetype at = static_cast<const char *>(found) - data;
        m_out.append(data + top.pos, at - top.pos);
        top.pos = at;
        const int parentNode = top.node;

        // The first '@' of what is left starts no token: the merge ends here
        // and the rest stays as it is.
        if (!isDigit(peek(1))) {
            appendRest();
            break;
        }

        const TokenShape shape = scanToken([this](qsizetype k) { return peek(k); });
        TokenIndex index;
        if (!shape.extra) {
            char number[100];
            number[0] = '@';
            const qsizetype digits = std::min<qsizetype>(shape.digits, 99);
            for (qsizetype k = 1; k <= digits; ++k)
                number[k] = char(peek(k));
            index = tokenLineIndex(QByteArrayView(number, digits + 1));
        }
        switch (index.status) {
        case TokenIndex::Status::Ok:
            break;
        case TokenIndex::Status::Overflow:
            return fail(messages::integerOverflow(), shape.length());
        case TokenIndex::Status::NotANumber:
        case TokenIndex::Status::Zero: // "@0" names no entry
            return fail(messages::valueNotInInformationFile(), shape.length());
        }
        if (m_lineCount < index.lineIndex)
            return fail(messages::valueNotInInformationFile(), shape.length());

        int depth = 1;
        if (parentNode >= 0) {
            // A token inside a value whose own entry, or one of the entries
            // it came through, is this token's entry would put the same value
            // in again and again.
            for (int n = parentNode; n >= 0; n = m_nodes[n].parent) {
                if (m_nodes[n].entry == index.entry)
                    return fail(messages::valueRefersToItself(index.entry), shape.length());
            }
            depth = m_nodes[parentNode].depth + 1;
            if (depth > m_options.maxNesting)
                return fail(messages::valuesNestedTooDeeply(m_options.maxNesting), shape.length());
            if (++m_nested > m_nestedLimit)
                return fail(messages::tooManyNestedReplacements(m_nestedLimit), shape.length());
        }

        const Value &value = valueOf(index.entry, index.lineIndex);
        const qsizetype tokenLength = shape.length();
        QByteArray padded;
        const QByteArray *bytes = &value.bytes;
        qsizetype replaced = tokenLength;
        if (m_options.overwrite) {
            if (value.length < tokenLength) {
                padded = value.bytes;
                padded.append(tokenLength - value.length, ' ');
                bytes = &padded;
            } else {
                // What follows the token may run on from a value into the
                // text below it. A character takes at most 8 bytes
                // ("\'hh\'hh"), which bounds what has to be looked at.
                const qint64 characters = value.length - tokenLength;
                QByteArray ahead;
                for (qsizetype k = tokenLength; k < tokenLength + 8 * characters + 8; ++k) {
                    const int c = peek(k);
                    if (c < 0)
                        break;
                    ahead += char(c);
                }
                replaced += overwritableLength(ahead, characters, m_rules);
            }
        }
        drop(replaced);
        ++m_replacements;

        if (value.hasAt) {
            m_nodes.push_back({ index.entry, parentNode, depth });
            m_stack.emplace_back(*bytes, int(m_nodes.size() - 1));
        } else {
            m_out.append(bytes->constData(), bytes->size());
        }
        reportProgress(false);
    }

    if (m_out.size() > m_options.maxResultSize)
        return fail(messages::mergeTooLarge(m_options.maxResultSize), 0);
    reportProgress(true);
    MergeResult result;
    result.text = m_out.take();
    result.replacements = m_replacements;
    return result;
}

MergeEngine::MergeEngine(
    const InformationLines &information, ValueEncoder encoder, MergeOptions options)
    : m_information(information)
    , m_encoder(std::move(encoder))
    , m_options(options)
{
}

TextRules MergeEngine::textRules(const MergeOptions &options, QByteArrayView text)
{
    TextRules rules;
    switch (options.templateKind) {
    case MergeOptions::TemplateKind::Detect:
        rules.rtf = isRtfTemplate(text);
        break;
    case MergeOptions::TemplateKind::Rtf:
        rules.rtf = true;
        break;
    case MergeOptions::TemplateKind::PlainText:
        rules.rtf = false;
        break;
    }
    rules.isLeadByte = options.isLeadByte;
    return rules;
}

QByteArray MergeEngine::valueBytes(QStringView line, const TextRules &rules) const
{
    QByteArray bytes = m_encoder ? m_encoder(line) : line.toLatin1();
    if (rules.rtf)
        bytes = escapeValueRtf(bytes, rules.isLeadByte);
    return bytes;
}

MergeResult MergeEngine::merge(const QByteArray &text) const
{
    return MergeRun(*this, text).run();
}

MergeResult MergeEngine::run(const QString &templateFileName, int templatePaneLineCount) const
{
    MergeResult result;
    if (m_information.count() < 2) {
        result.failure = messages::noInformationFile();
        return result;
    }
    if (templatePaneLineCount < 2) {
        result.failure = messages::noTemplateFile();
        return result;
    }
    const LoadedFile loaded = loadFileToString(templateFileName);
    if (!loaded.ok) {
        result.failure = loaded.failure.value_or(messages::cannotOpenFile(templateFileName));
        result.detail = loaded.errorString;
        return result;
    }
    return merge(loaded.text);
}

} // namespace assembly
