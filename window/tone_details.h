// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <vector>

#include "calc/calculation_run.h"
#include "calc/plan_check.h"

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
    explicit ToneDetails(QWidget* parent);

    void show(const Press& outcome, const std::vector<Finding>& findings);

private:
    QLabel* summary_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPlainTextEdit* findings_ = nullptr;
};

}  // namespace jt4dds
