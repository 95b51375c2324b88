// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace jt4dds::bench {

// The floor for the window: a plain QWidget with the same kinds and number of
// controls as the main window, at the same places, doing nothing.
class BaselineWindow final : public QWidget {
public:
    BaselineWindow();
};

}  // namespace jt4dds::bench
