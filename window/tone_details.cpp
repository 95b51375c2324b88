// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/tone_details.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "calc/numbers/number_format.h"
#include "formats/outputs.h"
#include "window/qt_text.h"

namespace jt4dds {
namespace {}  // namespace

ToneDetails::ToneDetails(QWidget* parent, ApplyFix apply) : QDialog(parent), apply_(std::move(apply)) {
    setObjectName(QStringLiteral("ToneDetails"));
    setWindowTitle(QStringLiteral("Tone details"));
    setModal(false);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("ToneSummary"));
    summary_->setWordWrap(true);
    summary_->setTextFormat(Qt::PlainText);  // it quotes what was typed
    table_ = textTable(this, QStringLiteral("ToneTable"), kToneTableHeadings);
    findings_ = new QPlainTextEdit(this);
    findings_->setObjectName(QStringLiteral("Findings"));
    findings_->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 3);
    layout->addWidget(findings_, 2);
    fixes_ = new QWidget(this);
    fixes_->setObjectName(QStringLiteral("Fixes"));
    auto* fixRow = new QHBoxLayout(fixes_);
    fixRow->setContentsMargins(0, 0, 0, 0);
    fixRow->addStretch();
    layout->addWidget(fixes_);
    // Every row of the table in view, whatever else has to scroll.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setMinimumSectionSize(table_->fontMetrics().height() + 4);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setMinimumHeight(heightForRows(table_, kToneCount));
    findings_->setMinimumHeight(findings_->fontMetrics().lineSpacing() * 2 + 2 * findings_->frameWidth() + 8);
    // Room is scarce on a small screen at 200 %: the dialog's own margins stay narrow.
    layout->setContentsMargins(6, 6, 6, 6);
}

void ToneDetails::show(const Press& outcome, const std::vector<Finding>& findings) {
    const RunFigures& f = outcome.figures;
    summary_->setText(qs(toneDetailsSummary(f)));

    const auto rows = toneTableCells(f);
    table_->setRowCount(static_cast<int>(rows.size()));
    // Every column but the tone's name holds a number.
    for (std::size_t r = 0; r < rows.size(); ++r) setTextRow(table_, static_cast<int>(r), rows[r], 6);
    findings_->setPlainText(qs(toneDetailsFindings(findings)));
    // The buttons follow the findings: one per fix, in the findings' order.
    for (QPushButton* old : fixes_->findChildren<QPushButton*>()) delete old;
    auto* fixRow = static_cast<QHBoxLayout*>(fixes_->layout());
    int at = 0;
    for (const Finding& finding : findings) {
        for (const FixEdits& edits : finding.fixes) {
            // From the keyboard: Alt+A applies the first fix, Alt+2 to Alt+9
            // the others; one letter for all of them only moved the focus.
            const QString label = at == 0  ? QStringLiteral("&Apply fix: ")
                                  : at < 9 ? QStringLiteral("Apply fix &%1: ").arg(at + 1)
                                           : QStringLiteral("Apply fix: ");
            auto* button = new QPushButton(label + qs(fixCaption(edits)), fixes_);
            button->setObjectName(QStringLiteral("ApplyFix"));
            button->setToolTip(plainToolTip(qs(findingLine(finding))));
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, edits] { apply_(edits); });
            fixRow->insertWidget(at++, button);
        }
    }
    fixes_->setVisible(at > 0);
    if (!isVisible()) placeBeside(this, parentWidget(), QSize(760, 480).expandedTo(minimumSizeHint()));
    QDialog::show();
}

}  // namespace jt4dds
