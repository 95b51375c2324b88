// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/version.h"
#include "window/program_window.h"

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

constexpr const char* kUsage =
    "Usage: jt4dds [BEACON-FILE]\n"
    "Plans the tuning words of a 32-bit DDS beacon sending JT4 or PI4, FSK CW and an aux tone,\n"
    "in a window. BEACON-FILE (a .jt4dds file saved by the window or by jt4dds-cli --save-beacon)\n"
    "is opened at start.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  -v, --version  print the version and exit\n"
    "\n"
    "Without a window: jt4dds-cli --help.\n";

}  // namespace

int main(int argc, char** argv) {
    // These answer without a display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version" || arg == "-v") {
            std::printf("jt4dds %.*s\n", static_cast<int>(jt4dds::kVersion.size()), jt4dds::kVersion.data());
            return 0;
        }
    }
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "jt4dds: takes at most one beacon file (see jt4dds --help)\n");
        return 2;
    }
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
    QApplication::setOrganizationName(QStringLiteral("jt4dds"));
    QApplication::setApplicationVersion(QString::fromUtf8(jt4dds::kVersion.data(), jt4dds::kVersion.size()));
    QApplication::setDesktopFileName(QStringLiteral("jt4dds"));
    jt4dds::ProgramWindow window;
    window.show();
    // A file that cannot be read is said in a message; the window starts all the same.
    if (argc == 2) window.openBeacon(QString::fromLocal8Bit(argv[1]));
    return QApplication::exec();
}
