// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <span>

#include "cli/exit_status.h"

namespace jt4dds {

// Where `out` leads: a terminal shows text and is never handed binary audio.
enum class OutputTo { FileOrPipe, Terminal };

// Runs the command-line tool on `args` (args[0] is the program name), printing
// to `out` and `err`; returns the exit status. Never throws.
int runCli(std::span<const char* const> args, std::ostream& out, std::ostream& err,
           OutputTo outputTo = OutputTo::FileOrPipe) noexcept;

}  // namespace jt4dds
