#include "app/dialogs/templatecheckdialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { KindColumn, DetailColumn, PlaceColumn };

// Where the row's finding sits in the list, for rows that are findings.
constexpr int findingIndexRole = Qt::UserRole;

QIcon severityIcon(const QStyle *style, documents::Severity severity)
{
    switch (severity) {
    case documents::Severity::Error:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case documents::Severity::Warning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case documents::Severity::Note:
        break;
    }
    return style->standardIcon(QStyle::SP_MessageBoxInformation);
}

} // namespace

TemplateCheckDialog::TemplateCheckDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TemplateCheckDialog"));
    setWindowTitle(QStringLiteral("Check Template"));
    setModal(false);

    m_subject = new QLabel(this);
    m_subject->setWordWrap(true);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("FindingsList"));
    m_list->setColumnCount(3);
    m_list->setHeaderLabels(
        { QStringLiteral("Kind"), QStringLiteral("Detail"), QStringLiteral("Where") });
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    QHeaderView *header = m_list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(KindColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(DetailColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(PlaceColumn, QHeaderView::ResizeToContents);
    // Rows stay one line each, so the list reads at a glance; the whole
    // sentence of the current row stands under the list.
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        m_detail->setText(item ? item->text(DetailColumn) : QString());
    });
    // Double-click and Enter both activate a row.
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        const QVariant index = item->data(KindColumn, findingIndexRole);
        if (index.isValid())
            emit findingChosen(index.toInt());
    });

    m_detail = new QLabel(this);
    m_detail->setObjectName(QStringLiteral("DetailText"));
    m_detail->setWordWrap(true);
    m_detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_detail->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_detail->setMargin(4);
    // Two or three lines of the longest sentences without a jump in size.
    m_detail->setMinimumHeight(3 * fontMetrics().lineSpacing() + 10);
    m_detail->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLine"));
    m_status->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    // Enter in the list chooses a row; it must not close the window too.
    for (QAbstractButton *button : buttons->buttons()) {
        if (auto *push = qobject_cast<QPushButton *>(button))
            push->setAutoDefault(false);
    }
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_subject);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_detail);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(760, 360);
}

void TemplateCheckDialog::setFindings(
    std::vector<documents::Finding> findings, const QString &subject)
{
    m_findings = std::move(findings);
    m_subject->setText(subject);
    m_status->clear();
    m_list->clear();
    m_detail->clear();
    if (m_findings.empty()) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setIcon(KindColumn, style()->standardIcon(QStyle::SP_DialogApplyButton));
        item->setText(DetailColumn, QStringLiteral("No problems found."));
        return;
    }
    for (std::size_t i = 0; i < m_findings.size(); ++i) {
        const documents::Finding &finding = m_findings[i];
        auto *item = new QTreeWidgetItem(m_list);
        item->setData(KindColumn, findingIndexRole, int(i));
        item->setIcon(KindColumn, severityIcon(style(), finding.severity));
        item->setText(KindColumn, documents::kindName(finding.kind));
        item->setToolTip(KindColumn, documents::severityName(finding.severity));
        item->setText(DetailColumn, finding.detail);
        item->setToolTip(DetailColumn, finding.detail);
        item->setText(PlaceColumn, placeText(finding));
    }
    m_list->setCurrentItem(m_list->topLevelItem(0));
}

void TemplateCheckDialog::setStatus(const QString &text)
{
    m_status->setText(text);
}

QString TemplateCheckDialog::status() const
{
    return m_status->text();
}

QString TemplateCheckDialog::placeText(const documents::Finding &finding)
{
    if (finding.place == documents::Finding::Place::Information)
        return QStringLiteral("Information line %1").arg(finding.line);
    return QStringLiteral("%1:%2").arg(finding.line).arg(finding.column);
}
