// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "formats/utf8.h"

namespace jt4dds {

// A path's name as UTF-8 text, for messages.
std::string utf8Name(const std::filesystem::path& path);

// How long a written file has to last once the write returns.
enum class Durability {
    // On the disk, so that a power cut a moment later leaves the whole new
    // file: firmware outputs and beacon files, which a builder relies on.
    Lasting,
    // Handed to the system, which writes it out in its own time: a file the
    // program remakes in milliseconds, as the simulated minute. A crash
    // before then may leave the old file, never a part of the new one.
    Replaceable,
};

// Writes `bytes` to `path` so that the file is either the old one or the whole
// new one, after a crash or a power cut alike: a temporary file beside it,
// flushed to the disk, then renamed over it (and, where the system has it, the
// folder flushed too). Returns what went wrong, or nothing; never throws
// except std::bad_alloc, and leaves no temporary file behind.
std::optional<std::string> writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);
// The same for a file written as `pieces`, one after the other, and with the
// flushes only when `durability` asks for them.
std::optional<std::string> writeFileAtomically(const std::filesystem::path& path,
                                               std::initializer_list<std::string_view> pieces, Durability durability);

// The bytes of the file at `path`, or what is wrong ("is a folder", "cannot be
// read: …", "is larger than 64 KiB"). Reads at most `limit` + 1 bytes, so a
// huge file or an endless device costs nothing. Never throws except
// std::bad_alloc.
std::variant<std::string, std::string> readFileBounded(const std::filesystem::path& path, std::size_t limit);

}  // namespace jt4dds
