// The calculator panel against the tool: the corpus generator's calc lines,
// odd texts included, typed into the four boxes and CALC pressed; the Rho box
// shows what `tavrin calc` prints for the texts the boxes hold.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { openPage, tool, generateCorpus, root } from './harness.mjs';

// commands.txt escapes a word's bytes as \\, \t, \n and \xHH (latin-1).
const unescape = (word) => word.replace(/\\(\\|t|n|x[0-9a-fA-F]{2})/g, (_, e) =>
  e === '\\' ? '\\' : e === 't' ? '\t' : e === 'n' ? '\n' : String.fromCharCode(parseInt(e.slice(1), 16)));

function calcLines(count) {
  const dir = mkdtempSync(join(tmpdir(), 'tavrin-corpus-'));
  try {
    generateCorpus(count, dir);
    return readFileSync(join(dir, 'commands.txt'), 'latin1').split('\n')
      .filter((line) => line.startsWith('calc\t'))
      .map((line) => line.split('\t').slice(1).map(unescape));
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

let session;
before(async () => { session = await openPage(); });
after(async () => { await session.close(); });

test('the boxes start with the window\'s texts and CALC gives the tool\'s result', async () => {
  const { page } = session;
  const values = await Promise.all(['n', 'a', 'v', 'i'].map((n) => page.getByRole('textbox', { name: n, exact: true }).inputValue()));
  assert.deepEqual(values, ['1', '50', '2.0', '2.0']);
  await page.getByRole('textbox', { name: 'i', exact: true }).focus();
  await page.keyboard.press('Enter');
  const rho = page.getByRole('textbox', { name: 'Rho', exact: true });
  await page.waitForFunction(() => document.getElementById('calc-rho').value !== '');
  assert.equal(await rho.inputValue(), tool(['calc', '1', '50', '2.0', '2.0']).stdout.trim());
  assert.equal(await rho.getAttribute('readonly'), '');
  await page.screenshot({ path: join(root, 'build/web/calculator.png'), clip: await page.locator('#calculator').boundingBox() });
});

test('Rho equals `tavrin calc` for the corpus\'s calc lines', async () => {
  const { page, problems } = session;
  const cases = calcLines(2400);
  assert.ok(cases.length >= 200, `${cases.length} calc lines`);
  const boxes = ['n', 'a', 'v', 'i'].map((n) => page.getByRole('textbox', { name: n, exact: true }));
  let numbers = 0;
  for (const words of cases) {
    for (let k = 0; k < 4; k++) await boxes[k].fill(words[k]);
    await page.evaluate(() => { document.getElementById('calc-rho').value = '\u0000'; });
    await page.getByRole('button', { name: 'CALC' }).click();
    await page.waitForFunction(() => document.getElementById('calc-rho').value !== '\u0000');
    const shown = await page.evaluate(() => ({
      rho: document.getElementById('calc-rho').value,
      error: document.getElementById('calc-error').textContent,
      typed: ['n', 'a', 'v', 'i'].map((n) => document.getElementById(`calc-${n}`).value),
    }));
    // A text box drops line ends; the tool is given what the boxes hold.
    const expected = tool(['calc', '--', ...shown.typed]);
    const label = JSON.stringify(shown.typed);
    assert.equal(expected.status, 0, label);
    assert.equal(shown.rho, expected.stdout.replace(/\n$/, ''), label);
    assert.equal(shown.error, '', label);
    if (shown.rho !== '0.') numbers++;
  }
  // Most lines are readings that give a resistivity, not the empty result.
  assert.ok(numbers >= cases.length / 2, `${numbers} of ${cases.length} gave a resistivity`);
  assert.deepEqual(problems, []);
});
