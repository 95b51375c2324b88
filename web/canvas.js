// SPDX-License-Identifier: GPL-3.0-or-later
// A canvas drawn at the size it is shown, in CSS pixels, sharp on any
// screen: its backing store follows its width on the page and the screen's
// pixel ratio, so that its labels stay 11 px wherever it is drawn.
function jt4ddsFitCanvas(canvas, cssHeight) {
  const ratio = window.devicePixelRatio || 1;
  const width = canvas.clientWidth || 640;
  canvas.style.height = `${cssHeight}px`;
  canvas.width = Math.round(width * ratio);
  canvas.height = Math.round(cssHeight * ratio);
  const g = canvas.getContext('2d');
  g.setTransform(ratio, 0, 0, ratio, 0, 0);
  return { g, width, height: cssHeight };
}

// The data tones against their best even grid, as the module measured them
// (`heard`): the note and warning bands either side, a dot a tone.
function jt4ddsDrawToneGrid(canvas, heard) {
  const { g, width: canvasWidth, height: canvasHeight } = jt4ddsFitCanvas(canvas, 84);
  canvas.setAttribute('aria-label', heard.grid_label);
  if (!heard.residual_hz) return;
  const left = 60;
  const width = canvasWidth - left - 8;
  const height = canvasHeight - 20;
  const reach = heard.reach_hz;
  const xOf = (hz) => left + width / 2 + hz / reach * width / 2;
  const band = (from, to, fill) => { g.fillStyle = fill; g.fillRect(xOf(from), 4, xOf(to) - xOf(from), height); };
  band(-reach, -heard.warning_hz, 'rgba(224, 90, 74, 0.25)');
  band(heard.warning_hz, reach, 'rgba(224, 90, 74, 0.25)');
  band(-heard.warning_hz, -heard.note_hz, 'rgba(224, 176, 43, 0.25)');
  band(heard.note_hz, heard.warning_hz, 'rgba(224, 176, 43, 0.25)');
  g.fillStyle = g.strokeStyle = getComputedStyle(document.body).color;
  g.font = '11px sans-serif';
  g.beginPath();
  g.moveTo(xOf(0), 4);
  g.lineTo(xOf(0), 4 + height);
  g.stroke();
  heard.residual_hz.forEach((r, k) => {
    const y = 4 + (k + 0.5) * height / 4;
    g.textAlign = 'right';
    g.fillText(`tone ${k}`, left - 4, y + 4);
    g.beginPath();
    g.arc(xOf(r), y, 4, 0, 2 * Math.PI);
    g.fill();
  });
  g.textAlign = 'left';
  g.fillText(heard.scale[0], xOf(-reach), canvasHeight - 3);
  g.textAlign = 'center';
  g.fillText(heard.scale[1], xOf(0), canvasHeight - 3);
  g.textAlign = 'right';
  g.fillText(heard.scale[2], xOf(reach), canvasHeight - 3);
}
