// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>
#include <span>
#include <string>
#include <vector>

#include "cli/cli.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

namespace {

// Windows hands a program its arguments as UTF-16; the tool reads UTF-8.
// A lone surrogate has no UTF-8 form and becomes U+FFFD, which the tool's
// UTF-8 check then accepts as the text it is.
std::string utf8Of(const wchar_t* wide) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.resize(text.size() - 1);  // the terminating NUL
    return text;
}

}  // namespace

int wmain(int argc, wchar_t** wargv) {
    // Binary streams: the listing's CR LF stays CR LF and a "\n" is not made one.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(utf8Of(wargv[i]));
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    const bool terminal = ::_isatty(::_fileno(stdout)) != 0;
    return jt4dds::runCli(argv, std::cout, std::cerr,
                          terminal ? jt4dds::OutputTo::Terminal : jt4dds::OutputTo::FileOrPipe);
}

#else

#include <unistd.h>

int main(int argc, char** argv) {
    const bool terminal = ::isatty(STDOUT_FILENO) != 0;
    return jt4dds::runCli(std::span<const char* const>(argv, static_cast<std::size_t>(argc)), std::cout, std::cerr,
                          terminal ? jt4dds::OutputTo::Terminal : jt4dds::OutputTo::FileOrPipe);
}

#endif
