// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/firmware/avr_harness.h"

#include <simavr/avr_extint.h>
#include <simavr/avr_ioport.h>
#include <simavr/sim_avr.h>
#include <simavr/sim_elf.h>
#include <simavr/sim_irq.h>

#include <cstdlib>
#include <cstring>

namespace jt4dds::testing_support {

namespace {

struct Pins {
    avr_t* avr = nullptr;
    bool data = false;
    std::vector<bool> shifted;
    std::vector<Latch>* latches = nullptr;
    avr_irq_t* pulse = nullptr;
    std::vector<std::uint64_t> pulses;  // cycles of the rising edges
    std::size_t nextPulse = 0;
    avr_cycle_count_t width = 0;
};

void onData(avr_irq_t*, uint32_t value, void* param) { static_cast<Pins*>(param)->data = value != 0; }

void onClock(avr_irq_t* irq, uint32_t value, void* param) {
    auto* pins = static_cast<Pins*>(param);
    if (value != 0 && irq->value == 0) pins->shifted.push_back(pins->data);
}

void onLatch(avr_irq_t* irq, uint32_t value, void* param) {
    auto* pins = static_cast<Pins*>(param);
    if (value != 0 && irq->value == 0) {
        pins->latches->push_back({pins->shifted, pins->avr->cycle});
        pins->shifted.clear();
    }
}

avr_cycle_count_t lowerPulse(avr_t*, avr_cycle_count_t, void* param) {
    avr_raise_irq(static_cast<Pins*>(param)->pulse, 0);
    return 0;
}

// simavr keeps one timer for a callback and its parameter (registering it
// again moves it), so each pulse asks for the next: the callback's answer
// is the cycle it runs again at.
avr_cycle_count_t raisePulse(avr_t* avr, avr_cycle_count_t, void* param) {
    auto* pins = static_cast<Pins*>(param);
    avr_raise_irq(pins->pulse, 1);
    avr_cycle_timer_register(avr, pins->width, lowerPulse, pins);
    return ++pins->nextPulse < pins->pulses.size() ? pins->pulses[pins->nextPulse] : 0;
}

// simavr's own sleep waits in real time; a sleeping firmware here jumps to
// its next event instead.
void noWait(avr_t*, avr_cycle_count_t) {}

}  // namespace

AvrRun runAvr(const std::string& elfPath, std::uint32_t clockHz, const std::vector<std::uint64_t>& pulseCycles,
              std::uint64_t endCycle) {
    AvrRun run;
    elf_firmware_t firmware;
    std::memset(&firmware, 0, sizeof firmware);
    if (elf_read_firmware(elfPath.c_str(), &firmware) != 0) return run;
    avr_t* avr = avr_make_mcu_by_name("atmega328p");
    if (!avr) return run;
    avr_init(avr);
    avr_load_firmware(avr, &firmware);
    avr->frequency = clockHz;
    avr->sleep = noWait;
    avr->log = 0;
    // INT0 and INT1 come out of reset level-triggered, which has simavr poll
    // them all the while the CPU sleeps; the firmware uses neither.
    for (std::uint8_t extint = 0; extint < 2; ++extint) avr_extint_set_strict_lvl_trig(avr, extint, 0);
    run.loaded = true;
    run.flashBytes = firmware.flashsize;

    Pins pins;
    pins.avr = avr;
    pins.latches = &run.latches;
    pins.pulse = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('B'), 0);
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('D'), 4), onData, &pins);
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('D'), 2), onClock, &pins);
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('D'), 3), onLatch, &pins);
    pins.pulses = pulseCycles;
    pins.width = clockHz / 1000;
    if (!pins.pulses.empty()) avr_cycle_timer_register(avr, pins.pulses.front(), raisePulse, &pins);
    while (avr->cycle < endCycle) {
        const int state = avr_run(avr);
        if (state == cpu_Done || state == cpu_Crashed) break;
    }
    avr_terminate(avr);
    std::free(avr);
    return run;
}

}  // namespace jt4dds::testing_support
