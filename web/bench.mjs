// How fast the page is in headless Chromium (not a test): the time from
// opening the file to a loaded core, a 4-layer inversion of a 24-reading
// sounding (all starting models; the first after the load, while the
// browser still compiles the module's hot code, and once more), and after a drag the new curve of 60
// AB/2 with the misfit. Medians of repeated runs. Run on one core:
//   taskset -c 0 node web/bench.mjs [RUNS]
import { spawnSync } from 'node:child_process';
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { openPage } from './tests/harness.mjs';

const runs = Number(process.argv[2] || 7);
const median = (xs) => { const s = [...xs].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };

// A made-up 24-reading sounding: four layers' worth of shape in two MN/2 segments.
const SHEET = `AB/2,MN/2,rho
1,0.3,102
1.5,0.3,98.1
2,0.3,91.7
3,0.3,76.4
4,0.3,62.0
5,0.3,51.3
6,0.3,44.2
8,0.3,36.9
10,0.3,34.8
10,2,35.6
12,2,36.1
15,2,38.9
20,2,44.7
25,2,50.6
30,2,55.8
40,2,63.9
50,2,68.7
60,2,70.2
80,2,68.1
100,2,62.3
120,2,55.4
150,2,46.9
200,2,37.1
250,2,31.0
`;

const load = [], inversion = [], again = [], drag = [];
let fitted = null;
const { page, close } = await openPage();
for (let r = 0; r < runs; r++) {
  const started = performance.now();
  await page.goto(page.url());
  await page.evaluate(() => window.tavrin.ready);
  load.push(performance.now() - started);
  const times = await page.evaluate((text) => {
    const t0 = performance.now();
    const fit = window.tavrin.call('invert', { name: 'bench.csv', text, units: 'm', column: [], drop: [], join: false, join_to: null, layers: 4, error: null });
    const t1 = performance.now();
    if (fit.error && !fit.model_full) throw new Error(fit.error);
    const readings = fit.read.readings;
    const model = { rho: [...fit.model_full.rho], thickness: [...fit.model_full.thickness] };
    model.thickness[0] = model.thickness[0] * 1.1; // where a drag moves the first boundary
    const t2 = performance.now();
    const f = window.tavrin.call('forward', { model, ab2: readings.map((x) => x.ab2), mn2: readings.map((x) => x.mn2), observed: readings.map((x) => x.rho) });
    const c = window.tavrin.call('forward_curve', { model, ab2_min: readings[0].ab2, ab2_max: readings[readings.length - 1].ab2, count: 60 });
    const t3 = performance.now();
    // The same inversion again in the loaded page: its code compiled by then.
    window.tavrin.call('invert', { name: 'bench.csv', text, units: 'm', column: [], drop: [], join: false, join_to: null, layers: 4, error: null });
    const t4 = performance.now();
    if (f.error || c.error || c.rho_a.length !== 60) throw new Error(f.error || c.error || 'curve');
    return { invert: t1 - t0, again: t4 - t3, drag: t3 - t2, starts: fit.fit.starts, readings: readings.length, model };
  }, SHEET);
  inversion.push(times.invert);
  again.push(times.again);
  drag.push(times.drag);
  if (r === 0) fitted = times.model;
  if (r === 0) console.log(`sounding: ${times.readings} readings, 4 layers, ${times.starts} starting models`);
}
await close();
const row = (name, xs) => console.log(`${name.padEnd(40)} ${median(xs).toFixed(1).padStart(9)} ms   (${runs} runs, ${Math.min(...xs).toFixed(1)}..${Math.max(...xs).toFixed(1)})`);
console.log(`${'what'.padEnd(40)} ${'median'.padStart(9)}`);
row('page load from file:// to a ready core', load);
row('invert, 4 layers, 24 readings: first', inversion);
row('the same invert again', again);
row('after a drag: forward + curve of 60', drag);

// The native tool on the same work, as whole processes (its start
// included): the baseline the page is compared with.
const tool = process.env.TAVRIN_TOOL || new URL('../build/host/bin/tavrin', import.meta.url).pathname;
const dir = mkdtempSync(join(tmpdir(), 'tavrin-bench-'));
const sheet = join(dir, 'bench.csv');
writeFileSync(sheet, SHEET);
const timed = (args) => {
  const xs = [];
  for (let r = 0; r < runs; r++) {
    const t0 = performance.now();
    const run = spawnSync(tool, args, { encoding: 'utf8' });
    xs.push(performance.now() - t0);
    if (run.status !== 0) throw new Error(`${tool} ${args.join(' ')}: ${run.stderr}`);
  }
  return xs;
};
const model = ['--rho', fitted.rho.join(','), '--thick', fitted.thickness.join(',')];
console.log(`native tool (${tool}), whole process`);
row('tavrin invert --layers 4', timed(['invert', sheet, '--units', 'm', '--layers', '4', '--json']));
row('tavrin forward, 61 AB/2', timed(['forward', ...model, '--ab2', '1:250:25']));
