// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/waterfall.h"

#include <kiss_fftr.h>

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "calc/number_format.h"
#include "window/qt_text.h"

namespace jt4dds {
namespace {

constexpr int kFrame = 2048;
constexpr double kRowS = 0.25;
constexpr double kRangeDb = 60.0;

// Dark blue through cyan and yellow to white, as weak-signal waterfalls are.
QRgb colourOf(double level) {
    constexpr std::array<std::array<double, 3>, 5> kStops{
        {{0.0, 0.0, 0.12}, {0.0, 0.25, 0.6}, {0.0, 0.75, 0.85}, {1.0, 0.9, 0.0}, {1.0, 1.0, 1.0}}};
    const double x = std::clamp(level, 0.0, 1.0) * (kStops.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(x), kStops.size() - 2);
    const double t = x - static_cast<double>(i);
    const auto mix = [&](std::size_t c) {
        return static_cast<int>(255.0 * (kStops[i][c] * (1 - t) + kStops[i + 1][c] * t));
    };
    return qRgb(mix(0), mix(1), mix(2));
}

struct FftrFree {
    void operator()(kiss_fftr_cfg cfg) const { kiss_fftr_free(cfg); }
};

}  // namespace

Spectrogram spectrogramOf(const std::vector<std::int16_t>& samples, double lowHz, double highHz) {
    Spectrogram out;
    out.lowHz = lowHz;
    out.highHz = highHz;
    out.secondsPerRow = kRowS;
    const double binHz = static_cast<double>(kAudioRate) / kFrame;
    const int first = std::clamp(static_cast<int>(std::floor(lowHz / binHz)), 0, kFrame / 2);
    const int last = std::clamp(static_cast<int>(std::ceil(highHz / binHz)), first + 1, kFrame / 2);
    const int rows = static_cast<int>(kMinuteS / kRowS);
    const int hop = static_cast<int>(kRowS * kAudioRate);
    std::vector<double> power(static_cast<std::size_t>(rows) * static_cast<std::size_t>(last - first), 0.0);

    const std::unique_ptr<kiss_fftr_state, FftrFree> fft(kiss_fftr_alloc(kFrame, 0, nullptr, nullptr));
    std::vector<kiss_fft_scalar> frame(kFrame);
    std::vector<kiss_fft_cpx> bins(kFrame / 2 + 1);
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
        kiss_fftr(fft.get(), frame.data(), bins.data());
        for (int b = first; b < last; ++b) {
            const kiss_fft_cpx c = bins[static_cast<std::size_t>(b)];
            const double p = static_cast<double>(c.r) * c.r + static_cast<double>(c.i) * c.i;
            power[static_cast<std::size_t>(row) * static_cast<std::size_t>(last - first) +
                  static_cast<std::size_t>(b - first)] = p;
            loudest = std::max(loudest, p);
        }
    }
    out.image = QImage(last - first, rows, QImage::Format_RGB32);
    const double floorDb = 10.0 * std::log10(std::max(loudest, 1e-12)) - kRangeDb;
    for (int row = 0; row < rows; ++row) {
        auto* line = reinterpret_cast<QRgb*>(out.image.scanLine(row));
        for (int b = 0; b < last - first; ++b) {
            const double p = power[static_cast<std::size_t>(row) * static_cast<std::size_t>(last - first) +
                                   static_cast<std::size_t>(b)];
            const double db = p > 0.0 ? 10.0 * std::log10(p) : floorDb;
            line[b] = colourOf((db - floorDb) / kRangeDb);
        }
    }
    out.lowHz = first * binHz;
    out.highHz = last * binHz;
    return out;
}

Waterfall::Waterfall(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Waterfall"));
    setMinimumHeight(160);
}

void Waterfall::show(Spectrogram spectrogram, std::optional<std::array<double, 4>> gridHz) {
    spectrogram_ = std::move(spectrogram);
    gridHz_ = gridHz;
    setAccessibleDescription(QStringLiteral("The minute's waterfall, %1 to %2 Hz, time down")
                                 .arg(qs(decimalText(spectrogram_.lowHz, 0)), qs(decimalText(spectrogram_.highHz, 0))));
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
    const double step = span > 2000 ? 500 : span > 800 ? 200 : 100;
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
    QString text = QStringLiteral("The data tones cannot be measured against a grid.");
    if (fit_) {
        text =
            QStringLiteral("Data tones off their best even grid: %1 Hz RMS (note beyond %2 Hz, warning beyond %3 Hz); ")
                .arg(qs(decimalText(fit_->rmsHz, 2)), qs(decimalText(noteHz, 1)), qs(decimalText(warningHz, 1)));
        QStringList tones;
        for (std::size_t k = 0; k < 4; ++k)
            tones << QStringLiteral("tone %1 %2 Hz").arg(k).arg(qs(decimalText(fit_->residualHz[k], 2)));
        text += tones.join(QStringLiteral(", "));
    }
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
    const double reach = std::max({warningHz_ * 1.5, fit_->worstHz * 1.1, 1.0});
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
        const QString label = QStringLiteral("%1 Hz").arg(qs(signedText(hz, 1)));
        p.drawText(QRectF(xOf(hz) - 30, area.bottom() + 1, 60, 14), Qt::AlignCenter, label);
    }
}

}  // namespace jt4dds
