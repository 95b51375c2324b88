// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calc/check/plan_check.h"
#include "calc/transmission/minute.h"
#include "calc/tuning/beacon.h"
#include "calc/tuning/calculation_run.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTemporaryFile;

namespace jt4dds {

class AudioPlayer;

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

class DecodeCheckBar;
class ToneGridStrip;
class Waterfall;

// "Transmission": the beacon's message, CW identification, speed, the
// minute's switches and timer, as typed; the message's symbols, the minute
// drawn to scale, and what the plan check finds of them. Below, the minute
// as its receiver hears it: the waterfall of the simulated audio (with or
// without noise), the data tones against their ideal grid, Play and Save
// WAV. Non-modal; every edit is handed to `edited` at once, and show()
// follows each change.
class TransmissionView final : public QDialog {
    Q_OBJECT

public:
    using Edited = std::function<void(const Beacon&)>;
    // `exportFirmware` is what Export firmware… does.
    TransmissionView(QWidget* parent, Edited edited, std::function<void()> exportFirmware);

    // Shows the transmission of the press's beacon and the press's findings.
    void show(const Press& press, const std::vector<Finding>& findings);

    // The audio the waterfall shows and Play and Save WAV use: empty when the
    // beacon has no minute to hear.
    const std::vector<std::int16_t>& heardAudio() const { return audio_; }
    // Writes heardAudio() as a WAV file; the reason when it cannot.
    std::optional<std::string> saveWav(const QString& path) const;

private:
    void edit();
    void hear();
    void play();
    void chooseWavFile();

    Edited edited_;
    Beacon shown_;
    bool filling_ = false;
    QLineEdit* message_ = nullptr;
    QLineEdit* cwId_ = nullptr;
    QSpinBox* wpm_ = nullptr;
    QCheckBox* cw_ = nullptr;
    QCheckBox* carrier_ = nullptr;
    QLineEdit* timerHz_ = nullptr;
    QComboBox* mcu_ = nullptr;
    QLineEdit* mcuClock_ = nullptr;
    QPushButton* exportFirmware_ = nullptr;
    QLabel* sent_ = nullptr;
    QPlainTextEdit* symbols_ = nullptr;
    MinuteTimeline* timeline_ = nullptr;
    QLabel* findings_ = nullptr;
    QCheckBox* noisy_ = nullptr;
    QDoubleSpinBox* snr_ = nullptr;
    QPushButton* play_ = nullptr;
    QPushButton* saveWav_ = nullptr;
    QLabel* playStatus_ = nullptr;  // why the last minute could not be played
    QLabel* receiver_ = nullptr;
    DecodeCheckBar* decodeCheck_ = nullptr;
    Waterfall* waterfall_ = nullptr;
    ToneGridStrip* grid_ = nullptr;
    AudioPlayer* player_ = nullptr;
    QTemporaryFile* playing_ = nullptr;
    Press press_;
    std::vector<std::int16_t> audio_;
};

}  // namespace jt4dds
