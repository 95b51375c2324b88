#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "window/main_window.h"

namespace {

// Without a display Qt would abort with a platform plugin error; say instead
// how to get one.
bool displayAvailable() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fputs(
            "jt4dds: no graphical display found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
            "Start it from a desktop session, or on a virtual display:  xvfb-run -a jt4dds\n"
            "For the listing without a window use jt4dds-cli (jt4dds-cli --help).\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("jt4dds"));
    QApplication::setDesktopFileName(QStringLiteral("jt4dds"));
    jt4dds::MainWindow window;
    window.show();
    return QApplication::exec();
}
