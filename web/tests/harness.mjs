// What the browser tests share: Debian's Chromium driven by playwright-core
// on the built page, and the host tool whose output the page must equal.
import { chromium } from 'playwright-core';
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve, dirname } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

export const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const pagePath = resolve(root, process.env.TAVRIN_PAGE || 'build/web/tavrin.html');
export const toolPath = resolve(root, process.env.TAVRIN_TOOL || 'build/host/bin/tavrin');
export const examples = join(root, 'examples');

// The machine has no network: without these Chromium waits on connections.
const ARGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

export async function openPage({ width = 1400, height = 1000 } = {}) {
  const profile = mkdtempSync(join(tmpdir(), 'tavrin-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ARGS,
    viewport: { width, height },
    acceptDownloads: true,
  });
  const page = context.pages()[0] || await context.newPage();
  const problems = [];
  page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
  page.on('console', (m) => { if (m.type() === 'error') problems.push(`console: ${m.text()}`); });
  // The page must ask nothing of any network.
  page.on('request', (r) => { if (!/^(file|data|blob):/.test(r.url())) problems.push(`request: ${r.url()}`); });
  await page.goto(pathToFileURL(pagePath).href);
  await page.evaluate(() => window.tavrin.ready);
  const close = async () => {
    await context.close();
    rmSync(profile, { recursive: true, force: true });
  };
  return { page, problems, close };
}

// The tool's stdout, stderr and status for ARGS.
export function tool(args, options = {}) {
  const r = spawnSync(toolPath, args, { encoding: 'utf8', cwd: root, ...options });
  if (r.error) throw r.error;
  return { stdout: r.stdout, stderr: r.stderr, status: r.status };
}

export function toolJson(args, options = {}) {
  const r = tool(args, options);
  if (r.status !== 0 && r.status !== 1) throw new Error(`tavrin ${args.join(' ')}: ${r.status}: ${r.stderr}`);
  return JSON.parse(r.stdout);
}

export const generateCorpus = (count, dir) =>
  execFileSync('python3', [join(root, 'scripts/corpus.py'), 'generate', String(count), dir], { encoding: 'utf8' });
