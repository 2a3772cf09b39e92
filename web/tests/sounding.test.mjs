// The sounding panel against the tool: each sheet opened through the file
// input (a spreadsheet made from a CSV example included) shows the readings,
// messages, fitted model and misfit the tool gives for it; dragging a
// boundary gives the tool's curve and misfit for the edited model; the
// exports are what they say.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, writeFileSync, readFileSync, copyFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import XLSX from 'xlsx';
import { openPage, tool, toolJson, examples, root } from './harness.mjs';

const work = mkdtempSync(join(tmpdir(), 'tavrin-sheets-'));

// Made-up readings with the faults a crew's sheet has: a word, a short line, a sign.
const BAD_SHEET = 'AB/2,MN/2,R\n1.5,0.5,28.4\n2,0.5,abc\n3,0.5\n4,0.5,3.5\n6,0.5,-1\n8,0.5,0.68\n10,0.5,0.36\n';

function makeSheets() {
  for (const name of ['ves1.csv', 'ves2-field-sheet.csv', 'ves3-own-names.txt']) copyFileSync(join(examples, name), join(work, name));
  copyFileSync(join(examples, 'ves2-field-sheet.csv'), join(work, 'pasted sheet'));
  writeFileSync(join(work, 'bad.csv'), BAD_SHEET);
  writeFileSync(join(work, 'junk.csv'), 'hello\nworld\n');
  writeFileSync(join(work, 'short.csv'), 'AB/2,MN/2,rho\n1,0.3,10\n2,0.3,12\n3,0.3,15\n');
  // A workbook made from the first example; the tool reads the CSV that SheetJS makes of it.
  const book = XLSX.read(readFileSync(join(examples, 'ves1.csv'), 'utf8').split('\n').filter((l) => !l.startsWith('#')).join('\n'), { type: 'string' });
  XLSX.writeFile(book, join(work, 'ves1-book.xlsx'));
  const csv = XLSX.utils.sheet_to_csv(XLSX.readFile(join(work, 'ves1-book.xlsx')).Sheets.Sheet1, { rawNumbers: true, blankrows: false });
  return csv;
}
const bookCsv = makeSheets();

const SHEETS = [
  { file: 'ves1.csv', units: 'm', columns: [] },
  { file: 'ves2-field-sheet.csv', units: '', columns: [] },
  { file: 'ves2-field-sheet.csv', units: '', columns: [], join: true },
  { file: 'ves3-own-names.txt', units: '', columns: ['ab2=c', 'mn2=p', 'r=m1', 'r=m2'] },
  { file: 'ves1-book.xlsx', units: 'm', columns: [], toolText: bookCsv },
  // Pasted: the page names the sheet 'pasted sheet', and so does the tool's file.
  { file: 'ves2-field-sheet.csv', units: '', columns: [], via: 'paste', toolFile: 'pasted sheet' },
  { file: 'ves3-own-names.txt', units: '', columns: ['ab2=c', 'mn2=p', 'r=m1', 'r=m2'], via: 'drop' },
];

// The tool's arguments for a sheet: run in the sheets' folder, so that its
// messages name the sheet as the page does.
function sheetArgs(sheet, drop = []) {
  let path = sheet.toolFile ?? sheet.file;
  if (sheet.toolText !== undefined) {
    // The tool is given the spreadsheet's CSV under the spreadsheet's name.
    const dir = mkdtempSync(join(work, 'csv-'));
    writeFileSync(join(dir, sheet.file), sheet.toolText);
    path = join(dir, sheet.file);
  }
  return [path, ...(sheet.units ? ['--units', sheet.units] : []), ...sheet.columns.flatMap((c) => ['--column', c]),
    ...(sheet.join ? ['--join'] : []), ...(drop.length ? ['--drop', drop.join(',')] : [])];
}
const inSheets = { cwd: work };
const withoutPrefix = (stderr) => stderr.split('\n').filter((l) => l !== '').map((l) => l.replace(/^tavrin: /, ''))
  .map((l) => l.replace(/^\/[^:]*\//, ''));

// The RMS misfit in percent of a model file to a sheet's readings, from the
// tool's own values: its readings (`sounding`) and the model's apparent
// resistivity at each (`forward`, the finite array of the reading's MN/2, or
// the ideal one where MN/2 is at most 1 % of AB/2, as the inversion models
// them); 100 sqrt(mean(((m - d) / d)^2)) to six digits.
function toolMisfit(modelFile, sheet) {
  const readings = expectedRows(tool(['sounding', ...sheetArgs(sheet)], inSheets).stdout)
    .map(([ab2, mn2, , rho]) => ({ ab2, mn2, rho: Number(rho) }));
  let sum = 0;
  for (const r of readings) {
    const ideal = Number(r.mn2) <= 0.01 * Number(r.ab2);
    const out = tool(['forward', '--model', modelFile, ...(ideal ? [] : ['--mn2', r.mn2]), r.ab2]);
    assert.equal(out.status, 0, out.stderr);
    const modelled = Number(out.stdout.trim().split('\n')[1].split(',')[1]);
    sum += ((modelled - r.rho) / r.rho) ** 2;
  }
  return String(Number((100 * Math.sqrt(sum / readings.length)).toPrecision(6)));
}

let session;
before(async () => { session = await openPage({ width: 1400, height: 1100 }); });
after(async () => { await session.close(); rmSync(work, { recursive: true, force: true }); });

async function open(page, sheet) {
  await page.reload();
  await page.evaluate(() => window.tavrin.ready);
  await page.getByLabel('Units', { exact: true }).selectOption(sheet.units);
  await page.getByLabel('Columns', { exact: true }).fill(sheet.columns.join(' '));
  const path = join(work, sheet.file);
  if (sheet.via === 'paste') {
    await page.getByRole('textbox', { name: 'Paste a field sheet' }).fill(readFileSync(path, 'utf8'));
    await page.getByRole('button', { name: 'Read', exact: true }).click();
  } else if (sheet.via === 'drop') {
    // A file dropped on the panel, as a file manager drops it.
    const drop = await page.evaluateHandle(([name, text]) => {
      const transfer = new DataTransfer();
      transfer.items.add(new File([text], name));
      return transfer;
    }, [sheet.file, readFileSync(path, 'utf8')]);
    await page.locator('#sounding').dispatchEvent('drop', { dataTransfer: drop });
  } else {
    await page.getByLabel('Field sheet', { exact: true }).setInputFiles(path);
  }
  await page.locator('#readings tbody tr').first().waitFor();
  if (sheet.join) {
    const before = await page.locator('#readings').textContent();
    await page.getByRole('button', { name: 'Join segments' }).click();
    await page.waitForFunction((b) => document.getElementById('readings').textContent !== b, before);
  }
}

// The rows of the Readings table that are in (not left out): AB/2, MN/2, K, rho, error.
const tableRows = (page) => page.$$eval('#readings tbody tr:not(.left-out)', (rows) =>
  rows.map((tr) => [...tr.cells].slice(2, 7).map((td) => td.textContent)));
const notes = (page) => page.$$eval('#reading-notes li', (items) => items.map((li) => li.textContent));

function expectedRows(stdout) {
  const [header, ...rows] = stdout.trim().split('\n').map((l) => l.split(','));
  const at = (row, name) => (header.includes(name) ? row[header.indexOf(name)] : '');
  return rows.map((row) => ['ab2', 'mn2', 'k', 'rho', 'error'].map((name) => at(row, name)));
}

for (const sheet of SHEETS) {
  const label = `${sheet.file}${sheet.join ? ' joined' : ''}${sheet.via ? `, ${sheet.via === 'drop' ? 'dropped' : 'pasted'}` : ''}`;
  test(`${label}: readings and messages as \`tavrin sounding\`, also with a line left out`, async () => {
    const { page, problems } = session;
    await open(page, sheet);
    const whole = tool(['sounding', ...sheetArgs(sheet)], inSheets);
    assert.deepEqual(await tableRows(page), expectedRows(whole.stdout));
    assert.deepEqual(await notes(page), withoutPrefix(whole.stderr));
    // One click leaves the second reading out; the tool's --drop gives the same.
    const line = Number(await page.locator('#readings tbody tr').nth(1).getAttribute('data-line'));
    await page.getByLabel(`leave out line ${line}`).click();
    await page.locator(`#readings tr.left-out[data-line="${line}"]`).waitFor();
    const dropped = tool(['sounding', ...sheetArgs(sheet, [line])], inSheets);
    assert.deepEqual(await tableRows(page), expectedRows(dropped.stdout));
    assert.equal((await tableRows(page)).length, expectedRows(whole.stdout).length - 1);
    assert.deepEqual(await notes(page), withoutPrefix(dropped.stderr));
    assert.deepEqual(problems, []);
  });
}

// The Model table's cells for the tool's layers: values as JSON gives them, '' for null.
const modelCells = (fit) => fit.layers.map((l, k) => [String(k + 1),
  ...['rho', 'rho_factor', 'thickness', 'thickness_factor', 'top'].map((f) => (l[f] === null ? '' : String(l[f])))]);

for (const [sheet, layers] of [[SHEETS[0], '3'], [SHEETS[0], 'auto'], [SHEETS[2], '3'], [SHEETS[3], 'auto']]) {
  test(`${sheet.file}${sheet.join ? ' joined' : ''}, ${layers} layers: Model and Misfit as \`tavrin invert --json\``, async () => {
    const { page, problems } = session;
    await open(page, sheet);
    if (layers === 'auto') await page.getByLabel('auto', { exact: true }).check();
    else await page.getByRole('spinbutton', { name: 'Layers' }).fill(layers);
    await page.getByRole('button', { name: 'Invert' }).click();
    await page.locator('#model tbody tr').first().waitFor({ timeout: 120000 });
    const fit = toolJson(['invert', '--json', '--layers', layers, ...sheetArgs(sheet)], inSheets);
    const shown = await page.$$eval('#model tbody tr', (rows) => rows.map((tr) => [...tr.cells].map((td) => td.textContent)));
    assert.deepEqual(shown, modelCells(fit));
    assert.equal(await page.getByLabel('Misfit', { exact: true }).textContent(), `RMS misfit ${fit.fit.rms_percent} %`);
    assert.deepEqual(problems, []);
  });
}

// Drags on the profile: which handle, the mouse's way, and what must follow in the model.
const DRAGS = [
  ['boundary', 0, [0, 12], (before, after) => after.thickness[0] > before.thickness[0] && after.rho.every((r, k) => r === before.rho[k])],
  ['layer', 1, [10, 0], (before, after) => after.rho[1] > before.rho[1] && after.thickness.every((h, k) => h === before.thickness[k])],
];

for (const [kind, index, [dx, dy], changed] of DRAGS) {
  test(`${kind} ${index + 1} dragged on the profile: curve and Misfit as \`tavrin forward\` gives them for the edited model`, async () => {
    const { page, problems } = session;
    await open(page, SHEETS[0]);
    await page.getByRole('spinbutton', { name: 'Layers' }).fill('3');
    await page.getByRole('button', { name: 'Invert' }).click();
    await page.locator('#model tbody tr').first().waitFor({ timeout: 120000 });
    await page.locator('#figure').scrollIntoViewIfNeeded();
    const fitted = await page.evaluate(() => window.tavrin.inspect());
    const misfitBefore = await page.getByLabel('Misfit', { exact: true }).textContent();
    const handle = fitted.handles[kind === 'boundary' ? 'boundaries' : 'layers'][index];
    await page.mouse.move(handle.x, handle.y);
    await page.mouse.down();
    for (let k = 1; k <= 5; k++) await page.mouse.move(handle.x + dx * k, handle.y + dy * k);
    await page.mouse.up();
    await page.waitForFunction((m) => document.getElementById('misfit').textContent !== m, misfitBefore);
    const edited = await page.evaluate(() => window.tavrin.inspect());
    assert.ok(edited.edited);
    assert.ok(changed(fitted.model, edited.model), JSON.stringify([fitted.model, edited.model]));
    // The tool on the edited model, written as forward --model reads it.
    const modelFile = join(work, 'edited-model.txt');
    writeFileSync(modelFile, edited.model.rho.map((rho, k) => `${rho},${edited.model.thickness[k] ?? ''}`).join('\n') + '\n');
    const curve = tool(['forward', '--model', modelFile, ...edited.curve.ab2.map(String)]);
    assert.equal(curve.status, 0, curve.stderr);
    assert.deepEqual(curve.stdout.trim().split('\n').slice(1).map((l) => Number(l.split(',')[1])), edited.curve.rho_a);
    const misfit = `RMS misfit ${toolMisfit(modelFile, SHEETS[0])} %`;
    assert.equal(await page.getByLabel('Misfit', { exact: true }).textContent(), misfit);
    assert.notEqual(misfitBefore, misfit);
    assert.match(await page.locator('#model caption').textContent(), /edited/);
    assert.deepEqual(problems, []);
  });
}

// Failures: the sheet, what the user does, and the message the page must show
// (the tool's own where the tool has one). What was loaded stays.
const FAILURES = [
  ['junk.csv', null, () => withoutPrefix(tool(['sounding', 'junk.csv'], inSheets).stderr).join('\n')],
  ['short.csv', '4', () => withoutPrefix(tool(['invert', 'short.csv', '--layers', '4'], inSheets).stderr).at(-1)],
  ['short.csv', '9', () => 'Layers: a whole number from 1 to 8, or auto'],
];

for (const [file, layers, message] of FAILURES) {
  test(`${file}${layers ? `, ${layers} layers` : ''}: the failure is shown and nothing loaded is lost`, async () => {
    const { page, problems } = session;
    await page.reload();
    await page.evaluate(() => window.tavrin.ready);
    await page.getByLabel('Field sheet', { exact: true }).setInputFiles(join(work, file));
    if (layers) {
      await page.locator('#readings tbody tr').first().waitFor();
      await page.getByRole('spinbutton', { name: 'Layers' }).fill(layers);
      await page.getByRole('button', { name: 'Invert' }).click();
    }
    await page.locator('#sheet-error:not(:empty)').waitFor();
    assert.equal(await page.locator('#sheet-error').textContent(), message());
    assert.equal(await page.getByRole('textbox', { name: 'Paste a field sheet' }).inputValue(), readFileSync(join(work, file), 'utf8'));
    if (layers) assert.equal(await page.locator('#readings tbody tr').count(), 3);
    assert.deepEqual(problems, []);
  });
}

test('a sheet with bad lines shows each left-out line with the tool\'s reason', async () => {
  const { page, problems } = session;
  await open(page, { file: 'bad.csv', units: '', columns: [] });
  const expected = tool(['sounding', 'bad.csv'], inSheets);
  assert.equal(expected.status, 1);
  const reasons = withoutPrefix(expected.stderr).filter((l) => /^bad\.csv:\d+: /.test(l));
  assert.equal(reasons.length, 3);
  const shown = await page.$$eval('#reading-notes li.leftout', (items) => items.map((li) => li.textContent));
  assert.deepEqual(shown, reasons);
  assert.deepEqual(problems, []);
});

// Each export's download, and how to tell that it is what it says.
const EXPORTS = [
  ['Readings CSV', (text) => { const rows = text.trim().split('\n').map((l) => l.split(',')); assert.equal(rows[0][0], 'ab2'); assert.ok(rows.length > 10 && rows.every((r) => r.length === rows[0].length)); }],
  ['Readings JSON', (text) => assert.ok(JSON.parse(text).readings.length > 10)],
  ['Model CSV', (text) => { const rows = text.trim().split('\n').map((l) => l.split(',')); assert.equal(rows[0].join(','), 'layer,rho,rho_factor,thickness,thickness_factor,top'); assert.equal(rows.length, 4); assert.ok(rows.slice(1).every((r) => Number(r[1]) > 0)); }],
  ['Model JSON', (text) => assert.equal(JSON.parse(text).layers.length, 3)],
  ['Figure SVG', (text) => {
    const ok = session.page.evaluate((t) => { const d = new DOMParser().parseFromString(t, 'image/svg+xml'); return !d.querySelector('parsererror') && d.documentElement.localName === 'svg' && d.querySelectorAll('path').length > 10; }, text);
    return ok.then((v) => assert.ok(v, 'an SVG document with the drawing'));
  }],
  ['Figure PNG', (_, bytes) => { assert.deepEqual([...bytes.subarray(0, 8)], [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]); assert.ok(bytes.length > 10000); }],
];

test('exports: readings and model as CSV and JSON, the figure as SVG and PNG; a screenshot of the panel', async () => {
  const { page, problems } = session;
  await open(page, SHEETS[0]);
  await page.getByRole('spinbutton', { name: 'Layers' }).fill('3');
  await page.getByRole('button', { name: 'Invert' }).click();
  await page.locator('#model tbody tr').first().waitFor({ timeout: 120000 });
  for (const [name, check] of EXPORTS) {
    const [download] = await Promise.all([page.waitForEvent('download'), page.getByRole('button', { name }).click()]);
    const path = await download.path();
    const bytes = readFileSync(path);
    await check(bytes.toString('utf8'), bytes);
  }
  await page.locator('#sounding').screenshot({ path: join(root, 'build/web/sounding.png') });
  assert.deepEqual(problems, []);
});
