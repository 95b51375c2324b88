// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFutureWatcher>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <variant>

#include "calc/tuning/beacon.h"
#include "session/decode_check.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace jt4dds {

// "Check with jt9": decodes the beacon's minute with the station's own jt9,
// N times in noise at the SNR the view shows, off the window's thread, with
// a progress bar and Cancel; then "decodes k of N at -22 dB", or why it
// cannot (no jt9, and how to get it; PI4; no message).
class DecodeCheckBar final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMinutes = 6;
    DecodeCheckBar(QWidget* parent, std::function<double()> snrDb);
    ~DecodeCheckBar() override;

    // The beacon a check decodes from now on; a result about another is cleared.
    void setBeacon(const Beacon& beacon);
    // Starts a check, or cancels the one running.
    void startOrCancel();
    // From the start until its result is shown.
    bool running() const { return busy_; }
    QString result() const;

private:
    void finished();

    std::function<double()> snrDb_;
    Beacon beacon_;
    Beacon checked_;
    QPushButton* button_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* result_ = nullptr;
    bool busy_ = false;
    std::shared_ptr<std::atomic<bool>> cancel_;
    QFutureWatcher<std::variant<DecodeCheck, std::string>> watcher_;
};

}  // namespace jt4dds
