// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the README's pictures from the program's own window on a display
// (scripts/pictures runs it on a virtual one): the main window after a press
// of the beacon given, and its Transmission view hearing the minute at
// -16 dB; and the controllers' wiring. Each picture is the widget as Qt paints it, without the desktop's
// frame, in a fixed font and style so that a machine with other fonts or
// another desktop draws the same pixels.
//   make_pictures BEACON-FILE OUT-DIR              writes main-window.png, transmission.png and wiring.png
//   make_pictures BEACON-FILE OUT-DIR --compare DIR  and fails when DIR's differ in a pixel
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTest>
#include <cstdio>
#include <string_view>

#include "formats/firmware_source.h"
#include "window/main_window.h"
#include "window/program_window.h"

namespace {

// Saves `image` as OUT-DIR/NAME; compares it with COMPARE-DIR/NAME when given.
// The count of pictures that differ or could not be written.
int picture(const QImage& image, const QString& outDir, const QString& name, const QString& compareDir) {
    const QString path = QDir(outDir).filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%s: %dx%d\n", qPrintable(path), image.width(), image.height());
    if (compareDir.isEmpty()) return 0;
    const QString kept = QDir(compareDir).filePath(name);
    const QImage was = QImage(kept).convertToFormat(QImage::Format_RGB32);
    if (was != image) {
        std::fprintf(stderr,
                     "make_pictures: %s differs from the window as it draws now (%dx%d against %dx%d): "
                     "the window changed; remake the pictures with scripts/pictures\n",
                     qPrintable(kept), was.width(), was.height(), image.width(), image.height());
        return 1;
    }
    return 0;
}

// The same for what `widget` paints.
int picture(QWidget* widget, const QString& outDir, const QString& name, const QString& compareDir) {
    // A blinking text cursor would be in one picture and not in the next.
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    QApplication::processEvents();
    return picture(widget->grab().toImage().convertToFormat(QImage::Format_RGB32), outDir, name, compareDir);
}

// The controllers' default wiring, from the table the firmware files'
// comments are written from: the DDS module in the middle, the ATmega328P
// (Arduino) on its left and the PIC16F628A on its right, each wire named;
// the minute pulse below, into both.
QImage wiring() {
    constexpr int kWidth = 720;
    constexpr int kRow = 26;
    constexpr int kTop = 56;
    QImage image(kWidth, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(QApplication::font());
    const auto box = [&p](const QRect& r, const QString& title) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(0xEE, 0xF3, 0xFA));
        p.drawRect(r);
        p.drawText(r.adjusted(0, 6, 0, 0), Qt::AlignHCenter | Qt::AlignTop, title);
    };
    const QRect avr(10, 10, 200, 160);
    const QRect dds(280, 10, 160, 160);
    const QRect pic(510, 10, 200, 160);
    const QRect pulse(230, 230, 260, 56);
    box(avr, QStringLiteral("ATmega328P (Arduino)"));
    box(dds, QStringLiteral("DDS module\nAD9850 / AD9851"));
    box(pic, QStringLiteral("PIC16F628A"));
    box(pulse, QStringLiteral("minute pulse\nGPS 1PPS / 60, or a button"));
    int row = 0;
    for (const jt4dds::ControllerPin& pin : jt4dds::kControllerPins) {
        const QString avrPin = QString::fromLatin1(pin.avr.data(), static_cast<int>(pin.avr.size())) +
                               QStringLiteral(" \u00b7 ") +
                               QString::fromLatin1(pin.arduino.data(), static_cast<int>(pin.arduino.size()));
        const QString picPin = QString::fromLatin1(pin.pic.data(), static_cast<int>(pin.pic.size())) +
                               QStringLiteral(" \u00b7 pin ") + QString::number(pin.picPin);
        const bool toDds = !pin.define.empty();
        const int y = toDds ? kTop + row * kRow : avr.bottom() - 16;
        p.setPen(Qt::black);
        p.drawText(QRect(avr.left() + 8, y - 9, avr.width() - 16, 18), Qt::AlignRight | Qt::AlignVCenter, avrPin);
        p.drawText(QRect(pic.left() + 8, y - 9, pic.width() - 16, 18), Qt::AlignLeft | Qt::AlignVCenter, picPin);
        p.setPen(QPen(QColor(0x1F, 0x5F, 0xAF), 2));
        if (toDds) {
            const QString signal = QString::fromLatin1(pin.signal.data(), static_cast<int>(pin.signal.size()))
                                       .mid(4);  // "W_CLK", without "DDS "
            p.drawLine(avr.right(), y, dds.left(), y);
            p.drawLine(dds.right(), y, pic.left(), y);
            p.setPen(Qt::black);
            p.drawText(QRect(dds.left() + 8, y - 9, dds.width() - 16, 18), Qt::AlignHCenter | Qt::AlignVCenter, signal);
            ++row;
        } else {
            p.drawPolyline(QPolygon({QPoint(avr.right() - 30, avr.bottom()),
                                     QPoint(avr.right() - 30, pulse.top() + pulse.height() / 2),
                                     QPoint(pulse.left(), pulse.top() + pulse.height() / 2)}));
            p.drawPolyline(QPolygon({QPoint(pic.left() + 30, pic.bottom()),
                                     QPoint(pic.left() + 30, pulse.top() + pulse.height() / 2),
                                     QPoint(pulse.right(), pulse.top() + pulse.height() / 2)}));
        }
    }
    p.setPen(Qt::black);
    p.drawText(QRect(dds.left(), dds.bottom() - 40, dds.width(), 36), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("D0, D1 high, D2 low\non the board"));
    p.drawText(QRect(10, 178, 140, 40), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("16 MHz crystal\n(not a resonator)"));
    p.drawText(QRect(570, 178, 140, 40), Qt::AlignRight | Qt::AlignTop,
               QStringLiteral("4 MHz crystal\nMCLR to VDD via 10 k"));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 5 && std::string_view(argv[3]) == "--compare")) {
        std::fprintf(stderr, "usage: make_pictures BEACON-FILE OUT-DIR [--compare DIR]\n");
        return 2;
    }
    // The operator's own settings (recent files) are neither read nor touched.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(9);
    QApplication::setFont(font);
    const QString outDir = QString::fromLocal8Bit(argv[2]);
    const QString compareDir = argc == 5 ? QString::fromLocal8Bit(argv[4]) : QString();
    QDir().mkpath(outDir);

    jt4dds::ProgramWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    if (!window.openBeacon(QString::fromLocal8Bit(argv[1]))) return 1;
    window.form()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QApplication::processEvents();
    int failed = picture(&window, outDir, QStringLiteral("main-window.png"), compareDir);

    window.transmissionAction()->trigger();
    auto* view = window.findChild<QDialog*>(QStringLiteral("Transmission"));
    if (!view || !QTest::qWaitForWindowExposed(view)) return 1;
    // A little over the decoding limit, so that the picture shows the tones
    // as a receiver's waterfall does when the beacon is heard well.
    view->findChild<QDoubleSpinBox*>(QStringLiteral("Snr"))->setValue(-16.0);
    view->findChild<QCheckBox*>(QStringLiteral("Noisy"))->setChecked(true);
    QApplication::processEvents();
    failed += picture(view, outDir, QStringLiteral("transmission.png"), compareDir);
    failed += picture(wiring(), outDir, QStringLiteral("wiring.png"), compareDir);
    return failed == 0 ? 0 : 1;
}
