// The WebAssembly core: loads it once and calls its functions with JSON in
// and out. The page computes no number itself; everything numeric is asked
// of the core, as the command-line tool would compute it.

let instance = null;

// The module factory is the core's own script, inlined before this bundle.
export async function loadCore() {
  const factory = globalThis.createTavrinCore;
  if (typeof factory !== 'function') throw new Error('the core module is missing from the page');
  instance = await factory({ print: () => {}, printErr: (text) => console.warn(text) });
  return instance;
}

// FN's answer to OBJ, parsed, as the core gives it ({"error": ...} included).
export function call(fn, obj) {
  if (!instance) throw new Error('the core is not loaded yet');
  const m = instance;
  const json = m.stringToNewUTF8(JSON.stringify(obj));
  let out = 0;
  try {
    out = m.ccall('tavrin_call', 'number', ['string', 'number'], [fn, json]);
    return JSON.parse(m.UTF8ToString(out));
  } finally {
    if (out) m._tavrin_free(out);
    m._free(json);
  }
}

// An answer with "error": the message, and whatever the core gave beside it.
export class CoreError extends Error {
  constructor(answer) {
    super(String(answer.error));
    this.answer = answer;
  }
}

// FN's answer to OBJ; throws a CoreError when the answer is an error.
export function ask(fn, obj) {
  const answer = call(fn, obj);
  if (answer && typeof answer === 'object' && 'error' in answer) throw new CoreError(answer);
  return answer;
}
