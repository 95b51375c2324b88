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

// errno after a failed call (cleared before it), never 0: a short write may
// leave it unset.
int lastFailure() { return errno != 0 ? errno : EIO; }

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
    ReplacingFile file(path);
    file.write(bytes);
    return file.commit(Durability::Lasting);
}

ReplacingFile::ReplacingFile(std::filesystem::path path) : path_(std::move(path)), temporary_(path_) {
#if defined(_WIN32)
    temporary_ += ".tmp-" + std::to_string(::_getpid());
#else
    temporary_ += ".tmp-" + std::to_string(::getpid());
#endif
    file_ = openFile(temporary_, "wb");
    if (!file_) {
        error_ = lastFailure();
        return;
    }
    // Pieces of a few kilobytes each, as a minute's samples come, would each
    // cost a system call or two with the C library's default buffer; given
    // no buffer of its own, glibc keeps that size whatever it is asked.
    buffer_ = std::make_unique<char[]>(kBufferBytes);
    std::setvbuf(file_, buffer_.get(), _IOFBF, kBufferBytes);
}

ReplacingFile::~ReplacingFile() {
    if (!file_) return;
    std::fclose(file_);
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
}

bool ReplacingFile::write(std::string_view bytes) {
    if (!file_ || error_ != 0) return false;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size()) return true;
    error_ = lastFailure();
    return false;
}

std::optional<std::string> ReplacingFile::commit(Durability durability) {
    namespace fs = std::filesystem;
    // Named as the operator knows it: the temporary name is ours.
    if (!file_) return "cannot write " + utf8Name(path_) + ": " + systemMessage(error_);
    const bool lasting = durability == Durability::Lasting;
    errno = 0;
    if (error_ == 0 && !(lasting ? flushToDisk(file_) : std::fflush(file_) == 0)) error_ = lastFailure();
    errno = 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (error_ == 0 && !closed) error_ = lastFailure();  // what the close found
    std::error_code ignored;
    if (error_ != 0) {
        fs::remove(temporary_, ignored);
        return "cannot write " + utf8Name(path_) + ": " + systemMessage(error_);
    }
#if defined(_WIN32)
    // Replaces the file in one step; a lasting file only once that is on the disk.
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (lasting ? MOVEFILE_WRITE_THROUGH : 0);
    if (!::MoveFileExW(temporary_.c_str(), path_.c_str(), flags)) {
        fs::remove(temporary_, ignored);
        return "cannot write " + utf8Name(path_) + ": " +
               std::system_category().message(static_cast<int>(::GetLastError()));
    }
#else
    // Renamed over an old file, ext4 writes the new one out at once, which
    // costs more than the whole minute's simulation; a replaceable file
    // takes the old one (a file or a link, never a folder) away first.
    const fs::file_status old = fs::symlink_status(path_, ignored);
    if (!lasting && (fs::is_regular_file(old) || fs::is_symlink(old))) fs::remove(path_, ignored);
    std::error_code ec;
    fs::rename(temporary_, path_, ec);
    if (ec) {
        fs::remove(temporary_, ignored);
        return "cannot write " + utf8Name(path_) + ": " + ec.message();
    }
#endif
    if (lasting) flushFolder(path_.parent_path());
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
