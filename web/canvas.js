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
