// The sounding panel: a field sheet read by the core, its readings (each one
// can be left out), the inversion, and the model edited by dragging on the
// profile, with the curve and misfit asked of the core again at each move.
import { ask, CoreError } from './core.js';
import { sheetText } from './sheetfile.js';
import { parseCsv, toCsv } from './csv.js';
import { Figure } from './figure.js';
import { download } from './download.js';

const $ = (id) => document.getElementById(id);
const CURVE_POINTS = 60;
// Six significant digits, as the tool prints a model.
const sixDigits = (v) => (v === null || v === undefined ? '' : String(Number(v.toPrecision(6))));

const state = {
  sheet: null, // { name, text } as loaded or pasted
  drop: new Set(), // lines left out by the user
  join: false,
  columnsRead: null, // the columns box as the sheet was last read with it
  read: null, // read_sheet's answer
  fit: null, // invert's answer
  model: null, // { rho, thickness } shown: the fit's or the edited one
  tops: null, // each layer's top, 0 first; the dragged boundaries live here
  edited: false,
  forward: null, // forward's answer for the model at the readings
  curve: null, // forward_curve's answer
};

let figure = null;

function showError(id, error) {
  $(id).textContent = error ? error.message || String(error) : '';
}

function columnsFromBox() {
  return $('sheet-columns').value.split(/[\s,;]+/).filter((word) => word !== '');
}

function readInput() {
  state.columnsRead = columnsFromBox().join(' ');
  return {
    name: state.sheet.name,
    text: state.sheet.text,
    units: $('sheet-units').value || null,
    column: columnsFromBox(),
    drop: [...state.drop].sort((a, b) => a - b),
    join: state.join,
    join_to: null,
  };
}

// ---- Reading the sheet ---------------------------------------------------

async function loadSheet(sheet) {
  state.sheet = sheet;
  state.drop.clear();
  state.fit = null;
  state.model = null;
  state.tops = null;
  $('sheet-name').textContent = sheet.name;
  readSheet();
}

function readSheet() {
  showError('sheet-error', null);
  if (!state.sheet) return;
  let read;
  try {
    read = ask('read_sheet', readInput());
  } catch (e) {
    showError('sheet-error', e);
    // What the core read before it gave up still says why: the lines left out.
    if (e instanceof CoreError && e.answer.report) renderReport(e.answer.report);
    return;
  }
  state.read = read;
  renderReadings();
  if (state.model) refreshModel();
  else drawFigure();
}

// The table shows the tool's own text for each reading (its CSV), and the
// readings the user left out, greyed, to take back in with one click.
function renderReadings() {
  const read = state.read;
  const [header, ...rows] = parseCsv(read.csv).filter((row) => row.length > 1 || row[0] !== '');
  const at = (row, name) => { const k = header.indexOf(name); return k < 0 ? '' : row[k]; };
  const text = (v) => (v === null || v === undefined ? '' : String(v));
  const entries = [
    ...read.readings.map((r, k) => ({ line: r.line, left: false, cells: [at(rows[k] || [], 'ab2'), at(rows[k] || [], 'mn2'),
      at(rows[k] || [], 'k'), at(rows[k] || [], 'rho'), header.includes('error') ? at(rows[k] || [], 'error') : text(r.error),
      text(r.segment)] })),
    ...(read.dropped || []).map((r) => ({ line: r.line, left: true,
      cells: [r.ab2, r.mn2, r.k, r.rho, r.error, r.segment].map(text) })),
  ].sort((x, y) => x.line - y.line);
  const table = $('readings');
  table.replaceChildren();
  const caption = table.createCaption();
  caption.textContent = `Readings (${read.unit})`;
  const head = table.createTHead().insertRow();
  for (const name of ['leave out', 'line', 'AB/2', 'MN/2', 'K', 'rho', 'error', 'segment']) {
    const th = document.createElement('th');
    th.scope = 'col';
    th.textContent = name;
    head.appendChild(th);
  }
  const body = table.createTBody();
  for (const { line, left, cells } of entries) {
    const tr = body.insertRow();
    tr.dataset.line = line;
    if (left) tr.className = 'left-out';
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.checked = left;
    box.setAttribute('aria-label', `leave out line ${line}`);
    box.addEventListener('change', () => {
      if (box.checked) state.drop.add(line); else state.drop.delete(line);
      readSheet();
    });
    tr.insertCell().appendChild(box);
    tr.insertCell().textContent = line;
    for (const cell of cells) {
      const td = tr.insertCell();
      td.textContent = cell;
      td.title = cell;
    }
  }
  renderReport(read.report);
}

// The tool's own messages on the sheet, in its order: lines left out and why,
// notes, warnings.
function renderReport(report) {
  const kind = (text) => (/: warning: /.test(text) ? 'warning' : /: note: /.test(text) ? 'note' : 'leftout');
  renderNotes('reading-notes', (report || []).map((text) => ({ cls: kind(text), text })));
}

function renderNotes(id, items) {
  const box = $(id);
  box.replaceChildren();
  if (!items.length) return;
  const list = document.createElement('ul');
  for (const item of items) {
    const li = document.createElement('li');
    li.className = item.cls;
    li.textContent = item.text;
    list.appendChild(li);
  }
  box.appendChild(list);
}

// ---- Inversion and the edited model ---------------------------------------

function invert() {
  showError('sheet-error', null);
  if (!state.sheet) { showError('sheet-error', new Error('open or paste a field sheet first')); return; }
  const layers = $('layers-auto').checked ? 'auto' : Number($('layers').value);
  if (layers !== 'auto' && !(Number.isInteger(layers) && layers >= 1 && layers <= 8)) {
    showError('sheet-error', new Error('Layers: a whole number from 1 to 8, or auto'));
    return;
  }
  const errorText = $('error-percent').value.trim();
  const error = errorText === '' ? null : Number(errorText);
  if (error !== null && !(Number.isFinite(error) && error > 0)) {
    showError('sheet-error', new Error(`Error %: "${errorText}" is not a positive number`));
    return;
  }
  let fit;
  try {
    fit = ask('invert', { ...readInput(), layers, error });
  } catch (e) {
    showError('sheet-error', e);
    // A fit stopped at its iteration limit comes whole beside its error.
    if (!(e instanceof CoreError && e.answer.layers && e.answer.model_full)) {
      if (e instanceof CoreError && e.answer.read) { state.read = e.answer.read; renderReadings(); drawFigure(); }
      return;
    }
    fit = e.answer;
  }
  state.fit = fit;
  state.read = fit.read;
  state.model = { rho: [...fit.model_full.rho], thickness: [...fit.model_full.thickness] };
  state.tops = fit.layers.map((layer) => layer.top);
  state.edited = false;
  renderReadings();
  refreshModel();
}

const readingsOf = (field) => state.read.readings.map((r) => r[field]);

function refreshModel() {
  try {
    state.forward = ask('forward', {
      model: state.model, ab2: readingsOf('ab2'), mn2: readingsOf('mn2'), observed: readingsOf('rho'),
    });
    const ab2 = readingsOf('ab2');
    state.curve = ask('forward_curve', {
      model: state.model, ab2_min: Math.min(...ab2), ab2_max: Math.max(...ab2), count: CURVE_POINTS,
    });
  } catch (e) {
    showError('sheet-error', e);
    return;
  }
  renderModel();
  drawFigure();
}

function renderModel() {
  const table = $('model');
  table.replaceChildren();
  table.createCaption().textContent = state.edited ? 'Model (edited)' : 'Model';
  const head = table.createTHead().insertRow();
  for (const name of ['layer', 'rho', 'factor', 'thickness', 'factor', 'depth']) {
    const th = document.createElement('th');
    th.scope = 'col';
    th.textContent = name;
    head.appendChild(th);
  }
  const body = table.createTBody();
  const layers = state.model.rho.length;
  for (let k = 0; k < layers; k++) {
    const fitted = !state.edited ? state.fit.layers[k] : null;
    // The fit's values as the tool prints them (six digits); an edited model's as typed by the mouse.
    const cells = fitted ? [k + 1, fitted.rho, fitted.rho_factor, fitted.thickness, fitted.thickness_factor, fitted.top]
      : [k + 1, sixDigits(state.model.rho[k]), '', k < layers - 1 ? sixDigits(state.model.thickness[k]) : '', '',
        sixDigits(state.tops[k])];
    const tr = body.insertRow();
    for (const cell of cells) tr.insertCell().textContent = cell === null || cell === undefined ? '' : String(cell);
  }
  const rms = state.edited ? state.forward.rms_percent : state.fit.fit.rms_percent;
  $('misfit').textContent = rms === null || rms === undefined ? 'RMS misfit: no readings' : `RMS misfit ${sixDigits(rms)} %`;
  renderNotes('fit-notes', state.edited ? [{ cls: 'note', text: 'edited by hand: the factors belong to the fit' }]
    : [...(state.fit.notes || []).map((text) => ({ cls: 'note', text })),
      ...(state.fit.warnings || []).map((w) => ({ cls: 'warning', text: w.text ?? String(w) }))]);
}

// A boundary dragged to DEPTH stays between its neighbours; a layer's
// resistivity dragged to RHO stays positive (the axis gives nothing else).
function onDrag(kind, index, value) {
  if (!(value > 0)) return;
  if (kind === 'boundary') {
    const above = state.tops[index], below = state.tops[index + 2];
    if (value <= above || (below !== undefined && value >= below)) return;
    // The boundary moves; the layers above and below it take up the change, the others keep theirs.
    state.tops[index + 1] = value;
    state.model.thickness[index] = value - above;
    if (below !== undefined) state.model.thickness[index + 1] = below - value;
  } else {
    state.model.rho[index] = value;
  }
  state.edited = true;
  scheduleRefresh();
}

let pending = false;
function scheduleRefresh() {
  if (pending) return;
  pending = true;
  requestAnimationFrame(() => { pending = false; refreshModel(); });
}

// ---- The figure ------------------------------------------------------------

function drawFigure() {
  const read = state.read;
  if (!read) return;
  const segments = new Map();
  for (const r of read.readings) {
    if (!segments.has(r.segment)) segments.set(r.segment, { label: `MN/2 ${r.mn2}`, points: [] });
    segments.get(r.segment).points.push([r.ab2, r.rho]);
  }
  const figureState = { unit: read.unit, segments: [...segments.values()], curve: [], residuals: [], profile: [],
    title: state.sheet.name };
  let handles = null;
  if (state.model && state.curve) {
    figureState.curve = state.curve.ab2.map((x, k) => [x, state.curve.rho_a[k]]);
    // The residuals the core gave: the fit's (against its shifted model with fitted shifts), or
    // the edited model's from forward.
    const residuals = state.edited
      ? state.forward?.residual_percent || []
      : state.fit.readings.map((r) => r.residual_percent);
    figureState.residuals = residuals.map((r, k) => [read.readings[k].ab2, r]);
    if (!residuals.length) figureState.residualNote = 'residuals are shown for a fitted model: Invert to see them';
    const ab2 = readingsOf('ab2');
    // The profile starts a decade above the nearest spacing and ends below the deepest boundary or spacing.
    const start = Math.min(...ab2) / 10;
    const last = state.tops.length - 1;
    const end = Math.max(state.tops[last] * 10, Math.max(...ab2));
    const top = (k) => (k === 0 ? start : state.tops[k]);
    const bottom = (k) => (k === last ? end : state.tops[k + 1]);
    figureState.profile = state.model.rho.flatMap((rho, k) => [[rho, top(k)], [rho, bottom(k)]]);
    handles = {
      boundaries: state.tops.slice(1).map((depth, k) => ({ depth, rhoAbove: state.model.rho[k], rhoBelow: state.model.rho[k + 1] })),
      layers: state.model.rho.map((rho, k) => ({ rho, top: top(k), bottom: bottom(k) })),
    };
  }
  figure.show(figureState, handles, onDrag);
}

// ---- Exports ----------------------------------------------------------------

function needs(what, value) {
  if (!value) throw new Error(`nothing to export yet: ${what}`);
}

const base = () => (state.sheet ? state.sheet.name.replace(/\.[^.]*$/, '') : 'tavrin');

function modelRows() {
  const rows = [['layer', 'rho', 'rho_factor', 'thickness', 'thickness_factor', 'top']];
  state.model.rho.forEach((rho, k) => {
    const fitted = state.edited ? null : state.fit.layers[k];
    const inner = k < state.model.rho.length - 1;
    rows.push([k + 1, rho, fitted ? fitted.rho_factor : '', inner ? state.model.thickness[k] : '',
      fitted && inner ? fitted.thickness_factor : '', state.tops[k]]);
  });
  return rows;
}

const EXPORTS = {
  'export-readings-csv': () => { needs('readings', state.read); download(`${base()}-readings.csv`, 'text/csv', state.read.csv); },
  'export-readings-json': () => {
    needs('readings', state.read);
    download(`${base()}-readings.json`, 'application/json', JSON.stringify(state.read, null, 1));
  },
  'export-model-csv': () => { needs('a model (Invert)', state.model); download(`${base()}-model.csv`, 'text/csv', toCsv(modelRows())); },
  'export-model-json': () => {
    needs('a model (Invert)', state.model);
    const out = state.edited ? { model: state.model, top: state.tops, edited: true, forward: state.forward } : { ...state.fit, read: undefined };
    download(`${base()}-model.json`, 'application/json', JSON.stringify(out, null, 1));
  },
  'export-svg': () => { needs('readings', state.read); download(`${base()}.svg`, 'image/svg+xml', figure.svg()); },
  'export-png': () => { needs('readings', state.read); download(`${base()}.png`, 'image/png', figure.png()); },
};

// ---- Wiring -------------------------------------------------------------------

export function setupSounding(ready) {
  figure = new Figure($('figure'));
  const guarded = (action) => async (...args) => {
    try {
      await ready;
      await action(...args);
    } catch (e) {
      showError('sheet-error', e);
    }
  };
  const openFile = guarded(async (file) => {
    const sheet = await sheetText(file);
    $('sheet-text').value = sheet.text;
    await loadSheet(sheet);
  });
  $('sheet-file').addEventListener('change', (event) => {
    const file = event.target.files[0];
    if (file) openFile(file);
  });
  const panel = $('sounding');
  panel.addEventListener('dragover', (event) => { event.preventDefault(); panel.classList.add('dragging'); });
  panel.addEventListener('dragleave', () => panel.classList.remove('dragging'));
  panel.addEventListener('drop', (event) => {
    event.preventDefault();
    panel.classList.remove('dragging');
    const file = event.dataTransfer.files[0];
    if (file) openFile(file);
  });
  $('sheet-read').addEventListener('click', guarded(() => {
    const text = $('sheet-text').value;
    if (text.trim() === '') throw new Error('paste a field sheet into the box first');
    const name = state.sheet && state.sheet.text === text ? state.sheet.name : 'pasted sheet';
    return loadSheet({ name, text });
  }));
  $('sheet-units').addEventListener('change', guarded(readSheet));
  // A change of the columns re-reads the sheet, but leaving the box alone
  // does not (a click elsewhere would find the page redrawn under it).
  $('sheet-columns').addEventListener('change', guarded(() => {
    if (state.read && columnsFromBox().join(' ') !== state.columnsRead) readSheet();
  }));
  $('join').addEventListener('click', guarded(() => {
    state.join = !state.join;
    $('join').setAttribute('aria-pressed', String(state.join));
    readSheet();
  }));
  $('layers-auto').addEventListener('change', () => { $('layers').disabled = $('layers-auto').checked; });
  $('invert').addEventListener('click', guarded(invert));
  for (const [id, action] of Object.entries(EXPORTS)) $(id).addEventListener('click', guarded(action));
}

// For tests and scripts: the model shown and where its handles sit in the
// window (client coordinates, as the mouse is moved).
export function inspect() {
  const box = $('figure').getBoundingClientRect();
  const pixels = figure.handlePixels();
  const onPage = (p) => ({ ...p, x: p.x + box.left, y: p.y + box.top });
  return {
    model: state.model && { rho: [...state.model.rho], thickness: [...state.model.thickness] },
    tops: state.tops && [...state.tops],
    edited: state.edited,
    forward: state.forward,
    curve: state.curve,
    handles: { boundaries: pixels.boundaries.map(onPage), layers: pixels.layers.map(onPage) },
  };
}
