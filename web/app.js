// SPDX-License-Identifier: GPL-3.0-or-later
// The page: builds the window from the layout the WebAssembly module gives,
// and offers the module the view over its elements that the calculation works
// through. Every decision is the module's; this script gets and sets what the
// elements show, and handles files and downloads.
'use strict';

(() => {
  const byId = (id) => document.getElementById(id);
  let module = null;
  let listing = '';  // the results box's text exactly, CR LF line ends included

  // What the calculation reads and writes, by control name (FormView).
  const page = {
    lastPressMs: null,
    text(id) { return id === 'Text1' ? listing : byId(id).value; },
    setText(id, text) {
      if (id === 'Text1') {
        listing = text;
        byId('Text1').value = text;
        return;
      }
      const field = byId(id);
      if (field.value !== text) {
        field.value = text;
        field.dispatchEvent(new Event('input'));  // as typing: a plan field turns black
      }
    },
    setSelector(id, text) { byId(id).value = text; },
    ref800() { return byId('Ref800').checked; },
    setRef800(checked) { byId('Ref800').checked = checked; },
    setVisible(id, visible) { byId(id).hidden = !visible; },
    setWarningCaption(text) { byId('Warning').textContent = text; },
    // The operator's decimal separator, as the browser's language writes 1.5.
    decimalSeparator() {
      const parts = new Intl.NumberFormat(navigator.language).formatToParts(1.5);
      const decimal = parts.find((part) => part.type === 'decimal');
      return decimal ? decimal.value : '.';
    },
    listing() { return listing; },
    // How many evaluations the module has made: the tests count one a press.
    evaluations() { return module ? module._jt4dds_evaluations() : 0; },
  };
  window.jt4ddsPage = page;

  const call = (name, types = [], args = []) => JSON.parse(module.ccall(name, 'string', types, args));

  // Prose as shown: a number keeps its unit on its line (a narrow screen
  // would otherwise break "34.5 %" or "0.6985 Hz" in two).
  const prose = (text) => String(text).replace(/(\d) (?=(%|Hz|kHz|MHz|GHz|dB|ms|s|WPM|symbols?|counts?)(?![\w]))/g, '$1\u00a0');

  function element(tag, props = {}) {
    const e = document.createElement(tag);
    Object.assign(e, props);
    return e;
  }

  // One control of the layout table, placed in pixels.
  function control(place, layout) {
    let e;
    switch (place.kind) {
      case 'caption':
        e = element('label', { className: 'caption', textContent: place.caption, htmlFor: place.buddy });
        break;
      case 'label':
        e = element('label', { className: 'plain', textContent: place.caption, htmlFor: place.buddy, hidden: true });
        break;
      case 'textbox':
        e = element('input', { type: 'text', value: layout.initial[place.name] || '', spellcheck: false });
        if (place.name === 'SSBCarrier') e.hidden = true;
        break;
      case 'selector': {
        e = element('input', { type: 'text', value: layout.initial[place.name], spellcheck: false });
        const list = element('datalist', { id: `${place.name}-items` });
        for (const label of layout.items[place.name]) list.append(element('option', { value: label }));
        document.body.append(list);
        e.setAttribute('list', list.id);
        e.setAttribute('role', 'combobox');
        break;
      }
      case 'checkbox': {
        const box = element('input', { type: 'checkbox', id: place.name });
        e = element('label', { className: 'check' });
        e.append(box, document.createTextNode(place.caption));
        e.id = `${place.name}-caption`;
        break;
      }
      case 'button':
        e = element('button', { type: 'button', textContent: place.caption });
        break;
      case 'warning':
        e = element('div', { className: 'warning', textContent: place.caption, hidden: true });
        e.setAttribute('role', 'alert');
        break;
      case 'results':
        e = element('textarea', { spellcheck: false, wrap: 'soft' });
        e.setAttribute('aria-label', 'Listing');
        break;
      default:
        e = element('div');
    }
    if (!e.id) e.id = place.name;
    const px = (twips) => `${Math.trunc(twips / layout.twipsPerPixel)}px`;
    Object.assign(e.style, { left: px(place.left), top: px(place.top), width: px(place.width), height: px(place.height) });
    return e;
  }

  // Ctrl and `key`, in either case, does `action` wherever the focus is.
  function onCtrl(key, action) {
    document.addEventListener('keydown', (event) => {
      if (event.ctrlKey && event.key.toLowerCase() === key) {
        event.preventDefault();
        action();
      }
    });
  }

  function message(text) {
    const box = byId('PageMessage');
    box.textContent = prose(text);
    box.hidden = !text;
  }

  function closeStopped() {
    const earlier = byId('CalculationStopped');
    if (earlier) earlier.remove();
  }

  // Non-modal, beside what the run left, as in the window.
  function showStopped(text) {
    const box = element('div', { id: 'CalculationStopped', className: 'stopped' });
    box.setAttribute('role', 'alertdialog');
    box.append(element('strong', { textContent: 'Calculation stopped' }), element('p', { textContent: text }));
    const ok = element('button', { type: 'button', textContent: 'OK' });
    ok.addEventListener('click', closeStopped);
    box.append(ok);
    byId('Client').append(box);
    ok.focus();
  }

  function showFindings(answer) {
    byId('Warning').title = answer.findings;
    for (const [id, note] of Object.entries(answer.notes)) {
      const field = byId(id);
      field.title = note;
      field.classList.toggle('finding', note !== '');
    }
    byId('ToneSummary').textContent = prose(answer.summary);
    const head = byId('ToneTable').tHead;
    head.replaceChildren(element('tr'));
    for (const heading of answer.toneHeadings) head.rows[0].append(element('th', { textContent: heading }));
    const body = byId('ToneTable').tBodies[0];
    body.replaceChildren();
    for (const cells of answer.toneRows) {
      const row = element('tr');
      for (const cell of cells) row.append(element('td', { textContent: cell }));
      body.append(row);
    }
    byId('Findings').textContent = prose(answer.details_findings);
    const fixes = byId('Fixes');
    fixes.replaceChildren();
    for (const fix of answer.fixes) {
      const button = element('button', { type: 'button', className: 'apply-fix', textContent: prose(fix.caption), title: fix.finding });
      button.addEventListener('click', () => applyFix(fix.edits));
      fixes.append(button);
    }
  }

  // The Transmission view: what the module makes of the message and minute.
  function showTransmission(state) {
    for (const [id, key] of [['Message', 'message'], ['CwId', 'cw_id'], ['Wpm', 'wpm'], ['TimerHz', 'timer_hz']]) {
      if (document.activeElement !== byId(id)) byId(id).value = state[key];
    }
    byId('SendCw').checked = state.cw;
    byId('SendCarrier').checked = state.carrier;
    byId('Mcu').value = state.mcu;
    if (document.activeElement !== byId('McuClock')) byId('McuClock').value = state.mcu_clock;
    byId('McuClock').placeholder = `${state.mcu_clock_usual} Hz (the chip's usual)`;
    byId('Sent').textContent = prose(state.sent);
    byId('Symbols').textContent = state.symbols;
    const timeline = byId('MinuteTimeline');
    timeline.replaceChildren();
    for (const s of state.segments) {
      const band = element('div', { className: `band ${s.keys}`, textContent: s.name });
      band.style.left = `${Math.min(s.start_s, 60) / 60 * 100}%`;
      band.style.width = `${(Math.min(s.start_s + s.length_s, 61) - s.start_s) / 60 * 100}%`;
      timeline.append(band);
    }
    timeline.setAttribute('aria-label', state.timeline);
    timeline.title = state.timeline;
    byId('TransmissionFindings').textContent = prose(state.findings);
    if (!byId('Transmission').hidden) hear();
  }
  // The minute as its receiver hears it: the module writes the WAV file the
  // command line would, and the waterfall's picture; the page paints the
  // picture, plays the minute (Web Audio) and saves it.
  let heard = null;
  let look = null;  // the audio's rate, from the layout
  // The SNR as the window's spin box keeps it: whole decibels within the
  // field's range; a field left empty or not a number goes back to the last
  // good value instead of reading as 0 dB.
  let snrDb = -22;
  function typedSnr() {
    const field = byId('Snr');
    const typed = field.valueAsNumber;
    if (Number.isFinite(typed)) snrDb = Math.min(Number(field.max), Math.max(Number(field.min), Math.round(typed)));
    field.value = String(snrDb);
    return snrDb;
  }
  function hear() {
    const start = performance.now();
    const answer = call('jt4dds_hear', ['number', 'number'], [byId('Noisy').checked ? 1 : 0, typedSnr()]);
    const wav = answer.wav_bytes ? module.HEAPU8.slice(answer.wav, answer.wav + answer.wav_bytes) : null;
    heard = { ...answer, wav };
    byId('Receiver').textContent = prose(answer.receiver);
    drawWaterfall();
    drawToneGrid();
    byId('Play').disabled = !wav;
    byId('SaveWav').disabled = !wav;
    page.lastHearMs = performance.now() - start;
  }

  // Time down, audio frequency across: the module's picture, with the
  // seconds, the hertz and the data tones' grid drawn over it.
  function drawWaterfall() {
    const canvas = byId('Waterfall');
    const { g, width, height } = jt4ddsFitCanvas(canvas, 260);
    canvas.setAttribute('aria-label', 'No minute to show.');
    if (!heard.wav) return;
    const cellBytes = new Uint8ClampedArray(module.HEAPU8.buffer, heard.picture, 4 * heard.width * heard.rows);
    const image = new ImageData(cellBytes.slice(), heard.width, heard.rows);
    const cells = document.createElement('canvas');
    cells.width = heard.width;
    cells.height = heard.rows;
    cells.getContext('2d').putImageData(image, 0, 0);
    const left = 28;
    const top = 16;
    g.imageSmoothingEnabled = false;
    g.drawImage(cells, left, top, width - left, height - top);
    const lowHz = heard.low_hz;
    const highHz = heard.high_hz;
    const xOf = (hz) => left + (hz - lowHz) / (highHz - lowHz) * (width - left);
    g.fillStyle = getComputedStyle(document.body).color;
    g.font = '11px sans-serif';
    g.textAlign = 'right';
    // Every label inside the picture: the last second's and the last hertz's
    // would otherwise fall half over its edge.
    for (let second = 0; second <= 60; second += 10)
      g.fillText(String(second), left - 3, Math.min(top + second / 60 * (height - top) + 4, height - 2));
    g.textAlign = 'center';
    // The module's step, doubled until the labels stand clear of each other
    // on a narrow screen.
    let step = heard.step_hz;
    const widest = g.measureText(String(Math.round(highHz))).width + 8;
    while (step / (highHz - lowHz) * (width - left) < widest) step *= 2;
    for (let hz = Math.ceil(lowHz / step) * step; hz <= highHz; hz += step) {
      const half = g.measureText(String(hz)).width / 2;
      g.fillText(String(hz), Math.min(xOf(hz), width - half - 1), 11);
    }
    if (heard.grid_hz) {
      g.strokeStyle = 'rgba(255, 255, 255, 0.6)';
      g.setLineDash([4, 3]);
      for (const hz of heard.grid_hz) {
        g.beginPath();
        g.moveTo(xOf(hz), top);
        g.lineTo(xOf(hz), height);
        g.stroke();
      }
      g.setLineDash([]);
    }
    canvas.setAttribute('aria-label', heard.waterfall_label);
  }

  // The data tones against their grid, to scale, with the note and warning lines.
  function drawToneGrid() {
    jt4ddsDrawToneGrid(byId('ToneGrid'), heard);
  }
  // A turned phone or a resized window draws them anew at their new width.
  window.addEventListener('resize', () => {
    if (!heard) return;
    drawWaterfall();
    drawToneGrid();
  });

  let playing = null;
  function play() {
    if (playing) {
      playing.stop();
      return;
    }
    const context = new AudioContext();
    const samples = new Int16Array(heard.wav.buffer, heard.wav.byteOffset + 44, (heard.wav.length - 44) / 2);
    const buffer = context.createBuffer(1, samples.length, look.rate);
    const channel = buffer.getChannelData(0);
    for (let i = 0; i < samples.length; ++i) channel[i] = samples[i] / 32768;
    const source = context.createBufferSource();
    source.buffer = buffer;
    source.connect(context.destination);
    source.onended = () => {
      playing = null;
      byId('Play').textContent = 'Play';
      context.close();
    };
    source.start();
    playing = source;
    byId('Play').textContent = 'Stop';
  }

  // The controller, named once the operator chooses one.
  function editController() {
    showTransmission(call('jt4dds_set_controller', ['string', 'string'], [byId('Mcu').value, byId('McuClock').value.trim()]));
  }

  function downloadFirmware() {
    pressIfStale();
    let answer = call('jt4dds_export_firmware', ['number'], [0]);
    if (answer.error && answer.forcible && window.confirm(answer.question)) answer = call('jt4dds_export_firmware', ['number'], [1]);
    message(answer.error || '');
    if (!answer.error) download(`${call('jt4dds_beacon_state').stem}.${answer.suffix}`, answer.text);
  }

  function editTransmission() {
    showTransmission(call('jt4dds_set_transmission',
      ['string', 'string', 'string', 'number', 'number', 'string'],
      [byId('Message').value, byId('CwId').value, String(byId('Wpm').value), byId('SendCw').checked ? 1 : 0,
        byId('SendCarrier').checked ? 1 : 0, byId('TimerHz').value.trim()]));
  }

  // The actions that change the fields (Apply fix, Use and calculate, the
  // 800 Hz tick, Open) are the module's to undo: one stack, as the window's.
  // The page keeps beside it only which plan fields were typed into (black).
  const planIds = ['Fout', 'Mult', 'Fref'];
  const colours = () => planIds.map((id) => byId(id).style.color);
  const setColours = (shown) => planIds.forEach((id, i) => { byId(id).style.color = shown[i]; });
  const undoColours = [];
  const redoColours = [];
  function showUndo(answer) {
    byId('Undo').disabled = !answer.undo;
    byId('Undo').title = answer.undo ? `Ctrl+Z: ${answer.undo}` : 'Ctrl+Z: nothing to undo';
    byId('Redo').disabled = !answer.redo;
    byId('Redo').title = answer.redo ? `Ctrl+Shift+Z: ${answer.redo}` : 'Ctrl+Shift+Z: nothing to redo';
  }
  function beforeAction() {
    call('jt4dds_before_action');
    undoColours.push(colours());
    redoColours.length = 0;
  }
  // The action has changed the fields: one step to undo, and a press when it calculates.
  function acted(what, pressAfter, event) {
    if (pressAfter) {
      press(event, () => call('jt4dds_act', ['string', 'number'], [what, 1]));
    } else {
      showUndo(call('jt4dds_act', ['string', 'number'], [what, 0]));
    }
  }
  function undo(redo = false) {
    const before = colours();
    let back = null;
    press(undefined, () => {
      const answer = call('jt4dds_undo', ['number'], [redo ? 1 : 0]);
      back = answer;
      return answer.error ? null : answer;
    });
    if (!back || back.error) return;
    (redo ? undoColours : redoColours).push(before);
    const shown = (redo ? redoColours : undoColours).pop();
    if (shown) setColours(shown);
    keep();
  }

  // Types a fix's edits as the operator would (a plan field turns black) and presses.
  function applyFix(edits, what = 'Apply fix') {
    beforeAction();
    for (const edit of edits) {
      const field = byId(edit.id);
      field.value = edit.text;
      field.dispatchEvent(new Event('input', { bubbles: true }));
    }
    acted(what, true);
  }

  // The line beside the results: stale until a press after any change, else
  // the last press's most severe finding. The module decides; this shows it.
  let pressing = false;
  let copyRefused = null;  // why the listing shown may not be copied, if it may not
  function showStatus(known) {
    if (pressing || !module) return;
    const status = known || call('jt4dds_status');
    const line = byId('PressStatus');
    line.textContent = prose(status.text);
    line.classList.toggle('stale', status.stale);
    line.dataset.stale = String(status.stale);
    line.dataset.severity = status.severity;
  }
  const isStale = () => call('jt4dds_status').stale;

  // One press of Calculate; the time until the next frame is kept for the tests.
  function press(event, pressing_ = () => call('jt4dds_press')) {
    const start = event && event.timeStamp ? event.timeStamp : performance.now();
    closeStopped();
    pressing = true;  // what the press writes into the fields is no change by the operator
    let answer;
    try {
      answer = pressing_();
    } finally {
      pressing = false;
    }
    if (!answer) return;
    showUndo(answer);
    showFindings(answer);
    copyRefused = answer.copy_refused;
    // Each finding once, in its severity's colour.
    byId('PressFindings').replaceChildren(...answer.findings_list.map((finding) =>
      element('li', { className: finding.severity, textContent: prose(finding.text) })));
    byId('PressFindings').hidden = !answer.findings_list.length;
    showTransmission(call('jt4dds_transmission'));
    showStatus(answer.status);
    keep(answer.beacon);
    if (answer.ended) showStopped(answer.ended);
    requestAnimationFrame(() => { page.lastPressMs = performance.now() - start; });
  }

  // Every download describes the plan on the screen: unpressed fields are pressed first.
  function pressIfStale() {
    if (isStale()) press();
  }

  function download(name, text) {
    const link = element('a', { href: URL.createObjectURL(new Blob([text], { type: 'application/octet-stream' })), download: name });
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }

  function downloadExport(which, name) {
    pressIfStale();
    let answer = call('jt4dds_export', ['number', 'number'], [which, 0]);
    if (answer.error && answer.forcible && window.confirm(answer.question)) {
      answer = call('jt4dds_export', ['number', 'number'], [which, 1]);
    }
    if (answer.error) {
      message(answer.error);
      return;
    }
    message('');
    download(name, answer.text);
  }

  async function openBeacon(file) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    beforeAction();
    const at = module._malloc(Math.max(bytes.length, 1));
    module.HEAPU8.set(bytes, at);
    const answer = call('jt4dds_open_beacon', ['number', 'number', 'string'], [at, bytes.length, file.name]);
    module._free(at);
    message(answer.error ? `${file.name} ${answer.error}` : '');
    if (answer.error) {
      undoColours.pop();
      return;
    }
    showDds(call('jt4dds_dds'));
    acted('Open', true);  // an opened beacon is shown calculated
  }

  // What is typed survives a reload: the beacon as a beacon file holds it,
  // which plan fields were typed into (black), and whether it was pressed,
  // kept in this browser until New clears it.
  const kKept = 'jt4dds.beacon';
  let restoring = false;
  function keep(pressedBeacon) {
    if (!module || restoring) return;
    const beacon = pressedBeacon || call('jt4dds_beacon_state').beacon;
    const typed = ['Fout', 'Mult', 'Fref'].filter((id) => byId(id).style.color === '');
    try {
      localStorage.setItem(kKept, JSON.stringify({ beacon, typed, pressed: Boolean(pressedBeacon) || !isStale() }));
    } catch (e) {
      // Storage full or refused (a private window): the page works on without it.
    }
  }
  function restore() {
    let kept = null;
    try {
      kept = JSON.parse(localStorage.getItem(kKept) || 'null');
    } catch (e) {
      kept = null;
    }
    if (!kept || typeof kept.beacon !== 'string') return;
    restoring = true;
    try {
      const bytes = new TextEncoder().encode(kept.beacon);
      const at = module._malloc(Math.max(bytes.length, 1));
      module.HEAPU8.set(bytes, at);
      const answer = call('jt4dds_open_beacon', ['number', 'number', 'string'], [at, bytes.length, '']);
      module._free(at);
      if (answer.error) return;
      for (const id of ['Fout', 'Mult', 'Fref'])
        byId(id).style.color = (kept.typed || []).includes(id) ? '' : 'rgb(255, 0, 0)';
      showDds(call('jt4dds_dds'));
      showTransmission(call('jt4dds_transmission'));
    } finally {
      restoring = false;
    }
    if (kept.pressed) press();
  }

  // Find settings: the search of jt4dds-cli --find on the page's fields, the
  // DDS chip and maximum clock it keeps to, columns that sort, and Use and
  // calculate, which types the pair as Apply fix does.
  let found = null;
  let chosen = -1;
  let sortedBy = null;  // [column, direction]
  function showDds(dds) {
    const select = byId('DdsChip');
    const wasDefault = !byId('References').value || byId('References').value === select.dataset.defaultRefs;
    if (select.options.length === 1) {
      for (const chip of dds.chips) select.append(element('option', { value: chip.name, textContent: chip.line }));
    }
    select.value = dds.chip;
    if (document.activeElement !== byId('MaxClock')) byId('MaxClock').value = dds.max_clock;
    byId('MaxClock').placeholder = dds.chip_clock;
    select.dataset.defaultRefs = dds.default_refs;
    if (wasDefault) byId('References').value = dds.default_refs;
  }
  function editDds() {
    const answer = call('jt4dds_set_dds', ['string', 'string'], [byId('DdsChip').value, byId('MaxClock').value.trim()]);
    if (answer.error) {
      byId('SearchStatus').textContent = answer.error;
      return;
    }
    showDds(answer);
    showStatus();
    keep();
  }
  function showCandidates() {
    const head = byId('Candidates').tHead;
    const body = byId('Candidates').tBodies[0];
    head.replaceChildren();
    body.replaceChildren();
    if (!found || !found.candidates) return;
    const row = element('tr');
    found.headings.forEach((heading, column) => {
      const button = element('button', { type: 'button', textContent: heading, title: 'Sort by this column' });
      button.addEventListener('click', () => {
        sortedBy = sortedBy && sortedBy[0] === column ? [column, -sortedBy[1]] : [column, 1];
        showCandidates();
      });
      const th = element('th');
      if (sortedBy && sortedBy[0] === column) th.setAttribute('aria-sort', sortedBy[1] > 0 ? 'ascending' : 'descending');
      th.append(button);
      row.append(th);
    });
    head.append(row);
    const order = found.candidates.map((_, i) => i);
    if (sortedBy) {
      const [column, direction] = sortedBy;
      order.sort((a, b) => direction * (found.candidates[a].keys[column] - found.candidates[b].keys[column]) || a - b);
    }
    for (const index of order) {
      const tr = element('tr');
      tr.dataset.index = String(index);
      tr.classList.toggle('chosen', index === chosen);
      found.candidates[index].cells.forEach((cell, column) => {
        const td = element('td', { textContent: prose(cell) });
        td.dataset.label = found.headings[column];  // a phone shows each row as a card of labelled values
        tr.append(td);
      });
      tr.addEventListener('click', () => {
        chosen = index;
        byId('UseCandidate').disabled = false;
        showCandidates();
      });
      tr.addEventListener('dblclick', () => {
        chosen = index;
        useCandidate();
      });
      body.append(tr);
    }
  }
  function search() {
    const touch = matchMedia('(pointer: coarse)').matches ? 1 : 0;
    const answer = call('jt4dds_find', ['string', 'string', 'number'],
      [byId('Multiplications').value, byId('References').value, touch]);
    found = answer.error ? null : answer;
    sortedBy = null;
    chosen = found && found.candidates.length ? 0 : -1;
    byId('UseCandidate').disabled = chosen < 0;
    if (answer.error) {
      byId('SearchStatus').textContent = answer.error;
    } else {
      byId('SearchStatus').textContent = prose(answer.status);
    }
    byId('Rejected').textContent = found ? found.rejected_lines : '';
    byId('ShowRejected').disabled = !(found && found.rejected_lines);
    showCandidates();
  }
  function useCandidate() {
    if (!found || chosen < 0) return;
    const c = found.candidates[chosen];
    applyFix([{ id: 'Mult', text: c.mult }, { id: 'Fref', text: c.fref }], 'Use and calculate');
  }
  function buildFindSettings() {
    byId('Multiplications').value = call('jt4dds_default_mults').text;
    showDds(call('jt4dds_dds'));
    const toggle = () => { byId('FindSettings').hidden = !byId('FindSettings').hidden; };
    byId('ShowFindSettings').addEventListener('click', toggle);
    onCtrl('f', toggle);
    byId('DdsChip').addEventListener('change', editDds);
    byId('MaxClock').addEventListener('input', editDds);
    byId('Search').addEventListener('click', search);
    for (const id of ['Multiplications', 'References', 'MaxClock']) {
      byId(id).addEventListener('keydown', (event) => {
        if (event.key === 'Enter') search();
      });
    }
    byId('UseCandidate').addEventListener('click', useCandidate);
    byId('ShowRejected').addEventListener('click', () => {
      const box = byId('Rejected');
      box.hidden = !box.hidden;
      byId('ShowRejected').setAttribute('aria-expanded', String(!box.hidden));
    });
  }

  function build(layout) {
    look = layout.waterfall;
    byId('Title').textContent = layout.title;
    document.title = layout.title;
    const client = byId('Client');
    client.style.width = `${Math.trunc(layout.clientWidth / layout.twipsPerPixel)}px`;
    client.style.height = `${Math.trunc(layout.clientHeight / layout.twipsPerPixel)}px`;
    for (const place of layout.controls) client.append(control(place, layout));
    layout.focusOrder.forEach((id, i) => { byId(id).tabIndex = i + 1; });
    // The browser's own font, made just small enough for every caption to fit
    // its fixed width, as in the window.
    const captions = [...client.querySelectorAll('label.caption')];
    const widest = Math.max(...captions.map((label) => label.scrollWidth));
    const room = captions[0].clientWidth - 2;
    if (widest > room) {
      const size = parseFloat(getComputedStyle(client).fontSize) * room / widest;
      for (const label of captions) label.style.fontSize = `${size}px`;
    }

    // The colour cue: red until the operator changes the field, then the
    // page's own text colour for good (black, or light on a dark page).
    for (const id of layout.planFields) {
      const field = byId(id);
      field.style.color = 'rgb(255, 0, 0)';
      field.addEventListener('input', () => { field.style.color = ''; });
    }
    byId('Command1').addEventListener('click', press);
    // Enter in any field presses Calculate.
    for (const input of client.querySelectorAll('input[type=text]')) {
      input.addEventListener('keydown', (event) => {
        if (event.key === 'Enter') {
          event.preventDefault();
          press(event);
        }
      });
    }
    // Copies of the listing keep its CR LF line ends; after a stopped press
    // the words shown are not the fields', and nothing is copied.
    byId('Text1').addEventListener('copy', (event) => {
      if (copyRefused) {
        event.preventDefault();
        message(`Nothing copied: ${copyRefused}`);
        return;
      }
      const area = byId('Text1');
      const selected = area.value.substring(area.selectionStart, area.selectionEnd);
      event.clipboardData.setData('text/plain', selected.replace(/\r?\n/g, '\r\n'));
      event.preventDefault();
    });
    const details = () => { byId('ToneDetails').hidden = !byId('ToneDetails').hidden; };
    byId('ShowToneDetails').addEventListener('click', details);
    onCtrl('t', details);
    byId('Undo').addEventListener('click', () => undo(false));
    byId('Redo').addEventListener('click', () => undo(true));
    const transmission = () => {
      byId('Transmission').hidden = !byId('Transmission').hidden;
      showTransmission(call('jt4dds_transmission'));
    };
    byId('ShowTransmission').addEventListener('click', transmission);
    byId('Noisy').addEventListener('change', hear);
    byId('Snr').addEventListener('change', () => { if (byId('Noisy').checked) hear(); });
    byId('Play').addEventListener('click', play);
    byId('SaveWav').addEventListener('click', () => {
      pressIfStale();
      if (heard && heard.wav) download(`${stem()}.wav`, heard.wav);
    });
    for (const id of ['Message', 'CwId', 'Wpm', 'TimerHz']) byId(id).addEventListener('input', editTransmission);
    byId('Mcu').addEventListener('change', editController);
    byId('McuClock').addEventListener('input', editController);
    byId('DownloadFirmware').addEventListener('click', downloadFirmware);
    for (const id of ['Message', 'CwId', 'Wpm', 'TimerHz', 'SendCw', 'SendCarrier', 'Mcu', 'McuClock']) byId(id).addEventListener('change', () => keep());
    for (const id of ['SendCw', 'SendCarrier']) byId(id).addEventListener('change', editTransmission);
    onCtrl('m', transmission);
    // Ctrl+Z in a field is the field's own undo; elsewhere it undoes the last
    // action, and Ctrl+Shift+Z (or Ctrl+Y) redoes it.
    document.addEventListener('keydown', (event) => {
      const inField = event.target instanceof HTMLInputElement && event.target.type === 'text';
      if (!event.ctrlKey || inField) return;
      const key = event.key.toLowerCase();
      const redo = (key === 'z' && event.shiftKey) || key === 'y';
      if ((key === 'z' || key === 'y') && !byId(redo ? 'Redo' : 'Undo').disabled) {
        event.preventDefault();
        undo(redo);
      }
    });
    // The 800 Hz tick is an action: undone as the window undoes it, with no press.
    byId('Ref800').addEventListener('change', () => {
      const box = byId('Ref800');
      box.checked = !box.checked;
      beforeAction();
      box.checked = !box.checked;
      acted('the 800 Hz tick', false);
    });
    // Downloads are named after the beacon: its name, its call, or its frequency.
    const stem = () => call('jt4dds_beacon_state').stem;
    byId('DownloadAsm').addEventListener('click', () => downloadExport(0, `${stem()}.inc`));
    byId('DownloadC').addEventListener('click', () => downloadExport(1, `${stem()}.h`));
    byId('DownloadJson').addEventListener('click', () => downloadExport(2, `${stem()}.json`));
    // Save asks for the beacon's name in its firmware files, and names the file after it.
    byId('SaveBeacon').addEventListener('click', () => {
      pressIfStale();
      const asked = window.prompt("The beacon's name in its firmware files (letters, digits and '_'):",
        call('jt4dds_beacon_name').name);
      if (asked === null) return;
      const answer = call('jt4dds_beacon', ['string'], [asked.trim()]);
      if (answer.error) {
        message(answer.error);
        return;
      }
      message('');
      download(`${asked.trim() || 'beacon'}.jt4dds`, answer.text);
    });
    client.addEventListener('input', () => showStatus());
    client.addEventListener('change', () => showStatus());
    client.addEventListener('input', () => keep());
    client.addEventListener('change', () => keep());
    buildFindSettings();
    byId('NewBeacon').addEventListener('click', () => {
      if (!window.confirm('Clear every field and start a new beacon?')) return;
      localStorage.removeItem(kKept);
      location.reload();
    });
    byId('CopyCommand').addEventListener('click', () => {
      pressIfStale();
      const command = call('jt4dds_beacon_state').command;
      if (navigator.clipboard) navigator.clipboard.writeText(command).catch(() => {});
      message(`Copied: ${command}`);
      page.lastCopied = command;
    });
    const openDetails = () => { byId('ToneDetails').hidden = false; };
    byId('PressStatus').addEventListener('click', openDetails);
    byId('PressStatus').addEventListener('keydown', (event) => {
      if (event.key === 'Enter' || event.key === ' ') {
        event.preventDefault();
        openDetails();
      }
    });
    byId('OpenBeacon').addEventListener('click', () => byId('BeaconFile').click());
    byId('BeaconFile').addEventListener('change', (event) => {
      if (event.target.files.length) openBeacon(event.target.files[0]);
      event.target.value = '';
    });
    restore();
    showStatus();
    byId('Tools').hidden = false;
    client.removeAttribute('aria-busy');
    byId('Fout').focus();
  }

  createJt4dds().then((loaded) => {
    module = loaded;
    build(call('jt4dds_layout'));
  });
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
})();
