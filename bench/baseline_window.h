// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QWidget>

namespace jt4dds::bench {

// The floor for the window: a plain QWidget with the same kinds and number of
// controls as the main window, at the same places, doing nothing.
class BaselineWindow final : public QWidget {
public:
    BaselineWindow();
};

// The floor for the whole program: the window above between a menu bar with
// the same menus and entries (their shortcuts too) and a status line, every
// entry connected to nothing.
class BaselineProgram final : public QMainWindow {
public:
    BaselineProgram();
};

}  // namespace jt4dds::bench
