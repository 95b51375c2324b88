// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>
#include <span>

#include "cli/cli.h"

int main(int argc, char** argv) {
    return jt4dds::runCli(std::span<const char* const>(argv, static_cast<std::size_t>(argc)), std::cout, std::cerr);
}
