// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QFutureWatcher>
#include <atomic>
#include <functional>
#include <memory>

#include "calc/check/settings_search.h"
#include "calc/tuning/beacon.h"

class QComboBox;
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
    // starts; `use` puts a chosen multiplication and reference into the
    // window; `setDds` gives it the DDS chip and maximum clock chosen here.
    using BeaconSource = std::function<Beacon()>;
    using Use = std::function<void(const Candidate&)>;
    using SetDds = std::function<void(const std::string& chip, const std::string& maxClockMHz)>;
    FindSettings(QWidget* parent, BeaconSource beacon, Use use, SetDds setDds);
    ~FindSettings() override;

    // Starts a search with the lists as they stand; a running one is stopped first.
    void search();
    // Shows `beacon`'s DDS chip and maximum clock; the references follow
    // them while they are the default list.
    void showDds(const Beacon& beacon);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void stop();
    void showResult();
    void useSelected();
    void ddsEdited();

    BeaconSource beacon_;
    Use use_;
    SetDds setDds_;
    QComboBox* chip_ = nullptr;
    QLineEdit* maxClock_ = nullptr;
    QPushButton* rejectedButton_ = nullptr;
    QLabel* rejected_ = nullptr;
    Beacon shownDds_;  // the DDS chip and maximum clock shown
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
