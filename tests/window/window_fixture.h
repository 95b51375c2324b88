// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTest>
#include <QWidget>
#include <memory>

#include "window/main_window.h"

namespace jt4dds::testing_support {

// What a test of the main window starts from: the window, shown and active
// as the operator finds it, and its controls by name.
class MainWindowFixture : public QObject {
protected:
    std::unique_ptr<MainWindow> window_;

    // A new window whose listing is written with `separator`.
    void showWindow(const char* separator = ".") {
        window_ = std::make_unique<MainWindow>(separator);
        window_->show();
        window_->activateWindow();
        if (!QTest::qWaitForWindowActive(window_.get())) qFatal("the window did not become active");
    }

    // The control called `name`; a test without it stops there.
    template <class T = QWidget>
    T* control(const char* name) {
        auto* widget = window_->findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
};

}  // namespace jt4dds::testing_support
