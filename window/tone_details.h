// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "calc/check/plan_check.h"
#include "calc/tuning/calculation_run.h"

class QLabel;
class QPlainTextEdit;
class QTableWidget;

namespace jt4dds {

// "Tone details": the per-tone table of the last press (planned and realised
// output, error, word) and every finding with its fix. Non-modal; the main
// window refreshes it after each press while it is open.
class ToneDetails final : public QDialog {
    Q_OBJECT

public:
    // `apply` types a fix's edits and presses Calculate.
    using ApplyFix = std::function<void(const FixEdits&)>;
    ToneDetails(QWidget* parent, ApplyFix apply);

    void show(const Press& outcome, const std::vector<Finding>& findings);

private:
    QLabel* summary_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPlainTextEdit* findings_ = nullptr;
    // One "Apply fix" button for each fix of the last press's findings.
    QWidget* fixes_ = nullptr;
    ApplyFix apply_;
};

}  // namespace jt4dds
