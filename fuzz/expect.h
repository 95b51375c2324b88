// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <cstdlib>

// What a fuzz target checks of each input. A broken property aborts, so that
// libFuzzer keeps the input; the message starts with "fuzzer: " for fuzz/run
// to show.
namespace jt4dds::fuzzing {

[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "jt4dds fuzzer: %s\n", what);
    std::abort();
}

inline void expect(bool ok, const char* what) {
    if (!ok) fail(what);
}

}  // namespace jt4dds::fuzzing
