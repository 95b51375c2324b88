// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/find_settings.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "formats/search_output.h"
#include "window/qt_text.h"

namespace jt4dds {
namespace {}  // namespace

FindSettings::FindSettings(QWidget* parent, BeaconSource beacon, Use use)
    : QDialog(parent), beacon_(std::move(beacon)), use_(std::move(use)) {
    setObjectName(QStringLiteral("FindSettings"));
    setWindowTitle(QStringLiteral("Find settings"));
    setModal(false);

    mults_ = new QLineEdit(qs(kDefaultMultiplications), this);
    mults_->setObjectName(QStringLiteral("Multiplications"));
    refs_ = new QLineEdit(qs(kDefaultReferencesMHz), this);
    refs_->setObjectName(QStringLiteral("References"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("RF &multiplications"), mults_);
    form->addRow(QStringLiteral("Master &references, MHz"), refs_);

    searchButton_ = new QPushButton(QStringLiteral("&Search"), this);
    searchButton_->setObjectName(QStringLiteral("Search"));
    useButton_ = new QPushButton(QStringLiteral("&Use and calculate"), this);
    useButton_->setObjectName(QStringLiteral("Use"));
    useButton_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(searchButton_);
    buttons->addStretch();
    buttons->addWidget(useButton_);

    status_ = new QLabel(QStringLiteral("Lists of values and ranges such as 1-192, 24,27,32 or 10-1000/0.5."), this);
    status_->setObjectName(QStringLiteral("SearchStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    table_ = textTable(this, QStringLiteral("Candidates"), kCandidateHeadings);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(status_);
    layout->addWidget(table_, 1);

    connect(searchButton_, &QPushButton::clicked, this, &FindSettings::search);
    connect(mults_, &QLineEdit::returnPressed, this, &FindSettings::search);
    connect(refs_, &QLineEdit::returnPressed, this, &FindSettings::search);
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

void FindSettings::search() {
    stop();
    watcher_.waitForFinished();
    table_->setRowCount(0);
    const auto mults = parseCandidateList(mults_->text().toStdString());
    const auto refs = parseCandidateList(refs_->text().toStdString());
    if (const auto* why = std::get_if<std::string>(&mults)) {
        status_->setText(QStringLiteral("RF multiplications: ") + qs(*why));
        return;
    }
    if (const auto* why = std::get_if<std::string>(&refs)) {
        status_->setText(QStringLiteral("Master references: ") + qs(*why));
        return;
    }
    status_->setText(QStringLiteral("Searching\u2026"));
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    // The worker has copies of everything it reads; the window goes on.
    watcher_.setFuture(QtConcurrent::run([beacon = beacon_(), m = std::get<0>(mults), r = std::get<0>(refs),
                                          cancel = cancel_] { return findSettings(beacon, m, r, {}, cancel.get()); }));
}

void FindSettings::showResult() {
    result_ = watcher_.result();
    if (result_.cancelled) return;
    QString status = QString::number(result_.judged) + QStringLiteral(" candidates judged, ") +
                     QString::number(result_.rejected) + QStringLiteral(" rejected. ");
    status += result_.best.empty() ? qs(result_.reason)
                                   : QStringLiteral("Best first; double-click a row to use it and calculate.");
    status_->setText(status);
    table_->setRowCount(static_cast<int>(result_.best.size()));
    for (std::size_t r = 0; r < result_.best.size(); ++r) {
        setTextRow(table_, static_cast<int>(r), candidateCells(result_.best[r]), kCandidateHeadings.size());
    }
    if (!result_.best.empty()) table_->selectRow(0);
}

void FindSettings::useSelected() {
    const int row = table_->currentRow();
    if (row < 0 || row >= static_cast<int>(result_.best.size())) return;
    use_(result_.best[static_cast<std::size_t>(row)]);
}

}  // namespace jt4dds
