// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/find_settings.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "calc/numbers/number_format.h"
#include "calc/tuning/dds_chip.h"
#include "formats/search_output.h"
#include "window/qt_text.h"

namespace jt4dds {
namespace {

constexpr int kSortKeyRole = Qt::UserRole + 1;
constexpr int kCandidateRole = Qt::UserRole + 2;

// A cell that sorts by the number it shows, not by its text ("96" before "192").
class SortedItem final : public QTableWidgetItem {
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem& other) const override {
        return data(kSortKeyRole).toDouble() < other.data(kSortKeyRole).toDouble();
    }
};

}  // namespace

FindSettings::FindSettings(QWidget* parent, BeaconSource beacon, Use use, SetDds setDds)
    : QDialog(parent), beacon_(std::move(beacon)), use_(std::move(use)), setDds_(std::move(setDds)) {
    setObjectName(QStringLiteral("FindSettings"));
    setWindowTitle(QStringLiteral("Find settings"));
    setModal(false);

    chip_ = new QComboBox(this);
    chip_->setObjectName(QStringLiteral("DdsChip"));
    chip_->addItem(QStringLiteral("(none)"), QString());
    for (const DdsChip& chip : kDdsChips) {
        chip_->addItem(qs(ddsChipLine(chip)), qs(chip.name));
        chip_->setItemData(chip_->count() - 1, qs(ddsChipLine(chip)), Qt::ToolTipRole);
    }
    chip_->setToolTip(
        QStringLiteral("The DDS chip: the search and the plan check keep the Master Reference at or "
                       "under its maximum clock; saved with the beacon"));
    maxClock_ = new QLineEdit(this);
    maxClock_->setObjectName(QStringLiteral("MaxClock"));
    maxClock_->setToolTip(QStringLiteral("The fastest Master Reference the DDS takes, MHz; empty for the chip's"));
    mults_ = new QLineEdit(qs(kDefaultMultiplications), this);
    mults_->setObjectName(QStringLiteral("Multiplications"));
    refs_ = new QLineEdit(qs(kDefaultReferencesMHz), this);
    refs_->setObjectName(QStringLiteral("References"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&DDS chip"), chip_);
    form->addRow(QStringLiteral("Ma&ximum clock, MHz"), maxClock_);
    form->addRow(QStringLiteral("RF &multiplications"), mults_);
    form->addRow(QStringLiteral("Master &references, MHz"), refs_);

    searchButton_ = new QPushButton(QStringLiteral("&Search"), this);
    searchButton_->setObjectName(QStringLiteral("Search"));
    rejectedButton_ = new QPushButton(QStringLiteral("Show re&jected"), this);
    rejectedButton_->setObjectName(QStringLiteral("ShowRejected"));
    rejectedButton_->setCheckable(true);
    rejectedButton_->setEnabled(false);
    useButton_ = new QPushButton(QStringLiteral("&Use and calculate"), this);
    useButton_->setObjectName(QStringLiteral("Use"));
    useButton_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(searchButton_);
    buttons->addWidget(rejectedButton_);
    buttons->addStretch();
    buttons->addWidget(useButton_);

    status_ = new QLabel(QStringLiteral("Lists of values and ranges such as 1-192, 24,27,32 or 10-1000/0.5."), this);
    status_->setObjectName(QStringLiteral("SearchStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    rejected_ = new QLabel(this);
    rejected_->setObjectName(QStringLiteral("Rejected"));
    rejected_->setWordWrap(true);
    rejected_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    rejected_->hide();

    table_ = textTable(this, QStringLiteral("Candidates"), kCandidateHeadings);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->horizontalHeader()->setToolTip(
        QStringLiteral("Click a heading to sort by it; the search's order is best first"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(status_);
    layout->addWidget(rejected_);
    layout->addWidget(table_, 1);

    connect(searchButton_, &QPushButton::clicked, this, &FindSettings::search);
    connect(mults_, &QLineEdit::returnPressed, this, &FindSettings::search);
    connect(refs_, &QLineEdit::returnPressed, this, &FindSettings::search);
    connect(chip_, &QComboBox::currentIndexChanged, this, &FindSettings::ddsEdited);
    connect(maxClock_, &QLineEdit::textEdited, this, &FindSettings::ddsEdited);
    connect(maxClock_, &QLineEdit::returnPressed, this, &FindSettings::search);
    connect(rejectedButton_, &QPushButton::toggled, rejected_, &QLabel::setVisible);
    connect(useButton_, &QPushButton::clicked, this, &FindSettings::useSelected);
    connect(table_, &QTableWidget::cellDoubleClicked, this, &FindSettings::useSelected);
    connect(table_, &QTableWidget::itemSelectionChanged, this,
            [this] { useButton_->setEnabled(!table_->selectedItems().isEmpty()); });
    connect(&watcher_, &QFutureWatcher<SearchResult>::finished, this, &FindSettings::showResult);
}

FindSettings::~FindSettings() {
    stop();
    watcher_.waitForFinished();
}

void FindSettings::stop() {
    if (cancel_) cancel_->store(true);
}

void FindSettings::closeEvent(QCloseEvent* event) {
    stop();
    QDialog::closeEvent(event);
}

void FindSettings::showDds(const Beacon& beacon) {
    const bool defaultRefs = refs_->text() == qs(defaultReferences(shownDds_));
    shownDds_.takeDds(beacon);
    const QSignalBlocker blockChip(chip_);
    const QSignalBlocker blockClock(maxClock_);
    const DdsChip* chip = ddsChip(beacon.dds);
    chip_->setCurrentIndex(chip ? chip_->findData(qs(chip->name)) : 0);
    maxClock_->setText(qs(beacon.maxClockMHz));
    maxClock_->setPlaceholderText(chip ? qs(decimalText(chip->maxClockMHz, 0)) : QString());
    if (defaultRefs) refs_->setText(qs(defaultReferences(beacon)));
}

void FindSettings::ddsEdited() {
    const std::string clock = maxClock_->text().trimmed().toStdString();
    if (!clock.empty() && !readMaxClockMHz(clock)) {
        status_->setText(QStringLiteral("Maximum clock: a clock in MHz above 0 and at most 100000, such as 180"));
        return;
    }
    Beacon chosen;
    chosen.dds = chip_->currentData().toString().toStdString();
    chosen.maxClockMHz = clock;
    const bool defaultRefs = refs_->text() == qs(defaultReferences(shownDds_));
    shownDds_.takeDds(chosen);
    setDds_(chosen.dds, chosen.maxClockMHz);
    const DdsChip* chip = ddsChip(chosen.dds);
    maxClock_->setPlaceholderText(chip ? qs(decimalText(chip->maxClockMHz, 0)) : QString());
    if (defaultRefs) refs_->setText(qs(defaultReferences(chosen)));
}

void FindSettings::search() {
    stop();
    watcher_.waitForFinished();
    table_->setRowCount(0);
    rejected_->clear();
    rejectedButton_->setEnabled(false);
    auto lists = readCandidateLists(mults_->text().toStdString(), refs_->text().toStdString());
    if (const auto* why = std::get_if<std::string>(&lists)) {
        status_->setText(qs(*why));
        return;
    }
    status_->setText(QStringLiteral("Searching\u2026"));
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    // The worker has copies of everything it reads; the window goes on.
    watcher_.setFuture(
        QtConcurrent::run([beacon = beacon_(), l = std::get<CandidateLists>(std::move(lists)), cancel = cancel_] {
            return findSettings(beacon, l.mults, l.refs, {}, cancel.get());
        }));
}

void FindSettings::showResult() {
    result_ = watcher_.result();
    if (result_.cancelled) return;
    status_->setText(qs(searchStatus(result_)));
    const std::string rejected = rejectedLines(result_);
    rejected_->setText(qs(rejected));
    rejectedButton_->setEnabled(!rejected.empty());
    // Filled unsorted, in the search's order; a click on a heading sorts.
    table_->setSortingEnabled(false);
    table_->setRowCount(static_cast<int>(result_.best.size()));
    for (std::size_t r = 0; r < result_.best.size(); ++r) {
        const auto cells = candidateCells(result_.best[r]);
        const auto keys = candidateSortKeys(result_.best[r]);
        for (std::size_t col = 0; col < cells.size(); ++col) {
            auto* item = new SortedItem(qs(cells[col]));
            item->setData(kSortKeyRole, keys[col]);
            item->setData(kCandidateRole, static_cast<int>(r));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(static_cast<int>(r), static_cast<int>(col), item);
        }
    }
    // No column sorted until the operator asks: the search's order stands.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);
    if (!result_.best.empty()) table_->selectRow(0);
}

void FindSettings::useSelected() {
    const int row = table_->currentRow();
    const QTableWidgetItem* item = row < 0 ? nullptr : table_->item(row, 0);
    if (item == nullptr) return;
    const int index = item->data(kCandidateRole).toInt();
    if (index < 0 || index >= static_cast<int>(result_.best.size())) return;
    use_(result_.best[static_cast<std::size_t>(index)]);
}

}  // namespace jt4dds
