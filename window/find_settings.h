// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QFutureWatcher>
#include <atomic>
#include <functional>
#include <memory>

#include "calc/beacon.h"
#include "calc/settings_search.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace jt4dds {

// "Find settings": the two candidate lists, a search that runs beside the
// window (which stays responsive), the ranked table, and a way to take a row
// into the window's fields. Non-modal.
class FindSettings final : public QDialog {
    Q_OBJECT

public:
    // `beacon` gives the fields as the window holds them when a search
    // starts; `use` puts a chosen multiplication and reference into the window.
    using BeaconSource = std::function<Beacon()>;
    using Use = std::function<void(const Candidate&)>;
    FindSettings(QWidget* parent, BeaconSource beacon, Use use);
    ~FindSettings() override;

    // Starts a search with the lists as they stand; a running one is stopped first.
    void search();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void stop();
    void showResult();
    void useSelected();

    BeaconSource beacon_;
    Use use_;
    QLineEdit* mults_ = nullptr;
    QLineEdit* refs_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QPushButton* useButton_ = nullptr;
    QLabel* status_ = nullptr;
    QTableWidget* table_ = nullptr;

    std::shared_ptr<std::atomic<bool>> cancel_;
    QFutureWatcher<SearchResult> watcher_;
    SearchResult result_;
};

}  // namespace jt4dds
