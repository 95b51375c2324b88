// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/transmission_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryFile>
#include <QTextOption>
#include <QUrl>
#include <QVBoxLayout>

#include "calc/hearing/simulation.h"
#include "calc/numbers/number_format.h"
#include "calc/transmission/controller.h"
#include "formats/outputs.h"
#include "formats/search_output.h"
#include "formats/wav.h"
#include "window/audio_player.h"
#include "window/decode_check_bar.h"
#include "window/qt_text.h"
#include "window/save_folder.h"
#include "window/waterfall.h"

namespace jt4dds {
namespace {

QColor bandColour(Keyed keyed) {
    switch (keyed) {
        case Keyed::Symbols:
            return {0x4a, 0x7f, 0xc1};
        case Keyed::CwKeying:
            return {0xe0, 0x9a, 0x2b};
        case Keyed::Reference:
            break;
    }
    return {0x5a, 0xa8, 0x5a};
}

}  // namespace

MinuteTimeline::MinuteTimeline(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MinuteTimeline"));
    setMinimumHeight(48);
}

void MinuteTimeline::show(const std::vector<Segment>& segments) {
    segments_ = segments;
    const QString text = qs(timelineText(segments_));
    setAccessibleDescription(text);
    setToolTip(plainToolTip(text));
    update();
}

void MinuteTimeline::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -16);
    const double perSecond = area.width() / kMinuteS;
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(area);
    // Ten-second ticks under the band, with their seconds.
    for (int second = 0; second <= 60; second += 10) {
        const double x = area.left() + second * perSecond;
        p.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4));
        // The first and last label stay inside the widget.
        const double left = second == 0 ? x : second == 60 ? x - 40 : x - 20;
        const Qt::Alignment along = second == 0 ? Qt::AlignLeft : second == 60 ? Qt::AlignRight : Qt::AlignHCenter;
        p.drawText(QRectF(left, area.bottom() + 3, 40, 14), QString::number(second), QTextOption(along | Qt::AlignTop));
    }
    for (const Segment& s : segments_) {
        const double right = std::min(s.endS(), kMinuteS + 1.0);
        const QRectF band(area.left() + s.startS * perSecond, area.top() + 2, (right - s.startS) * perSecond,
                          area.height() - 4);
        p.fillRect(band, bandColour(s.keyed));
        p.setPen(Qt::white);
        p.drawText(band.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                   fontMetrics().elidedText(qs(s.name), Qt::ElideRight, static_cast<int>(band.width()) - 6));
    }
}

TransmissionView::TransmissionView(QWidget* parent, Edited edited, std::function<void()> exportFirmware)
    : QDialog(parent), edited_(std::move(edited)) {
    setObjectName(QStringLiteral("Transmission"));
    setWindowTitle(QStringLiteral("Transmission"));
    setModal(false);
    const auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    message_ = named(new QLineEdit(this), "Message");
    message_->setPlaceholderText(QStringLiteral("CQ K1ABC FN42, or OZ7IGY for PI4"));
    cwId_ = named(new QLineEdit(this), "CwId");
    cwId_->setPlaceholderText(QStringLiteral("OZ7IGY JO55"));
    wpm_ = named(new QSpinBox(this), "Wpm");
    wpm_->setRange(kMinWpm, kMaxWpm);
    wpm_->setSuffix(QStringLiteral(" WPM"));
    cw_ = named(new QCheckBox(QStringLiteral("&CW identification after the message"), this), "SendCw");
    carrier_ = named(new QCheckBox(QStringLiteral("Ca&rrier after it, to 59.5 s"), this), "SendCarrier");
    timerHz_ = named(new QLineEdit(this), "TimerHz");
    timerHz_->setPlaceholderText(QStringLiteral("the controller's timer in Hz, for the firmware files"));
    mcu_ = named(new QComboBox(this), "Mcu");
    for (const Mcu mcu : {Mcu::Atmega328p, Mcu::Pic16f628a}) mcu_->addItem(qs(std::string(mcuName(mcu))));
    mcuClock_ = named(new QLineEdit(this), "McuClock");
    exportFirmware_ = named(new QPushButton(QStringLiteral("Export &firmware\u2026"), this), "ExportFirmware");
    exportFirmware_->setAutoDefault(false);
    sent_ = named(new QLabel(this), "Sent");
    sent_->setTextFormat(Qt::PlainText);
    sent_->setWordWrap(true);
    symbols_ = named(new QPlainTextEdit(this), "Symbols");
    symbols_->setReadOnly(true);
    symbols_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    timeline_ = new MinuteTimeline(this);
    findings_ = named(new QLabel(this), "TransmissionFindings");
    findings_->setTextFormat(Qt::PlainText);
    findings_->setWordWrap(true);
    noisy_ = named(new QCheckBox(QStringLiteral("&Noise at"), this), "Noisy");
    snr_ = named(new QDoubleSpinBox(this), "Snr");
    snr_->setRange(-40.0, 20.0);
    snr_->setDecimals(0);
    snr_->setValue(-22.0);
    snr_->setSuffix(QStringLiteral(" dB in 2500 Hz"));
    play_ = named(new QPushButton(QStringLiteral("&Play"), this), "Play");
    saveWav_ = named(new QPushButton(QStringLiteral("Save &WAV\u2026"), this), "SaveWav");
    // Enter in a field is no press of Play: no button here is the dialog's default.
    for (QPushButton* button : {play_, saveWav_}) button->setAutoDefault(false);
    playStatus_ = named(new QLabel(this), "PlayStatus");
    playStatus_->setTextFormat(Qt::PlainText);
    playStatus_->setWordWrap(true);
    receiver_ = named(new QLabel(this), "Receiver");
    receiver_->setTextFormat(Qt::PlainText);
    receiver_->setWordWrap(true);
    receiver_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    waterfall_ = new Waterfall(this);
    grid_ = new ToneGridStrip(this);
    decodeCheck_ = new DecodeCheckBar(this, [this] { return snr_->value(); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Message:"), message_);
    form->addRow(QStringLiteral("CW &identification:"), cwId_);
    form->addRow(QStringLiteral("CW &speed:"), wpm_);
    form->addRow(QString(), cw_);
    form->addRow(QString(), carrier_);
    form->addRow(QStringLiteral("&Timer, Hz:"), timerHz_);
    auto* controller = new QHBoxLayout;
    controller->addWidget(mcu_);
    auto* clockLabel = new QLabel(QStringLiteral("c&lock, Hz:"), this);
    clockLabel->setBuddy(mcuClock_);
    controller->addWidget(clockLabel);
    controller->addWidget(mcuClock_, 1);
    controller->addWidget(exportFirmware_);
    auto* controllerLabel = new QLabel(QStringLiteral("C&ontroller:"), this);
    controllerLabel->setBuddy(mcu_);
    form->addRow(controllerLabel, controller);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(sent_);
    layout->addWidget(symbols_, 1);
    layout->addWidget(timeline_);
    layout->addWidget(findings_);
    auto* hearing = new QHBoxLayout;
    hearing->addWidget(noisy_);
    hearing->addWidget(snr_);
    hearing->addStretch(1);
    hearing->addWidget(play_);
    hearing->addWidget(saveWav_);
    layout->addLayout(hearing);
    layout->addWidget(playStatus_);
    layout->addWidget(decodeCheck_);
    layout->addWidget(receiver_);
    layout->addWidget(waterfall_, 2);
    layout->addWidget(grid_);
    layout->setContentsMargins(6, 6, 6, 6);

    for (QLineEdit* field : {message_, cwId_, timerHz_, mcuClock_})
        connect(field, &QLineEdit::textEdited, this, &TransmissionView::edit);
    connect(mcu_, &QComboBox::activated, this, &TransmissionView::edit);
    connect(exportFirmware_, &QPushButton::clicked, this, std::move(exportFirmware));
    connect(wpm_, &QSpinBox::valueChanged, this, &TransmissionView::edit);
    for (QCheckBox* box : {cw_, carrier_}) connect(box, &QCheckBox::toggled, this, &TransmissionView::edit);
    connect(noisy_, &QCheckBox::toggled, this, &TransmissionView::hear);
    connect(snr_, &QDoubleSpinBox::valueChanged, this, [this] {
        if (noisy_->isChecked()) hear();
    });
    connect(play_, &QPushButton::clicked, this, &TransmissionView::play);
    connect(saveWav_, &QPushButton::clicked, this, &TransmissionView::chooseWavFile);
}

// The minute as the receiver hears it, from the last press: the audio, its
// waterfall and the data tones against their grid.
void TransmissionView::hear() {
    const std::optional<Noise> noise = noisy_->isChecked() ? std::optional(Noise{snr_->value(), 1}) : std::nullopt;
    auto heard = hearMinute(press_, noise);
    const auto receiver = heard ? std::optional(heard->receiver) : receiverOf(press_);
    const RunFigures& f = press_.figures;
    const auto fit = receiver ? realisedGrid(*receiver, f.spacingNumber) : std::nullopt;
    audio_ = heard ? std::move(heard->samples) : std::vector<std::int16_t>();
    if (heard) {
        const AudioSpan span = heardSpan(heard->parts);
        waterfall_->show(spectrogramOf(audio_, span.lowHz, span.highHz),
                         fit ? std::optional(gridLines(*fit, f.spacingNumber)) : std::nullopt);
    } else {
        waterfall_->show({}, std::nullopt);
    }
    receiver_->setText(qs(hearingText(press_, heard)));
    const GridTolerance limits = gridTolerance(f.spacingNumber);
    grid_->show(fit, limits.noteHz, limits.warningHz);
    play_->setEnabled(!audio_.empty());
    saveWav_->setEnabled(!audio_.empty());
}

std::optional<std::string> TransmissionView::saveWav(const QString& path) const {
    if (audio_.empty()) return std::string("there is no minute to save: type a message");
    return writeWavFile(path.toStdString(), audio_, kAudioRate);
}

void TransmissionView::chooseWavFile() {
    // Named as the page names its downloads: the beacon's name, else the call
    // in its message, else its frequency.
    QFileDialog dialog(this, QStringLiteral("Save WAV"), proposedSavePath(qs(downloadStem(press_.beacon) + ".wav")),
                       QStringLiteral("WAV audio (*.wav);;All files (*)"));
    dialog.setObjectName(QStringLiteral("SaveWavDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("wav"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().constFirst();
    if (const auto why = saveWav(path))
        QMessageBox::warning(this, QStringLiteral("WAV not saved"), qs(*why));
    else
        rememberSaveFolder(path);
}

// Plays the minute through jt4dds-play, from a temporary WAV file so that
// the platform's player does any resampling its output needs; what stops it
// early is said under the buttons.
void TransmissionView::play() {
    if (!player_) {
        player_ = new AudioPlayer(this);
        connect(player_, &AudioPlayer::playingChanged, this,
                [this](bool playing) { play_->setText(playing ? QStringLiteral("S&top") : QStringLiteral("&Play")); });
        connect(player_, &AudioPlayer::stopped, this, [this](const QString& why) {
            playStatus_->setText(why.isEmpty() ? QString() : QStringLiteral("cannot play: ") + why);
        });
    }
    if (player_->playing()) {
        player_->stop();
        return;
    }
    delete playing_;
    playing_ = new QTemporaryFile(QDir::tempPath() + QStringLiteral("/jt4dds-XXXXXX.wav"), this);
    if (!playing_->open()) return;
    const std::string bytes = wavFile(audio_, kAudioRate);
    playing_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    playing_->flush();
    playStatus_->clear();
    if (!player_->play(playing_->fileName())) playStatus_->setText(QStringLiteral("cannot play: ") + player_->why());
}

void TransmissionView::edit() {
    if (filling_) return;
    Beacon edited = shown_;
    edited.message = message_->text().toStdString();
    edited.cwId = cwId_->text().toStdString();
    edited.wpm = std::to_string(wpm_->value());
    edited.cw = cw_->isChecked();
    edited.carrier = carrier_->isChecked();
    edited.timerHz = timerHz_->text().trimmed().toStdString();
    // A beacon that names no controller keeps naming none until one is chosen.
    if (!(shown_.mcu.empty() && mcu_->currentIndex() == 0)) edited.mcu = mcu_->currentText().toStdString();
    edited.mcuClockHz = mcuClock_->text().trimmed().toStdString();
    edited_(edited);
}

void TransmissionView::show(const Press& press, const std::vector<Finding>& findings) {
    const Beacon& beacon = press.beacon;
    press_ = press;
    shown_ = beacon;
    filling_ = true;
    // Only what differs is set, so that the operator's cursor stays where it is.
    const auto fill = [](QLineEdit* field, const std::string& text) {
        if (field->text() != qs(text)) field->setText(qs(text));
    };
    fill(message_, beacon.message);
    fill(cwId_, beacon.cwId);
    fill(timerHz_, beacon.timerHz);
    fill(mcuClock_, beacon.mcuClockHz);
    const auto mcu = beacon.mcu.empty() ? std::optional(Mcu::Atmega328p) : mcuNamed(beacon.mcu);
    mcu_->setCurrentIndex(mcu == Mcu::Pic16f628a ? 1 : 0);
    mcuClock_->setPlaceholderText(
        qs(decimalText(defaultClockHz(mcu.value_or(Mcu::Atmega328p)), 0) + " (the chip's usual)"));
    bool whole = false;
    const int wpm = qs(beacon.wpm).toInt(&whole);
    wpm_->setValue(whole ? wpm : Sequence{}.wpm);
    cw_->setChecked(beacon.cw);
    carrier_->setChecked(beacon.carrier);
    filling_ = false;

    const auto planned = planTransmission(beacon);
    sent_->setText(qs(sentText(planned)));
    if (const auto* t = std::get_if<Transmission>(&planned)) {
        symbols_->setPlainText(qs(symbolRows(t->message.symbols)));
        timeline_->show(t->minute.segments);
    } else {
        symbols_->clear();
        timeline_->show({});
    }
    findings_->setText(qs(minuteFindingsText(findings)));
    decodeCheck_->setBeacon(beacon);
    hear();
    if (!isVisible()) placeBeside(this, parentWidget(), QSize(700, 820).expandedTo(minimumSizeHint()));
    QDialog::show();
}

}  // namespace jt4dds
