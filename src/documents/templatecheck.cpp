#include "documents/templatecheck.h"

#include "assembly/mergeengine.h"
#include "assembly/mergetoken.h"
#include "documents/entryfindings.h"
#include "documents/entryvalues.h"
#include "documents/findingwords.h"
#include "documents/mergejob.h"
#include "documents/templatesource.h"
#include "documents/textpositions.h"
#include "richtext/rtfimport.h"

#include <algorithm>
#include <optional>

namespace documents {

namespace {

    using Kind = FindingKind;
    using namespace words;

    // The place of the first NUL byte in a file the merge refuses for it.
    TemplateSource::Place nulPlace(const QByteArray &bytes)
    {
        TemplateSource::Place place;
        place.offset = bytes.indexOf('\0');
        place.line = 1;
        qsizetype lineStart = 0;
        for (qsizetype i = 0; i < place.offset; ++i) {
            if (bytes[i] == '\r' && i + 1 < place.offset && bytes[i + 1] == '\n')
                ++i;
            else if (bytes[i] != '\r' && bytes[i] != '\n')
                continue;
            ++place.line;
            lineStart = i + 1;
        }
        place.column = int(place.offset - lineStart + 1);
        return place;
    }

    class TemplateChecker {
    public:
        TemplateChecker(const QByteArray &bytes, const assembly::InformationLines &information,
            const CheckOptions &options)
            : m_bytes(bytes)
            , m_information(information)
            , m_options(options)
        {
        }

        std::vector<Finding> run();

    private:
        struct Token {
            qsizetype at;
            QByteArray token;
        };
        // A finding whose sentence ends with the tokens after it, known only
        // once the whole template has been scanned.
        struct EarlyEnd {
            std::size_t finding;
            qsizetype at;
            QString start; // the sentence up to the tokens it leaves unfilled
            bool alwaysError; // a split token is lost itself
        };

        void scanTemplate();
        qsizetype checkToken(qsizetype at, const QByteArray &token);
        void checkValueOutcome(qsizetype at, const QByteArray &token, qint64 entry);
        qsizetype checkRoom(qsizetype at, const QByteArray &token, qint64 entry);
        void strayAt(qsizetype at);
        void finishEarlyEnds();
        void placeInDocument();

        Finding &addAtTemplate(Kind kind, Severity severity, qsizetype at, const QString &detail,
            qint64 entry = 0, const QByteArray &token = {});
        QString shownText(QByteArrayView source) const;

        const QByteArray &m_bytes;
        const assembly::InformationLines &m_information;
        const CheckOptions m_options;

        PreparedTemplate m_prepared;
        std::optional<TemplateSource> m_source;
        std::optional<assembly::MergeEngine> m_engine;
        std::optional<EntryValues> m_values;
        assembly::TextRules m_rules;

        std::vector<Finding> m_findings;
        std::vector<qsizetype> m_findingAt; // the "@" of each finding, -1 for none
        std::vector<Token> m_tokens;
        std::vector<EarlyEnd> m_earlyEnds;
        std::vector<bool> m_usedByTemplate; // by entry
        std::vector<bool> m_outcomeReported; // by entry
    };

    Finding &TemplateChecker::addAtTemplate(Kind kind, Severity severity, qsizetype at,
        const QString &detail, qint64 entry, const QByteArray &token)
    {
        const TemplateSource::Place place = m_source->place(at);
        Finding finding;
        finding.kind = kind;
        finding.severity = severity;
        finding.detail = detail;
        finding.offset = place.offset;
        finding.line = place.line;
        finding.column = place.column;
        finding.entry = entry;
        finding.token = token;
        m_findings.push_back(finding);
        m_findingAt.push_back(at);
        return m_findings.back();
    }

    // Source bytes as the text a reader shows for them.
    QString TemplateChecker::shownText(QByteArrayView source) const
    {
        if (!m_rules.rtf)
            return m_source->decode(source);
        const QByteArray fragment = "{\\rtf1\\ansi\\ansicpg"
            + QByteArray::number(m_prepared.codePage) + ' ' + source.toByteArray() + '}';
        return richtext::rtfToPlainText(fragment, { m_prepared.codePage, false }).trimmed();
    }

    std::vector<Finding> TemplateChecker::run()
    {
        m_prepared = prepareTemplate(m_bytes);
        if (m_prepared.failure) {
            // The merge reads nothing of such a template: nothing else to say.
            const TemplateSource::Place place = nulPlace(m_bytes);
            Finding finding;
            finding.kind = Kind::UnusableTemplate;
            finding.detail = QStringLiteral("A NUL byte stands inside the template with text after "
                                            "it, which the merge refuses.");
            finding.offset = place.offset;
            finding.line = place.line;
            finding.column = place.column;
            return { finding };
        }
        const assembly::MergeOptions options = mergeOptionsFor(m_prepared, m_options.overwrite);
        m_rules = assembly::MergeEngine::textRules(options, m_prepared.text);
        m_source.emplace(m_bytes, m_prepared.text, m_prepared.rtf, m_prepared.codePage);
        m_engine.emplace(m_information, m_prepared.encoder, options);
        m_values.emplace(m_information, *m_engine, m_rules);
        m_usedByTemplate.assign(std::size_t(m_values->entryCount()) + 1, false);
        m_outcomeReported.assign(std::size_t(m_values->entryCount()) + 1, false);

        if (hasNoText(m_prepared))
            addAtTemplate(Kind::UnusableTemplate, Severity::Error, 0,
                QStringLiteral("The template shows no text, so a merge has nothing to fill."));
        scanTemplate();
        finishEarlyEnds();
        placeInDocument();
        for (Finding &finding :
            informationFindings(m_information, *m_values, m_usedByTemplate, m_rules.rtf)) {
            m_findings.push_back(std::move(finding));
            m_findingAt.push_back(-1);
        }

        std::vector<std::size_t> order(m_findings.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
            const Finding &x = m_findings[a];
            const Finding &y = m_findings[b];
            if (x.place != y.place)
                return x.place == Finding::Place::Template;
            return x.place == Finding::Place::Template ? m_findingAt[a] < m_findingAt[b]
                                                       : x.line < y.line;
        });
        std::vector<Finding> sorted;
        sorted.reserve(order.size());
        for (const std::size_t i : order)
            sorted.push_back(std::move(m_findings[i]));
        return sorted;
    }

    // The merge's scan: the first "@" of what is left, a token when a digit
    // follows it. Unlike the merge it goes on after a problem, to find them
    // all.
    void TemplateChecker::scanTemplate()
    {
        const QByteArrayView text(m_prepared.text);
        qsizetype pos = 0;
        while (pos < text.size()) {
            const qsizetype at = text.indexOf('@', pos);
            if (at < 0)
                break;
            if (assembly::findToken(text.sliced(at)) < 0) {
                strayAt(at);
                pos = at + 1;
                continue;
            }
            const QByteArray token = assembly::extractToken(text, at);
            m_tokens.push_back({ at, token });
            pos = at + token.size() + checkToken(at, token);
        }
    }

    // Returns the bytes after the token that an overwrite merge takes.
    qsizetype TemplateChecker::checkToken(qsizetype at, const QByteArray &token)
    {
        const TemplateSource::Region region = m_source->regionAt(at);
        if (region != TemplateSource::Region::Body) {
            const QString where = region == TemplateSource::Region::Header
                ? QStringLiteral("a page header")
                : region == TemplateSource::Region::Footer ? QStringLiteral("a page footer")
                                                           : QStringLiteral("a footnote");
            addAtTemplate(Kind::TokenInHeaderFooter, Severity::Note, at,
                QStringLiteral("%1 stands in %2, which the merge fills like the rest of the text.")
                    .arg(quoted(token), where),
                0, token);
        }

        const assembly::TokenIndex index = assembly::tokenLineIndex(token);
        if (!m_values->accepts(index)) {
            using S = assembly::TokenIndex::Status;
            QString detail;
            if (index.status == S::Zero) {
                detail
                    = QStringLiteral("\"@0\" names no entry (entries are numbered from 1), so the "
                                     "merge stops here.");
            } else if (index.status == S::Overflow) {
                detail
                    = QStringLiteral("%1 is too large an entry number: the merge stops here with "
                                     "\"Integer overflow\".")
                          .arg(quoted(token));
            } else if (index.status == S::NotANumber && assembly::isDigit(token.back())) {
                detail = QStringLiteral(
                    "%1 is beyond any entry number the merge reads, so it stops here.")
                             .arg(quoted(token));
            } else if (index.status == S::NotANumber) {
                // The token took the character after its digits; the digit
                // that made it do so follows (after a line end, maybe).
                const QByteArray seen = m_prepared.text.mid(at, token.size() + 2).trimmed();
                detail
                    = QStringLiteral("A digit follows %1 one character after it (%2), so the merge "
                                     "reads no entry number there and stops.")
                          .arg(quoted(token.chopped(1)), quoted(seen));
            } else {
                detail
                    = QStringLiteral("%1 has no entry: the Information data has %2, so the merge "
                                     "stops here.")
                          .arg(quoted(token),
                              plural(m_information.count() / 2, QStringLiteral("entry"),
                                  QStringLiteral("entries")));
            }
            addAtTemplate(Kind::TokenWithoutEntry, Severity::Error, at, detail, index.entry, token);
            return 0;
        }
        const qint64 entry = index.entry;
        m_usedByTemplate[std::size_t(entry)] = true;
        checkValueOutcome(at, token, entry);
        return m_options.overwrite ? checkRoom(at, token, entry) : 0;
    }

    void TemplateChecker::checkValueOutcome(qsizetype at, const QByteArray &token, qint64 entry)
    {
        const EntryValues::Outcome &outcome = m_values->outcome(entry);
        using O = EntryValues::Outcome::Kind;
        if (outcome.kind == O::Fine || m_outcomeReported[std::size_t(entry)])
            return;
        // The first token of the entry is where the merge meets it.
        m_outcomeReported[std::size_t(entry)] = true;
        QString holder = QStringLiteral("The value of entry %1 (%2)")
                             .arg(outcome.entry)
                             .arg(quoted(m_values->line(outcome.entry)));
        if (outcome.entry != entry)
            holder += QStringLiteral(", put in through %1,").arg(quoted(token));
        switch (outcome.kind) {
        case O::Fine:
            break;
        case O::EndsEarly: {
            const QString start
                = QStringLiteral("%1 holds an \"@\" with no digit after it, so the merge "
                                 "ends inside it at %2")
                      .arg(holder, quoted(token));
            const std::size_t index = m_findings.size();
            addAtTemplate(Kind::MergeEndsEarly, Severity::Error, at, start, entry, token).fromValue
                = true;
            m_earlyEnds.push_back({ index, at, start, false });
            break;
        }
        case O::NoEntry:
            addAtTemplate(Kind::TokenWithoutEntry, Severity::Error, at,
                QStringLiteral("%1 holds %2, which names no entry, so the merge stops at %3.")
                    .arg(holder, quoted(outcome.token), quoted(token)),
                entry, token)
                .fromValue
                = true;
            break;
        case O::Loop: {
            const qint64 target = assembly::tokenLineIndex(outcome.token).entry;
            addAtTemplate(Kind::ValueRefersToItself, Severity::Error, at,
                QStringLiteral("%1 holds %2, which leads back to entry %3, so the merge refuses to "
                               "fill %4.")
                    .arg(holder, quoted(outcome.token))
                    .arg(target)
                    .arg(quoted(token)),
                entry, token)
                .fromValue
                = true;
            break;
        }
        }
    }

    // Overwrite mode: the value takes the token's place and then that of the
    // text characters after it. The room a form leaves for it is the token
    // and the fill after it (underscores, dots, spaces); what goes beyond
    // overwrites the form's own words. Returns the bytes overwritten after
    // the token, as the merge counts them.
    qsizetype TemplateChecker::checkRoom(qsizetype at, const QByteArray &token, qint64 entry)
    {
        const QByteArrayView text(m_prepared.text);
        const qsizetype tokenLength = token.size();
        const qint64 beyondToken = m_values->overwrittenAfter(token);
        if (beyondToken == 0)
            return 0;
        // A value's length in characters, as far as overwriting goes (with
        // the values put in through its own tokens).
        const qint64 length = tokenLength + beyondToken;
        const qsizetype after = at + tokenLength;
        const qsizetype taken
            = assembly::overwritableLength(text.sliced(after), beyondToken, m_rules);

        qsizetype fillEnd = after;
        while (fillEnd < text.size()
            && assembly::overwritableLength(text.sliced(fillEnd), 1, m_rules) == 1
            && QByteArrayView("_. ").contains(text[fillEnd]))
            ++fillEnd;
        const qint64 room = tokenLength + (fillEnd - after);
        if (length <= room)
            return taken;

        const qint64 excess = length - room;
        const qsizetype beyond
            = assembly::overwritableLength(text.sliced(fillEnd), excess, m_rules);
        qint64 overwritten = 0;
        for (qsizetype k = fillEnd; k < fillEnd + beyond; ++overwritten)
            k += assembly::overwritableLength(text.sliced(k), 1, m_rules);
        const qint64 pushedIn = excess - overwritten;

        QString detail
            = QStringLiteral("The value of %1, %2 characters, is longer than the room that "
                             "%3 and its fill leave (%4)")
                  .arg(entryName(entry, m_values->heading(entry)))
                  .arg(length)
                  .arg(quoted(token))
                  .arg(plural(room, QStringLiteral("character"), QStringLiteral("characters")));
        if (overwritten > 0)
            detail += QStringLiteral(": it overwrites %1")
                          .arg(quoted(shownText(text.sliced(fillEnd, beyond))));
        if (pushedIn > 0)
            detail
                += QStringLiteral("%1 %2 pushed in before the formatting that follows, moving the "
                                  "rest of the line")
                       .arg(overwritten > 0 ? QStringLiteral(" and has")
                                            : QStringLiteral(": it has"))
                       .arg(plural(
                           pushedIn, QStringLiteral("character"), QStringLiteral("characters")));
        addAtTemplate(Kind::ValueTooLong, Severity::Warning, at, detail + u'.', entry, token)
            .fromValue
            = true;
        return taken;
    }

    // An "@" that starts no token ends the merge: whatever follows stays as
    // it is, tokens included.
    void TemplateChecker::strayAt(qsizetype at)
    {
        const QByteArray digits = m_source->digitsAfterFormatting(at, m_rules);
        const std::size_t index = m_findings.size();
        if (!digits.isEmpty()) {
            const QByteArray token = '@' + digits;
            const QString start
                = QStringLiteral("The token %1 is split by formatting (%2), so the merge "
                                 "never finds it and ends at its \"@\"")
                      .arg(quoted(token), quoted(m_source->excerpt(at, 16)));
            addAtTemplate(Kind::SplitToken, Severity::Error, at, start, 0, token);
            m_earlyEnds.push_back({ index, at, start, true });
            return;
        }
        const QString start
            = QStringLiteral("The \"@\" in %1 has no digit after it, so the merge ends here")
                  .arg(quoted(m_source->excerpt(at, 20), 60));
        addAtTemplate(Kind::MergeEndsEarly, Severity::Error, at, start);
        m_earlyEnds.push_back({ index, at, start, false });
    }

    void TemplateChecker::finishEarlyEnds()
    {
        for (const EarlyEnd &end : m_earlyEnds) {
            const auto first = std::upper_bound(m_tokens.begin(), m_tokens.end(), end.at,
                [](qsizetype at, const Token &token) { return at < token.at; });
            const qint64 later = m_tokens.end() - first;
            Finding &finding = m_findings[end.finding];
            if (later == 0) {
                finding.detail = end.start + QStringLiteral(", where no token follows.");
                if (!end.alwaysError)
                    finding.severity = Severity::Note;
                continue;
            }
            QStringList shown;
            // Looking further than this for a sixth token of another number
            // would make a template of many ends and tokens slow to check.
            const auto stop = m_tokens.end() - first > 1000 ? first + 1000 : m_tokens.end();
            auto it = first;
            for (; it != stop && shown.size() < 6; ++it) {
                const QString token = QString::fromLatin1(it->token.left(12)).trimmed();
                if (!shown.contains(token))
                    shown.append(token);
            }
            if (it != m_tokens.end())
                shown.append(QStringLiteral("..."));
            finding.detail = end.start
                + QStringLiteral(", leaving the %1 after it unfilled (%2).")
                      .arg(plural(later, QStringLiteral("token"), QStringLiteral("tokens")),
                          shown.join(QStringLiteral(", ")));
        }
    }

    void TemplateChecker::placeInDocument()
    {
        std::vector<qsizetype> offsets;
        std::vector<std::size_t> findings;
        for (std::size_t i = 0; i < m_findings.size(); ++i) {
            if (m_findingAt[i] >= 0 && m_findings[i].kind != Kind::UnusableTemplate) {
                offsets.push_back(m_findingAt[i]);
                findings.push_back(i);
            }
        }
        const std::vector<int> positions
            = textPositions(*m_source, m_prepared.rtf, m_prepared.codePage, offsets);
        for (std::size_t k = 0; k < findings.size(); ++k)
            m_findings[findings[k]].textPosition = positions[k];
    }

} // namespace

std::vector<Finding> checkTemplate(const QByteArray &templateBytes,
    const assembly::InformationLines &information, const CheckOptions &options)
{
    return TemplateChecker(templateBytes, information, options).run();
}

} // namespace documents
