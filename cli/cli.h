// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <span>

namespace jt4dds {

// Exit statuses of jt4dds-cli.
inline constexpr int kExitCompleted = 0;      // the calculation ran to its end (warnings included)
inline constexpr int kExitCannotWrite = 1;    // the output could not be written
inline constexpr int kExitCannotRead = 1;     // the --beacon file could not be read
inline constexpr int kExitUsage = 2;          // the command line could not be understood
inline constexpr int kExitEndedEarly = 3;     // a value had no defined result; the run stopped
inline constexpr int kExitNoCandidate = 5;    // --find judged every pair and none makes a clean beacon
inline constexpr int kExitStrictWarning = 4;  // --strict and a finding, or firmware source refused

// Where `out` leads: a terminal shows text and is never handed binary audio.
enum class OutputTo { FileOrPipe, Terminal };

// Runs the command-line tool on `args` (args[0] is the program name), printing
// to `out` and `err`; returns the exit status. Never throws.
int runCli(std::span<const char* const> args, std::ostream& out, std::ostream& err,
           OutputTo outputTo = OutputTo::FileOrPipe) noexcept;

}  // namespace jt4dds
