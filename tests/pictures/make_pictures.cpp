// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the README's pictures from the program's own window on a display
// (scripts/pictures runs it on a virtual one): the main window after a press
// of the beacon given, and its Transmission view hearing the minute at
// -16 dB. Each picture is the widget as Qt paints it, without the desktop's
// frame, in a fixed font and style so that a machine with other fonts or
// another desktop draws the same pixels.
//   make_pictures BEACON-FILE OUT-DIR              writes main-window.png and transmission.png
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
#include <QPushButton>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTest>
#include <cstdio>
#include <string_view>

#include "window/main_window.h"
#include "window/program_window.h"

namespace {

// Saves `widget` as OUT-DIR/NAME; compares it with COMPARE-DIR/NAME when given.
// The count of pictures that differ or could not be written.
int picture(QWidget* widget, const QString& outDir, const QString& name, const QString& compareDir) {
    // A blinking text cursor would be in one picture and not in the next.
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    QApplication::processEvents();
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
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
    return failed == 0 ? 0 : 1;
}
