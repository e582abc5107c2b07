'use strict';
// How answers are printed: the answer as JSON, or the rows the command
// names as an aligned table, with times as ISO dates and, on a terminal,
// a bold header and failures in red.
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

// Times the library gives in seconds since the epoch; 0 is no time at all.
const TIMES = new Set(['loginTime', 'lastAuthAttemptTime']);

function isoTime(value) {
  const seconds = Number(value);
  if (seconds === 0) return '-';
  const date = new Date(seconds * 1000);
  // Past what a Date holds (a u64 can be), the number is shown as it came.
  if (!Number.isInteger(seconds) || seconds < 0 || Number.isNaN(date.getTime())) return String(value);
  return date.toISOString().replace('.000Z', 'Z');
}

function cell(value, key) {
  if (value === undefined || value === null) return '';
  if (TIMES.has(key) && (typeof value === 'number' || typeof value === 'string')) return isoTime(value);
  if (Array.isArray(value)) return value.map((v) => cell(v)).join(',');
  if (typeof value === 'object') return JSON.stringify(value);
  return String(value);
}

const STYLES = { header: '\x1b[1m', failed: '\x1b[31m' };
// Styles wrap the escaped text only when the output is a terminal that may
// show colour; widths are counted without them.
const paint = (text, style, colour) => (colour && style ? `${STYLES[style]}${text}\x1b[0m` : text);
// A name of a batch that failed, or the status of a failure; never a server text.
const failedCell = (column, line, text) =>
  (column === 'result' && text.startsWith('failed (')) || (column === 'value' && line[0] === 'status' && text === 'failure');

// Columns in the order keys first appear, two spaces apart; every row a line.
function table(rows, colour = false) {
  if (rows.length === 0) return '(none)\n';
  const columns = [];
  for (const row of rows) for (const key of Object.keys(row)) if (!columns.includes(key)) columns.push(key);
  // Widths are those of the escaped texts, which are what the terminal shows.
  const lines = [columns, ...rows.map((row) => columns.map((c) => cell(row[c], c)))].map((line) => line.map(escapeText));
  const widths = columns.map((_, i) => Math.max(...lines.map((line) => line[i].length)));
  return lines.map((line, n) => line.map((text, i) => {
    const style = n === 0 ? 'header' : failedCell(columns[i], line, text) && 'failed';
    return paint(text, style, colour) + ' '.repeat(widths[i] - text.length);
  }).join('  ').trimEnd()).join('\n') + '\n';
}

function keyValues(object, colour) {
  return table(Object.entries(object).map(([key, value]) => ({ key, value: cell(value, key) })), colour);
}

// The text to print for an answer of `command`: {table, colour} say how.
function render(command, answer, { table: asTable = false, colour = false } = {}) {
  if (!asTable) return `${json(answer)}\n`;
  if (answer.status !== 'success') {
    const { error = {}, ...rest } = answer;
    const failures = command.rows && rest.failedList ? table(command.rows(rest), colour) : '';
    return keyValues({ status: rest.status, operation: rest.operation, ...error }, colour) + failures;
  }
  const rows = command.rows && command.rows(answer);
  if (!rows) return keyValues(answer, colour);
  const page = command.listing && answer[command.listing.key];
  const cookie = page && (page.cookie ? escapeText(cell(page.cookie)) : '(last page)');
  const footer = page ? `count: ${escapeText(cell(page.count))}  cookie: ${cookie}\n` : '';
  return table(rows, colour) + footer;
}

module.exports = { render, table };
