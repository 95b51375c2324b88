// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>
#include <vector>

#include "calc/beacon.h"
#include "calc/minute.h"
#include "calc/plan_check.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace jt4dds {

// The minute drawn to scale, 0 to 60 s: each part a band named after what it
// sends and the word it keys. Its accessible description lists the parts.
class MinuteTimeline final : public QWidget {
public:
    explicit MinuteTimeline(QWidget* parent);
    void show(const std::vector<Segment>& segments);
    QSize sizeHint() const override { return {640, 56}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<Segment> segments_;
};

// "Transmission": the beacon's message, CW identification, speed, the
// minute's switches and timer, as typed; the message's symbols, the minute
// drawn to scale, and what the plan check finds of them. Non-modal; every
// edit is handed to `edited` at once, and show() follows each change.
class TransmissionView final : public QDialog {
    Q_OBJECT

public:
    using Edited = std::function<void(const Beacon&)>;
    TransmissionView(QWidget* parent, Edited edited);

    // Shows `beacon`'s transmission and the findings of its last press.
    void show(const Beacon& beacon, const std::vector<Finding>& findings);

private:
    void edit();

    Edited edited_;
    Beacon shown_;
    bool filling_ = false;
    QLineEdit* message_ = nullptr;
    QLineEdit* cwId_ = nullptr;
    QSpinBox* wpm_ = nullptr;
    QCheckBox* cw_ = nullptr;
    QCheckBox* carrier_ = nullptr;
    QLineEdit* timerHz_ = nullptr;
    QLabel* sent_ = nullptr;
    QPlainTextEdit* symbols_ = nullptr;
    MinuteTimeline* timeline_ = nullptr;
    QLabel* findings_ = nullptr;
};

}  // namespace jt4dds
