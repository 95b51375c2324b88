// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/waterfall.h"

#include <kiss_fftr.h>

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "formats/heard_view.h"
#include "window/qt_text.h"

namespace jt4dds {
namespace {

struct FftrFree {
    void operator()(kiss_fftr_cfg cfg) const { kiss_fftr_free(cfg); }
};

}  // namespace

Spectrogram spectrogramOf(const std::vector<std::int16_t>& samples, double lowHz, double highHz) {
    constexpr int kFrame = kWaterfallFrame;
    const WaterfallBins bins = waterfallBins(lowHz, highHz);
    const int first = bins.first;
    const int width = bins.last - bins.first;
    const int rows = static_cast<int>(kMinuteS / kWaterfallRowS);
    const int hop = static_cast<int>(kWaterfallRowS * kAudioRate);
    std::vector<double> power(static_cast<std::size_t>(rows) * static_cast<std::size_t>(width), 0.0);

    const std::unique_ptr<kiss_fftr_state, FftrFree> fft(kiss_fftr_alloc(kFrame, 0, nullptr, nullptr));
    std::vector<kiss_fft_scalar> frame(kFrame);
    std::vector<kiss_fft_cpx> spectrum(kFrame / 2 + 1);
    std::array<float, kFrame> hann{};
    for (int i = 0; i < kFrame; ++i)
        hann[static_cast<std::size_t>(i)] =
            static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kFrame));
    double loudest = 0.0;
    for (int row = 0; row < rows; ++row) {
        // Each frame centred on its row's time.
        const long start = static_cast<long>(row) * hop + hop / 2 - kFrame / 2;
        for (int i = 0; i < kFrame; ++i) {
            const long at = start + i;
            const bool inside = at >= 0 && static_cast<std::size_t>(at) < samples.size();
            frame[static_cast<std::size_t>(i)] =
                inside ? static_cast<float>(samples[static_cast<std::size_t>(at)]) * hann[static_cast<std::size_t>(i)]
                       : 0.0F;
        }
        kiss_fftr(fft.get(), frame.data(), spectrum.data());
        for (int b = 0; b < width; ++b) {
            const kiss_fft_cpx c = spectrum[static_cast<std::size_t>(first) + static_cast<std::size_t>(b)];
            const double p = static_cast<double>(c.r) * c.r + static_cast<double>(c.i) * c.i;
            power[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(b)] = p;
            loudest = std::max(loudest, p);
        }
    }
    Spectrogram out;
    out.image = QImage(width, rows, QImage::Format_RGB32);
    const double floorDb = 10.0 * std::log10(std::max(loudest, 1e-12)) - kWaterfallRangeDb;
    for (int row = 0; row < rows; ++row) {
        auto* line = reinterpret_cast<QRgb*>(out.image.scanLine(row));
        for (int b = 0; b < width; ++b) {
            const double p =
                power[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(b)];
            const double db = p > 0.0 ? 10.0 * std::log10(p) : floorDb;
            const auto [r, g, bl] = waterfallColour((db - floorDb) / kWaterfallRangeDb);
            line[b] = qRgb(r, g, bl);
        }
    }
    out.lowHz = bins.lowHz;
    out.highHz = bins.highHz;
    out.secondsPerRow = kWaterfallRowS;
    out.description = waterfallDescription(bins);
    return out;
}

Waterfall::Waterfall(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Waterfall"));
    setMinimumHeight(160);
}

void Waterfall::show(Spectrogram spectrogram, std::optional<std::array<double, 4>> gridHz) {
    spectrogram_ = std::move(spectrogram);
    gridHz_ = gridHz;
    setAccessibleDescription(qs(spectrogram_.description));
    update();
}

void Waterfall::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF area = QRectF(rect()).adjusted(28, 16, -1, -1);
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (spectrogram_.image.isNull()) return;
    p.drawImage(area, spectrogram_.image);
    const double span = spectrogram_.highHz - spectrogram_.lowHz;
    const auto xOf = [&](double hz) { return area.left() + (hz - spectrogram_.lowHz) / span * area.width(); };
    p.setPen(palette().color(QPalette::WindowText));
    // Seconds down the left, every 10 s.
    for (int second = 0; second <= 60; second += 10) {
        const double y = area.top() + second / kMinuteS * area.height();
        p.drawText(QRectF(0, y - 7, 26, 14), Qt::AlignRight | Qt::AlignVCenter, QString::number(second));
    }
    // Hertz across the top, at a round step.
    const double step = frequencyStepHz(span);
    for (double hz = std::ceil(spectrogram_.lowHz / step) * step; hz <= spectrogram_.highHz; hz += step)
        p.drawText(QRectF(xOf(hz) - 30, 0, 60, 14), Qt::AlignCenter, QString::number(hz, 'f', 0));
    if (gridHz_) {
        QPen dashed(QColor(255, 255, 255, 150));
        dashed.setStyle(Qt::DashLine);
        p.setPen(dashed);
        for (const double hz : *gridHz_) p.drawLine(QPointF(xOf(hz), area.top()), QPointF(xOf(hz), area.bottom()));
    }
}

ToneGridStrip::ToneGridStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ToneGrid"));
    setMinimumHeight(72);
}

void ToneGridStrip::show(const std::optional<GridFit>& fit, double noteHz, double warningHz) {
    fit_ = fit;
    noteHz_ = noteHz;
    warningHz_ = warningHz;
    const QString text = qs(toneGridDescription(fit, noteHz, warningHz));
    setAccessibleDescription(text);
    setToolTip(plainToolTip(text));
    update();
}

void ToneGridStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF area = QRectF(rect()).adjusted(60, 4, -8, -16);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(area);
    if (!fit_) return;
    // The scale: at least the warning line both ways, and every tone.
    const double reach = toneGridReachHz(*fit_, warningHz_);
    const auto xOf = [&](double hz) { return area.center().x() + hz / reach * area.width() / 2.0; };
    const QColor warning(0xe0, 0x5a, 0x4a, 60);
    const QColor note(0xe0, 0xb0, 0x2b, 60);
    p.fillRect(QRectF(QPointF(xOf(-reach), area.top()), QPointF(xOf(-warningHz_), area.bottom())), warning);
    p.fillRect(QRectF(QPointF(xOf(warningHz_), area.top()), QPointF(xOf(reach), area.bottom())), warning);
    p.fillRect(QRectF(QPointF(xOf(-warningHz_), area.top()), QPointF(xOf(-noteHz_), area.bottom())), note);
    p.fillRect(QRectF(QPointF(xOf(noteHz_), area.top()), QPointF(xOf(warningHz_), area.bottom())), note);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawLine(QPointF(xOf(0), area.top()), QPointF(xOf(0), area.bottom()));
    const double rowHeight = area.height() / 4.0;
    for (std::size_t k = 0; k < 4; ++k) {
        const double y = area.top() + (static_cast<double>(k) + 0.5) * rowHeight;
        p.drawText(QRectF(0, y - 7, 56, 14), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("tone %1").arg(k));
        p.setBrush(palette().color(QPalette::Highlight));
        p.drawEllipse(QPointF(xOf(fit_->residualHz[k]), y), 4, 4);
    }
    for (const double hz : {-reach, 0.0, reach}) {
        p.drawText(QRectF(xOf(hz) - 30, area.bottom() + 1, 60, 14), Qt::AlignCenter, qs(toneGridScaleText(hz)));
    }
}

}  // namespace jt4dds
