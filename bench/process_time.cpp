// SPDX-License-Identifier: GPL-3.0-or-later
// Times whole processes, side by side: each command is started in turn,
// `runs` rounds, with its output sent to /dev/null, from the spawn until it
// has exited. Prints each command's median and fastest time in microseconds,
// one line each, in the order given:
//   process_time RUNS DIR -- CMD1 ARGS... -- CMD2 ARGS...
// DIR is the folder the commands run in. Started straight from here, not
// through a shell and a clock of its own, so the figures hold the process
// and not the stopwatch: a shell's fork and two calls of date add about as
// much as the whole of a short process.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

// One command's run: the microseconds it took, or -1 when it could not be
// started or did not exit with status 0.
long long runOnce(const std::vector<char*>& argv, const std::string& folder) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    // posix_spawn has no working folder before glibc 2.29's addchdir, which
    // Debian 12 has; chdir here would time the same thing.
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return -1;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration_cast<std::chrono::microseconds>(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || std::string(argv[3]) != "--") {
        std::fprintf(stderr, "usage: process_time RUNS DIR -- CMD ARGS... [-- CMD ARGS...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const std::string folder = argv[2];
    std::vector<std::vector<char*>> commands;
    for (int i = 3; i < argc; ++i) {
        if (std::string(argv[i]) == "--") {
            commands.emplace_back();
            continue;
        }
        commands.back().push_back(argv[i]);
    }
    for (auto& command : commands) command.push_back(nullptr);
    std::vector<std::vector<long long>> times(commands.size());
    for (int round = 0; round < runs; ++round) {
        for (std::size_t c = 0; c < commands.size(); ++c) {
            const long long us = runOnce(commands[c], folder);
            if (us < 0) {
                std::fprintf(stderr, "process_time: %s failed\n", commands[c][0]);
                return 1;
            }
            times[c].push_back(us);
        }
    }
    for (auto& t : times) {
        std::sort(t.begin(), t.end());
        std::printf("%lld %lld\n", t[t.size() / 2], t.front());
    }
    return 0;
}
