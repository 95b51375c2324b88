// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace jt4dds::testing_support {

// What one invocation of the command-line tool gave.
struct CliResult {
    int status;
    std::string out;
    std::string err;
};

// Runs jt4dds-cli in-process with `args` (without the program name).
inline CliResult runTool(std::vector<std::string> args) {
    args.insert(args.begin(), "jt4dds-cli");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCli(argv, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace jt4dds::testing_support
