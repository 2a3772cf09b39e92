// The calculator panel: four boxes, CALC, and the core's result text in Rho.
import { ask } from './core.js';

export function setupCalculator(ready) {
  const form = document.getElementById('calc-form');
  const rho = document.getElementById('calc-rho');
  const error = document.getElementById('calc-error');
  const boxes = ['n', 'a', 'v', 'i'].map((name) => document.getElementById(`calc-${name}`));

  // Enter in a box submits the form, which is CALC.
  form.addEventListener('submit', async (event) => {
    event.preventDefault();
    error.textContent = '';
    try {
      await ready;
      const input = Object.fromEntries(boxes.map((box) => [box.name, box.value]));
      rho.value = ask('calc', input).rho;
    } catch (e) {
      rho.value = '';
      error.textContent = e.message;
    }
  });
}
