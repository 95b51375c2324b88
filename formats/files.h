// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>
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
    // before then may leave the old file or none, never a part of the new
    // one.
    Replaceable,
};

// Writes `bytes` to `path` so that the file is either the old one or the whole
// new one, after a crash or a power cut alike: a temporary file beside it,
// flushed to the disk, then renamed over it (and, where the system has it, the
// folder flushed too). Returns what went wrong, or nothing; never throws
// except std::bad_alloc, and leaves no temporary file behind.
std::optional<std::string> writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// writeFileAtomically for a file written a piece at a time as it is made, and
// flushed only as its durability asks: a temporary file beside `path` until
// commit() puts it in place. Dropped without a commit, it removes the
// temporary file and leaves the old one. Never throws except std::bad_alloc.
class ReplacingFile {
public:
    explicit ReplacingFile(std::filesystem::path path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    // Appends `bytes`. False once a write has failed; later writes do
    // nothing and commit() says why.
    bool write(std::string_view bytes);
    // Flushes as `durability` asks and renames the file over `path`: what
    // went wrong, or nothing. Once only.
    std::optional<std::string> commit(Durability durability);

private:
    static constexpr std::size_t kBufferBytes = 64 * 1024;
    std::filesystem::path path_;
    std::filesystem::path temporary_;
    std::unique_ptr<char[]> buffer_;  // outlives file_: fclose writes from it
    std::FILE* file_ = nullptr;
    int error_ = 0;  // errno of the first failure
};

// The bytes of the file at `path`, or what is wrong ("is a folder", "cannot be
// read: …", "is larger than 64 KiB"). Reads at most `limit` + 1 bytes, so a
// huge file or an endless device costs nothing. Never throws except
// std::bad_alloc.
std::variant<std::string, std::string> readFileBounded(const std::filesystem::path& path, std::size_t limit);

}  // namespace jt4dds
