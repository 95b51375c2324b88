// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/decode_check_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

#include "window/qt_text.h"

namespace jt4dds {

DecodeCheckBar::DecodeCheckBar(QWidget* parent, std::function<double()> snrDb)
    : QWidget(parent), snrDb_(std::move(snrDb)) {
    button_ = new QPushButton(QStringLiteral("Check with &jt9"), this);
    button_->setObjectName(QStringLiteral("CheckWithJt9"));
    button_->setAutoDefault(false);
    button_->setToolTip(
        QStringLiteral("Decode %1 noisy minutes with jt9 from WSJT-X, as a receiver would").arg(kMinutes));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("Jt9Progress"));
    progress_->setRange(0, kMinutes);
    progress_->setFormat(QStringLiteral("%v of %m minutes"));
    progress_->hide();
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("Jt9Result"));
    result_->setTextFormat(Qt::PlainText);
    result_->setWordWrap(true);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(button_);
    layout->addWidget(progress_);
    layout->addWidget(result_, 1);
    connect(button_, &QPushButton::clicked, this, &DecodeCheckBar::startOrCancel);
    connect(&watcher_, &QFutureWatcherBase::finished, this, &DecodeCheckBar::finished);
}

DecodeCheckBar::~DecodeCheckBar() {
    if (cancel_) cancel_->store(true);
    watcher_.waitForFinished();
}

void DecodeCheckBar::setBeacon(const Beacon& beacon) {
    beacon_ = beacon;
    if (!running() && checked_ != beacon_) result_->clear();
}

QString DecodeCheckBar::result() const { return result_->text(); }

void DecodeCheckBar::startOrCancel() {
    if (running()) {
        cancel_->store(true);
        button_->setEnabled(false);
        return;
    }
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    busy_ = true;
    checked_ = beacon_;
    progress_->setValue(0);
    progress_->show();
    result_->setText(QStringLiteral("jt9 is decoding…"));
    button_->setText(QStringLiteral("Cancel &jt9"));
    const QPointer<QProgressBar> bar = progress_;
    watcher_.setFuture(QtConcurrent::run([beacon = beacon_, snr = snrDb_(), cancel = cancel_, bar] {
        return decodeCheck(
            evaluate(beacon), kMinutes, snr,
            [bar](int done) {
                QMetaObject::invokeMethod(bar, [bar, done] {
                    if (bar) bar->setValue(done);
                });
            },
            cancel.get());
    }));
}

void DecodeCheckBar::finished() {
    busy_ = false;
    progress_->hide();
    button_->setEnabled(true);
    button_->setText(QStringLiteral("Check with &jt9"));
    const auto answer = watcher_.result();
    if (const auto* why = std::get_if<std::string>(&answer)) {
        result_->setText(qs("cannot check: " + *why));
        return;
    }
    const DecodeCheck& check = std::get<DecodeCheck>(answer);
    const bool cancelled = cancel_->load() && static_cast<int>(check.minutes.size()) < kMinutes;
    result_->setText(qs(decodeCheckLine(check) + (cancelled ? " (cancelled)" : "")));
}

}  // namespace jt4dds
