'use strict';
// How answers are printed: the answer as JSON (the default), or with
// --table the rows the command names as an aligned table.
//
// Answers carry texts that others chose (names of cached invalid users come
// from failed logons, file and user names from SMB clients), and a terminal
// acts on the control characters in them: a line break forges a row, an
// escape sequence moves the cursor, sets the window title or hides text. So
// nothing a terminal reads as a control reaches it raw: C0, DEL and C1 (which
// terminals take as controls as well), and the line and paragraph separators.

const hex = (c, digits) => c.charCodeAt(0).toString(16).padStart(digits, '0');

// The table writes them as \xNN, \u2028 and \u2029, and the backslash as \\,
// so that no escape can be forged either.
const escapeText = (text) => text.replace(/[\u0000-\u001f\u007f-\u009f\u2028\u2029\\]/g, (c) => {
  if (c === '\\') return '\\\\';
  return c.charCodeAt(0) > 0xff ? `\\u${hex(c, 4)}` : `\\x${hex(c, 2)}`;
});

// JSON.stringify escapes C0 already; the rest become JSON escapes too, so the
// text stays valid JSON and parses back to the server's exact text.
const json = (value) =>
  JSON.stringify(value, null, 2).replace(/[\u007f-\u009f\u2028\u2029]/g, (c) => `\\u${hex(c, 4)}`);

function cell(value) {
  if (value === undefined || value === null) return '';
  if (Array.isArray(value)) return value.map(cell).join(',');
  if (typeof value === 'object') return JSON.stringify(value);
  return String(value);
}

// Columns in the order keys first appear, two spaces apart; every row a line.
function table(rows) {
  if (rows.length === 0) return '(none)\n';
  const columns = [];
  for (const row of rows) for (const key of Object.keys(row)) if (!columns.includes(key)) columns.push(key);
  // Widths are those of the escaped texts, which are what the terminal shows.
  const lines = [columns, ...rows.map((row) => columns.map((c) => cell(row[c])))].map((line) => line.map(escapeText));
  const widths = columns.map((_, i) => Math.max(...lines.map((line) => line[i].length)));
  return lines.map((line) => line.map((text, i) => text.padEnd(widths[i])).join('  ').trimEnd()).join('\n') + '\n';
}

function keyValues(object) {
  return table(Object.entries(object).map(([key, value]) => ({ key, value: cell(value) })));
}

// The text to print for an answer of `command`.
function render(command, answer, asTable) {
  if (!asTable) return `${json(answer)}\n`;
  if (answer.status !== 'success') {
    const { error = {}, ...rest } = answer;
    const failed = command.rows && rest.failedList ? table(command.rows(rest)) : '';
    return keyValues({ status: rest.status, operation: rest.operation, ...error }) + failed;
  }
  const rows = command.rows && command.rows(answer);
  if (!rows) return keyValues(answer);
  const page = command.page && command.page(answer);
  const cookie = page && (page.cookie ? escapeText(cell(page.cookie)) : '(last page)');
  const footer = page ? `count: ${escapeText(cell(page.count))}  cookie: ${cookie}\n` : '';
  return table(rows) + footer;
}

module.exports = { render, table };
