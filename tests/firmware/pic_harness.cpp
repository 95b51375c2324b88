// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/firmware/pic_harness.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace jt4dds::testing_support {

PicRun runPic(const std::string& codPath, const std::vector<std::uint64_t>& pulseCycles, std::uint64_t endCycle,
              const std::string& workDir) {
    PicRun run;
    const std::string script = workDir + "/run.stc";
    const std::string log = workDir + "/porta.log";
    const std::string said = workDir + "/gpsim.txt";
    std::remove(log.c_str());
    {
        std::ofstream s(script);
        s << "stimulus asynchronous_stimulus\ninitial_state 0\nstart_cycle 0\n{";
        for (std::size_t i = 0; i < pulseCycles.size(); ++i)
            s << (i > 0 ? ", " : " ") << pulseCycles[i] << ", 1, " << pulseCycles[i] + 1000 << ", 0";
        if (pulseCycles.empty()) s << " 1, 0";
        s << " }\nname minute_pulse\nend\nnode pulse\nattach pulse minute_pulse portb3\n";
        s << "log on " << log << "\nlog w porta\nbreak c " << endCycle << "\nrun\nlog off\nquit\n";
    }
    const std::string command = "gpsim -i -S disable -s " + codPath + " -c " + script + " > " + said + " 2>&1";
    const int status = std::system(command.c_str());
    std::ifstream in(log);
    if (status != 0 || !in) {
        std::ostringstream words;
        words << std::ifstream(said).rdbuf();
        run.said = "gpsim failed (status " + std::to_string(status) + "): " + words.str();
        return run;
    }
    run.ran = true;
    // "0x...CYCLE p16f628a ADDRESS OPCODE instruction" then, for a write,
    // "  Wrote: 0xNEW to porta(0x0005) was 0xOLD".
    std::uint64_t cycle = 0;
    unsigned porta = 0;
    std::vector<bool> shifted;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("0x", 0) == 0) {
            cycle = std::stoull(line.substr(2, line.find(' ') - 2), nullptr, 16);
            continue;
        }
        const auto wrote = line.find("Wrote: 0x");
        if (wrote == std::string::npos || line.find("to porta(") == std::string::npos) continue;
        const unsigned now = static_cast<unsigned>(std::stoul(line.substr(wrote + 9), nullptr, 16));
        const unsigned rose = now & ~porta;
        porta = now;
        if ((rose & 1u) != 0) shifted.push_back((now & 4u) != 0);
        if ((rose & 2u) != 0) {
            run.latches.push_back(Latch{shifted, cycle});
            shifted.clear();
        }
    }
    return run;
}

}  // namespace jt4dds::testing_support
