// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/waterfall.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "formats/heard_view.h"
#include "window/qt_text.h"

namespace jt4dds {
Spectrogram spectrogramOf(const std::vector<std::int16_t>& samples, double lowHz, double highHz) {
    WaterfallPicture picture = waterfallPicture(samples, lowHz, highHz);
    Spectrogram out;
    out.image =
        QImage(picture.rgba.data(), picture.width, picture.rows, qsizetype{4} * picture.width, QImage::Format_RGBA8888)
            .convertToFormat(QImage::Format_RGB32);
    out.lowHz = picture.bins.lowHz;
    out.highHz = picture.bins.highHz;
    out.secondsPerRow = kWaterfallRowS;
    out.description = std::move(picture.description);
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
        // The last second's label stays inside the picture, not half under its edge.
        p.drawText(QRectF(0, std::min(y - 7, height() - 14.0), 26, 14), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(second));
    }
    // Hertz across the top, at a round step; the last label kept inside.
    const double step = frequencyStepHz(span);
    for (double hz = std::ceil(spectrogram_.lowHz / step) * step; hz <= spectrogram_.highHz; hz += step) {
        const QString label = QString::number(hz, 'f', 0);
        const double half = fontMetrics().horizontalAdvance(label) / 2.0 + 1;
        const double x = std::min(xOf(hz), width() - half);
        p.drawText(QRectF(x - 30, 0, 60, 14), Qt::AlignCenter, label);
    }
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
    // The ends' labels stand inside the strip, from its edges inwards.
    const double labelTop = area.bottom() + 1;
    p.drawText(QRectF(xOf(-reach), labelTop, 80, 14), Qt::AlignLeft | Qt::AlignVCenter, qs(toneGridScaleText(-reach)));
    p.drawText(QRectF(xOf(0) - 40, labelTop, 80, 14), Qt::AlignCenter, qs(toneGridScaleText(0.0)));
    p.drawText(QRectF(xOf(reach) - 80, labelTop, 80, 14), Qt::AlignRight | Qt::AlignVCenter,
               qs(toneGridScaleText(reach)));
}

}  // namespace jt4dds
