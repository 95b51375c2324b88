// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calc/hearing/simulation.h"

namespace jt4dds {

// The spectrogram of a minute as decoding programs draw it: time down, audio
// frequency across from about `lowHz` to `highHz`, brighter for more power;
// the core's waterfallPicture, which the page paints too. Any samples; rows
// past the audio's end are dark.
struct Spectrogram {
    QImage image;        // one pixel a row and a bin
    double lowHz = 0.0;  // the bins' span
    double highHz = 0.0;
    double secondsPerRow = 0.0;
    std::string description;  // what it shows, in words
};
Spectrogram spectrogramOf(const std::vector<std::int16_t>& samples, double lowHz, double highHz);

// The waterfall: the spectrogram scaled to the widget, 10 s ticks down the
// left, the frequency scale across the top, and the four data tones' ideal
// grid (fitted to them, as a decoder locks on) as dashed lines.
class Waterfall final : public QWidget {
public:
    explicit Waterfall(QWidget* parent);
    void show(Spectrogram spectrogram, std::optional<std::array<double, 4>> gridHz);
    const Spectrogram& spectrogram() const { return spectrogram_; }
    QSize sizeHint() const override { return {640, 260}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Spectrogram spectrogram_;
    std::optional<std::array<double, 4>> gridHz_;
};

// The data tones against their ideal grid, to scale in hertz: each tone's
// distance from the fitted grid as a dot on its own row, with the plan
// check's note and warning lines (RMS) shaded about zero.
class ToneGridStrip final : public QWidget {
public:
    explicit ToneGridStrip(QWidget* parent);
    // `fit` of the realised tones and the mode's lines; nothing clears it.
    void show(const std::optional<GridFit>& fit, double noteHz, double warningHz);
    QSize sizeHint() const override { return {640, 84}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<GridFit> fit_;
    double noteHz_ = 0.0;
    double warningHz_ = 0.0;
};

}  // namespace jt4dds
