// The page's entry: loads the core and sets up both panels. window.tavrin
// lets a test wait for the core and ask it directly.
import { loadCore, call } from './core.js';
import { setupCalculator } from './calculator.js';
import { setupSounding, inspect } from './sounding.js';

const status = document.getElementById('status');
const ready = loadCore().then(
  () => { status.textContent = 'Ready'; },
  (e) => { status.textContent = `The core did not load: ${e.message}`; status.classList.add('error'); throw e; },
);
ready.catch(() => {});

// Anything that escapes a handler is shown, not left to the console alone.
const report = (message) => { status.textContent = `Error: ${message}`; status.classList.add('error'); };
window.addEventListener('error', (event) => report(event.message));
window.addEventListener('unhandledrejection', (event) => report(event.reason && event.reason.message || String(event.reason)));

setupCalculator(ready);
setupSounding(ready);

window.tavrin = { ready, call, inspect };
