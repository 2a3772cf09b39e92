// Turns a file the user opened or dropped into a field sheet's text: a
// spreadsheet's first sheet as CSV (SheetJS), any other file as its text.
import { read as readWorkbook, utils } from 'xlsx';

const SPREADSHEET = /\.(xlsx|xlsm|xls|ods)$/i;

export async function sheetText(file) {
  if (!SPREADSHEET.test(file.name)) return { name: file.name, text: await file.text() };
  const book = readWorkbook(new Uint8Array(await file.arrayBuffer()), { type: 'array' });
  const first = book.SheetNames[0];
  if (first === undefined) throw new Error(`${file.name}: the workbook holds no sheet`);
  // Cells as the spreadsheet shows them would round; raw values keep every digit.
  const text = utils.sheet_to_csv(book.Sheets[first], { rawNumbers: true, blankrows: false });
  return { name: file.name, text };
}
