// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace jt4dds {
namespace {

std::string systemMessage(int error) { return std::generic_category().message(error); }

// Flushes what the C library and the system hold of `file` to the disk.
bool flushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return ::fsync(::fileno(file)) == 0;
#endif
}

// A rename is only lasting once the folder's entry is on the disk too.
void flushFolder(const std::filesystem::path& folder) {
#if !defined(_WIN32)
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#else
    (void)folder;
#endif
}

std::FILE* openFile(const std::filesystem::path& path, const char* mode) {
#if defined(_WIN32)
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    return ::_wfopen(path.c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace

std::string utf8Name(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

std::optional<std::string> writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    return writeFileAtomically(path, {bytes}, Durability::Lasting);
}

std::optional<std::string> writeFileAtomically(const std::filesystem::path& path,
                                               std::initializer_list<std::string_view> pieces, Durability durability) {
    namespace fs = std::filesystem;
    fs::path temporary = path;
#if defined(_WIN32)
    temporary += ".tmp-" + std::to_string(::_getpid());
#else
    temporary += ".tmp-" + std::to_string(::getpid());
#endif
    std::FILE* file = openFile(temporary, "wb");
    if (!file) return "cannot write " + utf8Name(temporary) + ": " + systemMessage(errno);
    const bool lasting = durability == Durability::Lasting;
    bool written = true;
    for (const std::string_view bytes : pieces)
        written = written && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = written && (lasting ? flushToDisk(file) : std::fflush(file) == 0);
    int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && !closed) error = errno;  // what the close found, not a write's leftover
    std::error_code ignored;
    if (!written || !closed) {
        fs::remove(temporary, ignored);
        return "cannot write " + utf8Name(temporary) + ": " + systemMessage(error);
    }
#if defined(_WIN32)
    // Replaces the file in one step; a lasting file only once that is on the disk.
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (lasting ? MOVEFILE_WRITE_THROUGH : 0);
    if (!::MoveFileExW(temporary.c_str(), path.c_str(), flags)) {
        fs::remove(temporary, ignored);
        return "cannot write " + utf8Name(path) + ": " +
               std::system_category().message(static_cast<int>(::GetLastError()));
    }
#else
    std::error_code ec;
    // Renamed over an old file, ext4 writes the new one out at once, which
    // costs more than the whole minute's simulation; a replaceable file
    // takes the old one away first.
    if (!lasting) fs::remove(path, ignored);
    fs::rename(temporary, path, ec);
    if (ec) {
        fs::remove(temporary, ignored);
        return "cannot write " + utf8Name(path) + ": " + ec.message();
    }
#endif
    if (lasting) flushFolder(path.parent_path());
    return std::nullopt;
}

std::variant<std::string, std::string> readFileBounded(const std::filesystem::path& path, std::size_t limit) {
    using Result = std::variant<std::string, std::string>;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return Result(std::in_place_index<1>, "is a folder, not a file");
    std::FILE* file = openFile(path, "rb");
    if (!file) return Result(std::in_place_index<1>, "cannot be read: " + systemMessage(errno));
    std::string bytes(limit + 1, '\0');
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) return Result(std::in_place_index<1>, "cannot be read: " + systemMessage(error));
    if (got > limit) return Result(std::in_place_index<1>, "is larger than " + std::to_string(limit / 1024) + " KiB");
    bytes.resize(got);
    return Result(std::in_place_index<0>, std::move(bytes));
}

}  // namespace jt4dds
