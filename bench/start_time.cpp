// SPDX-License-Identifier: GPL-3.0-or-later
// Times how long whole window programs take to show themselves: from the
// spawn until the X server maps their first window, and their peak memory.
// Each command is started in turn, `runs` rounds, so neither has the warmer
// caches; each is ended once its window is mapped. Prints one line a command,
// in the order given: the median, fastest and slowest milliseconds to the
// mapped window, and the median peak resident memory in KiB; then, for two
// commands, the median of each round's ratio of the second to the first,
// which holds less of the machine's moods than the ratio of the medians
// (the two starts of a round are a few tens of milliseconds apart):
//   start_time RUNS -- CMD1 ARGS... -- CMD2 ARGS...
// The server tells us of the map itself (SubstructureNotify on the root
// window), so the figure holds no polling interval: asking a tool every few
// milliseconds whether a window is there adds as much noise as the
// difference being measured.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

struct Start {
    double mappedMs = -1;
    long peakKiB = 0;
};

// Everything the server has sent so far, thrown away after a round trip, so
// that the next start sees only its own window.
void drain(xcb_connection_t* x) {
    free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) free(event);
}

// Waits up to `timeoutMs` for a window to be mapped; false on a timeout or a
// lost connection.
bool waitForMap(xcb_connection_t* x, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            free(event);
            if (mapped) return true;
        }
        if (xcb_connection_has_error(x)) return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        poll(&fd, 1, static_cast<int>(left.count()));
    }
}

Start startOnce(xcb_connection_t* x, const std::vector<char*>& argv) {
    drain(x);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto spawned = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return {};
    Start start;
    if (waitForMap(x, 20000))
        start.mappedMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - spawned).count();
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) == child) start.peakKiB = usage.ru_maxrss;
    return start;
}

template <class T>
T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || std::atoi(argv[1]) <= 0) {
        std::fprintf(stderr, "usage: start_time RUNS -- CMD1 ARGS... [-- CMD2 ARGS...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<std::vector<char*>> commands;
    for (int i = 2; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--") {
            commands.emplace_back();
        } else if (!commands.empty()) {
            commands.back().push_back(argv[i]);
        }
    }
    for (auto& command : commands) command.push_back(nullptr);

    int screenNumber = 0;
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> x(xcb_connect(nullptr, &screenNumber), xcb_disconnect);
    if (xcb_connection_has_error(x.get())) {
        std::fprintf(stderr, "start_time: no X display (DISPLAY is %s)\n",
                     std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "not set");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x.get()));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&screens);
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x.get(), screens.data->root, XCB_CW_EVENT_MASK, &mask);

    std::vector<std::vector<Start>> starts(commands.size());
    for (int round = 0; round < runs; ++round) {
        for (std::size_t c = 0; c < commands.size(); ++c) {
            const Start start = startOnce(x.get(), commands[c]);
            if (start.mappedMs < 0) {
                std::fprintf(stderr, "start_time: %s showed no window within 20 s\n", commands[c][0]);
                return 1;
            }
            starts[c].push_back(start);
        }
    }
    for (const auto& of : starts) {
        std::vector<double> mapped;
        std::vector<long> peak;
        for (const Start& s : of) {
            mapped.push_back(s.mappedMs);
            peak.push_back(s.peakKiB);
        }
        std::printf("%.2f %.2f %.2f %ld\n", median(mapped), *std::min_element(mapped.begin(), mapped.end()),
                    *std::max_element(mapped.begin(), mapped.end()), median(peak));
    }
    if (starts.size() == 2) {
        std::vector<double> ratios;
        for (int round = 0; round < runs; ++round)
            ratios.push_back(starts[1][round].mappedMs / starts[0][round].mappedMs);
        std::printf("%.4f\n", median(ratios));
    }
    return 0;
}
