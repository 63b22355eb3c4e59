#include "print/printdialogs.h"

#include "print/pagesetupform.h"

#include <QAbstractPrintDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace print {

bool PrintDialogs::print(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<std::pair<int, int>> PrintDialogs::printRange(QWidget *parent, QPrinter &printer, int first, int last)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(first, last);
    printer.setFromTo(first, last);
    printer.setPrintRange(QPrinter::AllPages);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0)
        return std::pair(qMax(first, printer.fromPage()), qMin(last, printer.toPage()));
    return std::pair(first, last);
}

bool PrintDialogs::pageSetup(QWidget *parent, QPrinter &printer, PageSetupValues &values, PageOptions options)
{
    // The printer's properties dialog edits the printer at once; a
    // cancelled Page Setup puts its layout back.
    const QPageLayout before = printer.pageLayout();
    PageSetupForm form(values, options, parent);
    form.setPrinterCallback([&form, &printer] {
        QPageSetupDialog dialog(&printer, &form);
        dialog.exec();
    });
    if (form.exec() != QDialog::Accepted) {
        printer.setPageLayout(before);
        return false;
    }
    values = form.values();
    return true;
}

void PrintDialogs::error(QWidget *parent, const QString &text)
{
    QMessageBox::critical(parent, QString(), text);
}

bool ScriptedPrintDialogs::print(QWidget *, QPrinter &)
{
    m_asked << QStringLiteral("print");
    if (m_confirms.isEmpty()) {
        ++m_unexpected;
        return false;
    }
    return m_confirms.dequeue();
}

std::optional<std::pair<int, int>> ScriptedPrintDialogs::printRange(QWidget *, QPrinter &, int first, int last)
{
    m_asked << QStringLiteral("printRange %1-%2").arg(first).arg(last);
    if (m_ranges.isEmpty()) {
        ++m_unexpected;
        return std::nullopt;
    }
    return m_ranges.dequeue();
}

bool ScriptedPrintDialogs::pageSetup(QWidget *, QPrinter &, PageSetupValues &values, PageOptions)
{
    m_asked << QStringLiteral("pageSetup");
    if (m_pageSetups.isEmpty()) {
        ++m_unexpected;
        return false;
    }
    const auto [confirm, edit] = m_pageSetups.dequeue();
    // The window edits a copy: a cancel leaves the caller's values alone.
    PageSetupValues edited = values;
    if (edit)
        edit(edited);
    if (confirm)
        values = edited;
    return confirm;
}

void ScriptedPrintDialogs::error(QWidget *, const QString &text)
{
    m_asked << text;
    m_errors << text;
}

} // namespace print
