// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/beacon.h"

namespace jt4dds {

std::string optionName(Input input) {
    std::string name = "--";
    for (char c : specOf(input).key) name += c == '_' ? '-' : c;
    return name;
}

}  // namespace jt4dds
