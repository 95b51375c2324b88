// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/tone_details.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "calc/number_format.h"
#include "formats/outputs.h"

namespace jt4dds {
namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

ToneDetails::ToneDetails(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ToneDetails"));
    setWindowTitle(QStringLiteral("Tone details"));
    setModal(false);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("ToneSummary"));
    summary_->setWordWrap(true);
    table_ = new QTableWidget(0, static_cast<int>(kToneTableHeadings.size()), this);
    table_->setObjectName(QStringLiteral("ToneTable"));
    QStringList headings;
    for (std::string_view heading : kToneTableHeadings) headings << qs(heading);
    table_->setHorizontalHeaderLabels(headings);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    findings_ = new QPlainTextEdit(this);
    findings_->setObjectName(QStringLiteral("Findings"));
    findings_->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 3);
    layout->addWidget(findings_, 2);
    resize(760, 460);
}

void ToneDetails::show(const RunOutcome& outcome, const std::vector<Finding>& findings) {
    const RunFigures& f = outcome.figures;
    QString summary;
    if (!f.configLabel.empty()) {
        summary = qs(planSummary(f));
        if (f.resolutionHz) summary += qs(", resolution " + decimalText(*f.resolutionHz, 4) + " Hz");
        summary += QStringLiteral(", nominal data-tone spacing ") +
                   qs(decimalText(nominalSpacingHz(f.spacingNumber), 4)) + QStringLiteral(" Hz");
    } else {
        summary = QStringLiteral("No tones were calculated in the last press.");
    }
    summary_->setText(summary);

    const auto rows = toneTableCells(f);
    table_->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(qs(rows[r][c]));
            if (c < 6) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    findings_->setPlainText(findings.empty() ? QStringLiteral("No findings: the words make this beacon as typed.")
                                             : qs(findingsText(findings)));
    QDialog::show();
}

}  // namespace jt4dds
