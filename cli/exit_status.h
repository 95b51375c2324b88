// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace jt4dds {

// Exit statuses of jt4dds-cli.
inline constexpr int kExitCompleted = 0;      // the calculation ran to its end (warnings included)
inline constexpr int kExitCannotWrite = 1;    // the output could not be written
inline constexpr int kExitCannotRead = 1;     // the --beacon file could not be read
inline constexpr int kExitUsage = 2;          // the command line could not be understood
inline constexpr int kExitEndedEarly = 3;     // a value had no defined result; the run stopped
inline constexpr int kExitNoCandidate = 5;    // --find judged every pair and none makes a clean beacon
inline constexpr int kExitStrictWarning = 4;  // --strict and a finding, or firmware source refused

}  // namespace jt4dds
