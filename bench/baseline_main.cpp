// SPDX-License-Identifier: GPL-3.0-or-later
// The baseline program: a plain Qt window with the same controls as jt4dds,
// its menus and status line included,
// for timing whole processes against.
#include <QApplication>

#include "bench/baseline_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    jt4dds::bench::BaselineProgram window;
    window.show();
    return QApplication::exec();
}
