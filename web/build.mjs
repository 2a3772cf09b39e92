// Builds the page: bundles web/src with esbuild and writes one self-contained
// HTML file with the core module, every script and style inline, so that it
// opens from file:// and asks no network for anything.
//
//   node build.mjs CORE_JS OUT_HTML
import { build } from 'esbuild';
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const [coreJs, outHtml] = process.argv.slice(2);
if (!coreJs || !outHtml) {
  console.error('usage: node build.mjs CORE_JS OUT_HTML');
  process.exit(2);
}

let core;
try {
  core = readFileSync(coreJs, 'utf8');
} catch (e) {
  console.error(`${coreJs}: cannot read the core module (${e.code}); build the web preset first`);
  process.exit(3);
}

const bundle = await build({
  entryPoints: [join(here, 'src/main.js')],
  bundle: true,
  write: false,
  format: 'iife',
  minify: true,
  target: ['chrome100', 'firefox100', 'safari15'],
  loader: { '.css': 'text' },
  legalComments: 'none',
  logLevel: 'warning',
});
const script = bundle.outputFiles[0].text;

// A script's text may not hold "</script" anywhere, nor "<!--" which would
// change how the parser reads the rest of it.
const inline = (text) => text.replace(/<\/(script)/gi, '<\\/$1').replace(/<!--/g, '<\\!--');

const style = readFileSync(join(here, 'src/style.css'), 'utf8');
const page = readFileSync(join(here, 'src/page.html'), 'utf8')
  .replace('<!--STYLE-->', () => `<style>${style.replace(/<\/(style)/gi, '<\\/$1')}</style>`)
  .replace('<!--CORE-->', () => `<script>${inline(core)}</script>`)
  .replace('<!--APP-->', () => `<script>${inline(script)}</script>`);
if (page.includes('<!--CORE-->') || page.includes('<!--APP-->')) throw new Error('page template');
mkdirSync(dirname(outHtml), { recursive: true });
writeFileSync(outHtml, page);
console.log(`${outHtml}: ${(page.length / 1024).toFixed(0)} KiB`);
