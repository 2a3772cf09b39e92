// The page's module loaded in node and compared with the host's tool:
// calc on odd typed texts and one inversion must give the tool's bytes.
//   node web/api/check_module.mjs build/web/tavrin-core.js HOST_TOOL EXAMPLES_DIR
// Exit status 0 when all agree, 1 when some differ, 77 (skipped) without the
// host's tool.
import { execFileSync } from 'node:child_process';
import { existsSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { resolve } from 'node:path';

const [modulePath, tool, examples = 'examples'] = process.argv.slice(2);
if (!tool || !existsSync(tool)) {
  console.log(`no host tool at ${tool}: skipped`);
  process.exit(77);
}
const createTavrinCore = createRequire(import.meta.url)(resolve(modulePath));
const core = await createTavrinCore();

function call(name, input) {
  const json = core.stringToNewUTF8(JSON.stringify(input));
  const result = core.ccall('tavrin_call', 'number', ['string', 'number'], [name, json]);
  core._free(json);
  const text = core.UTF8ToString(result);
  core._tavrin_free(result);
  return JSON.parse(text);
}

function tavrin(...args) {
  return execFileSync(tool, args, { encoding: 'utf8', stdio: ['pipe', 'pipe', 'ignore'] });
}

let failed = 0;
function expectEqual(what, got, expected) {
  if (got !== expected) {
    failed++;
    console.log(`${what}:\n  module ${JSON.stringify(got)}\n  tool   ${JSON.stringify(expected)}`);
  }
}

const texts = [
  ['1', '50', '2.0', '2.0'], ['&H2', '50', '2.0V', '2'], ['1,5', '50', '2', '2'],
  ['', '', '', ''], ['-', '50', '2', '2'], ['1', '50', '1e400', '1'], ['1', '50', '2', '0'],
  ['1', '1e-400', '2', '2'], ['-3', '-50', '2', '2'], [' 2 ', '50', '2d3', '1'],
  ['1', '&O17', '&HFFFF', '3'], ['1', '5e4000', '-1e4000', '7'], ['2.5e', '50', '2,0', '2'],
  ['1', '50', '2', '-0'], ['é', '50', '2', '2'], ['1', '50', '--raw', '2'],
  ['99999', '99999', '99999', '1e-300'], ['0.1', '0.2', '0.3', '0.7'],
  ['1e308', '1e308', '1', '1e-308'], ['&HFFFFFFFF', '1', '1', '1'],
];
for (const [n, a, v, i] of texts) {
  expectEqual(`calc ${JSON.stringify([n, a, v, i])}`, call('calc', { n, a, v, i }).rho + '\n',
              tavrin('calc', '--', n, a, v, i));
}

const sheet = resolve(examples, 'ves1.csv');
const inverted = call('invert', {
  name: sheet, text: readFileSync(sheet, 'utf8'), units: 'm', layers: 3,
});
for (const extra of ['read', 'notes', 'model_full']) delete inverted[extra];
expectEqual('invert ves1.csv --layers 3', JSON.stringify(inverted),
            JSON.stringify(JSON.parse(tavrin('invert', sheet, '--units', 'm', '--layers', '3',
                                             '--json'))));

console.log(failed === 0 ? `the module agrees with ${tool}` : `${failed} differ`);
process.exit(failed === 0 ? 0 : 1);
