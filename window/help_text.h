// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "calc/check/finding.h"

namespace jt4dds {

// The built-in help: what each field means, what each warning means and what
// to do about it.
inline constexpr const char* kHelpHtml = R"(
<h3>The fields</h3>
<dl>
<dt><b>Output Frequency MHz</b></dt><dd>Where the Reference Tone lands on the air, after the multiplier chain.</dd>
<dt><b>RF Multiplication</b></dt><dd>How many times the chain after the DDS multiplies its output (fractions allowed).</dd>
<dt><b>Master Reference MHz</b></dt><dd>The clock of the DDS (Direct Freq Gen), or the frequency it generates (Reverse DDS).</dd>
<dt><b>JT4 Submode or PI4</b></dt><dd>The data mode: JT4A to JT4G (tones 4.375 Hz to 315 Hz apart) or PI4.</dd>
<dt><b>JT4G Reference Tone0 = 800Hz</b></dt><dd>Puts JT4G's tone 0 on an 800 Hz Reference Tone (it writes 800 into that field).</dd>
<dt><b>Reference Tone, FSK CW key up / key down, Aux Tone Hz</b></dt><dd>Audio tones; each lands on the air at its distance from the Reference Tone.</dd>
<dt><b>Configuration</b></dt><dd>Direct Freq Gen: the reference clocks the DDS. Reverse DDS: the tone clocks the DDS, which generates the reference.</dd>
</dl>
<p>A field's number is read from its start with "." as the decimal point; blanks are ignored and reading
stops at the first character that cannot continue the number. A field with a red dot was read in part:
its tooltip says what was read.</p>
<h3>The results</h3>
<dl>
<dt><b>Resolution</b></dt><dd>How finely the words can place a tone on the air: half the step between two
adjacent words, at the output frequency (after the multiplier chain). A tone is never further than this from
where it was planned.</dd>
<dt><b>SSB Carrier, Tuning Point</b></dt><dd>The dial frequency of an SSB (USB) receiver on which the Reference
Tone is heard at its audio frequency: the output frequency less the Reference Tone. Tune a JT4 decoder's receiver
there.</dd>
</dl>
<p>The line under the calculation says whether the results are those of the fields as they are now (until
Calculate is pressed after a change, they are not; every copy and export presses it first) and names the most
severe finding of the last press with its fix. Click it for Tone details.</p>
<h3>The warnings</h3>
<dl>
<dt><b>Ref too low, check values</b></dt><dd>A tone's DDS frequency is above 35 % of the Master Reference: its word is 0 and the DDS sends nothing. Raise the reference or the multiplication; the warning's tooltip gives the values that work.</dd>
<dt><b>Not Possible, check values</b></dt><dd>Reverse DDS: the reference is above 35 % of a tone's DDS frequency. Lower the reference or the multiplication.</dd>
<dt><b>Resolution too low for this mode</b></dt><dd>The DDS steps too coarsely for the tone spacing. For PI4 it always shows: check the realised spacing in Tone details instead.</dd>
<dt><b>Tone0 offset / wrong mode - check</b></dt><dd>The 800 Hz option suits JT4G only: select G, or clear the option.</dd>
</dl>
<p>Hover over the warning for every finding of the last press and its fix. <b>Tone details</b> (Ctrl+T) shows each
tone's planned and realised frequency; <b>Find settings</b> (Ctrl+F) searches references and multiplications
that make a clean beacon.</p>
<h3>Transmission (Ctrl+M)</h3>
<dl>
<dt><b>Message</b></dt><dd>What the beacon sends. JT4: two calls (or CQ, QRZ or DE and a call) with a locator, a
report or RRR/73; anything else goes out as 13 characters of free text. PI4: exactly 8 characters of 0-9, A-Z,
space and '/'.</dd>
<dt><b>CW identification, CW speed</b></dt><dd>Keyed after the message on the key-up and key-down words, 5 to
60 words a minute; untick CW to leave it out.</dd>
<dt><b>Carrier</b></dt><dd>The reference word from the end of the CW to 59.5 s, as the standard PI4 minute has it.</dd>
<dt><b>Timer</b></dt><dd>The controller's timer in Hz: the firmware files give every period and start in its
counts, and the check says how far the rounding moves the message's last symbol.</dd>
<dt><b>Controller, clock, Export firmware</b></dt><dd>The chip that keys the minute into the DDS (an ATmega328P,
16 MHz unless a clock is typed, or a PIC16F628A, 4 MHz) counts the minute in its own timer. Export firmware
writes the whole controller: a C file for avr-gcc or a gpasm source, with this beacon's words, symbols, CW and
timing and the engine that latches each word at its count from the minute pulse. The file's comment gives the
wiring and the lines that build and program it. The check notes how far a ceramic resonator instead of a
crystal would move the message's end.</dd>
<dt><b>Waterfall, Noise at</b></dt><dd>The minute as the receiver hears it on its dial, from the rounded words,
optionally in noise at the SNR given (in 2500 Hz).</dd>
<dt><b>Play, Save WAV</b></dt><dd>Play plays the minute on the computer's sound output (if it cannot, the view
says why); Save WAV writes it as 12 kHz audio for a decoder such as jt9.</dd>
<dt><b>Check with jt9</b></dt><dd>Decodes six minutes in noise at the SNR shown with jt9 from WSJT-X (on Debian:
apt install wsjtx) and says how many decoded; Cancel stops it. jt9 does not decode PI4.</dd>
</dl>
<h3>Files</h3>
<p>A beacon file (.jt4dds) keeps every field as typed. Export writes the same assembler include, C header or
JSON report as <code>jt4dds-cli --format asm|c|json</code>; Copy command line gives the
<code>jt4dds-cli</code> call that reproduces the fields.</p>
)";

// The help with every kind of finding the plan check gives, from the one
// table of kinds, so a kind added there is explained here too.
inline std::string helpHtml() {
    std::string html = kHelpHtml;
    html +=
        "<h3>The findings</h3>\n<p>After each press the plan check lists what it found, each with a severity "
        "(error: the words would not make this beacon; warning: it may work, but not as typed; note: "
        "information) and, where one exists, a fix that has been tried before it is offered. Tone details "
        "applies it with Apply fix.</p>\n<dl>\n";
    for (const FindingKindSpec& kind : kFindingKinds) {
        html.append("<dt><b>").append(kind.name).append("</b></dt><dd>").append(kind.meaning).append("</dd>\n");
    }
    return html + "</dl>\n";
}

}  // namespace jt4dds
