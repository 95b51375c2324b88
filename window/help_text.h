// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
<h3>Files</h3>
<p>A beacon file (.jt4dds) keeps every field as typed. Export writes the same assembler include, C header or
JSON report as <code>jt4dds-cli --format asm|c|json</code>; Copy command line gives the
<code>jt4dds-cli</code> call that reproduces the fields.</p>
)";

}  // namespace jt4dds
