#pragma once

// Every question printing puts to the user goes through one PrintDialogs
// object: the print dialog (for the whole document or a range of preview
// pages), the page setup dialog and the printer's messages. The real one
// opens Qt's modal dialogs; ScriptedPrintDialogs answers from queues a test
// fills and records what was asked, so tests run without a modal loop.

#include "print/printtypes.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

class QPrinter;
class QWidget;

namespace print {

struct PageSetupValues;

class PrintDialogs
{
public:
    virtual ~PrintDialogs() = default;

    // The print dialog over `printer` (printer, copies, PDF file when no
    // printer is installed). True when the user confirmed.
    virtual bool print(QWidget *parent, QPrinter &printer);
    // The print dialog offering pages `first`..`last`, all of them chosen
    // at first: the range chosen, or nothing when the user cancelled.
    virtual std::optional<std::pair<int, int>> printRange(QWidget *parent, QPrinter &printer, int first, int last);
    // The Page Setup window on `values` (paper, orientation, margins and
    // what is drawn around the text). On OK the edited values replace
    // `values` and the answer is true; on cancel `values` and the printer
    // stay as they were. Its "Printer..." button opens the printer's own
    // properties on `printer`.
    virtual bool pageSetup(QWidget *parent, QPrinter &printer, PageSetupValues &values, PageOptions options);
    // An error message with an OK button.
    virtual void error(QWidget *parent, const QString &text);
};

class ScriptedPrintDialogs : public PrintDialogs
{
public:
    // Unanswered questions get the cautious answer (cancel) and count as
    // unexpected.
    void setNextConfirm(bool confirm) { m_confirms.enqueue(confirm); }
    void setNextRange(std::optional<std::pair<int, int>> range) { m_ranges.enqueue(range); }
    // The next Page Setup: `edit` is what the user changes in the window
    // (it sees the values shown even when the user then cancels).
    using PageSetupEdit = std::function<void(PageSetupValues &)>;
    void setNextPageSetup(bool confirm, PageSetupEdit edit = {}) { m_pageSetups.enqueue({confirm, std::move(edit)}); }

    bool print(QWidget *parent, QPrinter &printer) override;
    std::optional<std::pair<int, int>> printRange(QWidget *parent, QPrinter &printer, int first, int last) override;
    bool pageSetup(QWidget *parent, QPrinter &printer, PageSetupValues &values, PageOptions options) override;
    void error(QWidget *parent, const QString &text) override;

    // What was asked, in order: "print", "printRange 1-3", "pageSetup",
    // and the error texts.
    const QStringList &asked() const { return m_asked; }
    const QStringList &errors() const { return m_errors; }
    int unexpected() const { return m_unexpected; }

private:
    QQueue<bool> m_confirms;
    QQueue<std::optional<std::pair<int, int>>> m_ranges;
    QQueue<std::pair<bool, PageSetupEdit>> m_pageSetups;
    QStringList m_asked;
    QStringList m_errors;
    int m_unexpected = 0;
};

} // namespace print
