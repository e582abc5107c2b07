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
// Nor do the format characters (Unicode category Cf: the bidirectional
// controls, which show "alice\u202E1gpj.exe" as "aliceexe.jpg1", zero-width
// characters, the soft hyphen, the byte order mark) or spaces other than
// U+0020, which could pass for a column's gap.
const { isCut } = require('../paging');

const hex = (c, digits) => c.charCodeAt(0).toString(16).padStart(digits, '0');
// Each UTF-16 unit of a character outside the BMP as its own \uNNNN, as JSON writes it.
const units = (c) => [...Array(c.length).keys()].map((i) => `\\u${hex(c[i], 4)}`).join('');

// What reaches a terminal only escaped, beyond C0 and the backslash.
const INVISIBLE = /[\u007f-\u009f\u2028\u2029\p{Cf}]|(?! )\p{Zs}/gu;

// The table writes C0, DEL and C1 as \xNN, the others as \uNNNN, and the
// backslash as \\, so that no escape can be forged either.
const escapeText = (text) => text.replace(/[\u0000-\u001f\\]/g, (c) => (c === '\\' ? '\\\\' : `\\x${hex(c, 2)}`))
  .replace(INVISIBLE, (c) => (c.charCodeAt(0) <= 0xff ? `\\x${hex(c, 2)}` : units(c)));

// JSON.stringify escapes C0 already; the rest become JSON escapes too, so the
// text stays valid JSON and parses back to the server's exact text.
const jsonEscaped = (text) => text.replace(INVISIBLE, units);
const json = (value) => jsonEscaped(JSON.stringify(value, null, 2));

// A cell as the table shows it: escaped, or, when its spaces could pass for
// a column's gap (leading, trailing, or two or more in a row) or it starts
// like a quoted cell, as a JSON string.
const shownCell = (text) => (/^[ "]| $| {2}/.test(text) ? jsonEscaped(JSON.stringify(text)) : escapeText(text));

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

// The keys of `rows` in the order they first appear.
function columnsOf(rows) {
  const columns = [];
  for (const row of rows) for (const key of Object.keys(row)) if (!columns.includes(key)) columns.push(key);
  return columns;
}

// Columns in the order keys first appear, two spaces apart; every row a line.
function table(rows, colour = false) {
  if (rows.length === 0) return '(none)\n';
  const columns = columnsOf(rows);
  const lines = [columns, ...shownRows(rows, columns)];
  const widths = columns.map(() => 0);
  return tableLines(lines, columns, widthsOf(lines, widths), colour, true);
}

// The cells of `rows` as shown, under `columns`.
const shownRows = (rows, columns) => rows.map((row) => columns.map((c) => shownCell(cell(row[c], c))));

// Widths are those of the shown texts, which are what the terminal shows;
// `widths` grows to hold `lines`.
function widthsOf(lines, widths) {
  for (const line of lines) line.forEach((text, i) => { widths[i] = Math.max(widths[i], text.length); });
  return widths;
}

// Lines of shown cells, two spaces apart; the first is the header when `header`.
function tableLines(lines, columns, widths, colour, header) {
  return lines.map((line, n) => line.map((text, i) => {
    const style = header && n === 0 ? 'header' : failedCell(columns[i], line, text) && 'failed';
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
  return table(rows, colour) + (page ? footer(page, command.listing.items) : '');
}

// Under a page: its count (or, for a page that holds fewer records than its
// count, both numbers) and its cookie.
function footer(page, items) {
  const cookie = page.cookie ? shownCell(cell(page.cookie)) : '(last page)';
  const counted = isCut(page, items) ? `${page[items].length} of ${shownCell(cell(page.count))} records`
    : `count: ${shownCell(cell(page.count))}`;
  return `${counted}  cookie: ${cookie}\n`;
}

// What cifs-admin --all writes, as the pages come, so a listing too long to
// hold still shows its progress: as JSON, the answer of a single page whose
// list holds every item (the first page's other keys, then the items, then
// their count and the last cookie), with `status` last, once it is known; as
// a table, the rows of each page, under one header, in columns that widen
// for a later page's longer cells. A failure after the first page ends the
// JSON with `status` "failure" and the failure's `error` (or, for what is
// not a failure answer, the error's `code` and `description`), and the table
// with the failure's keys; a failure of the first page is printed as one
// answer. `page` returns false when the output wants draining before more;
// `end` and `fail` return the exit status.
function pageStream(command, operation, out, { table: asTable = false, colour = false } = {}) {
  const { key, items } = command.listing;
  let count = 0;
  let cookie;
  let opened = false;
  let columns;
  let widths;
  const indented = (text, spaces) => text.replace(/\n/g, `\n${' '.repeat(spaces)}`);

  function open(page) {
    opened = true;
    if (asTable) {
      columns = columnsOf(page[items]);
      widths = columns.map(() => 0);
      return;
    }
    const firstKeys = Object.entries(page).filter(([name]) => !['count', 'cookie', items].includes(name)).map(([name, value]) => `    ${json(name)}: ${indented(json(value), 4)},\n`).join('');
    out.write(`{\n  "operation": ${json(operation)},\n  ${json(key)}: {\n${firstKeys}    ${json(items)}: [`);
  }

  // The JSON's page closed, then `ending` (the last keys of the answer).
  function close(ending) {
    out.write(`${count ? '\n    ' : ''}],\n    "count": ${count},\n    "cookie": ${json(cookie ?? '')}\n  },\n${ending}}\n`);
  }

  return {
    page(page) {
      if (!opened) open(page);
      const list = page[items];
      let text = '';
      if (asTable) {
        const lines = shownRows(list, columns);
        if (count === 0) lines.unshift(columns);
        if (lines.length > 0) text = tableLines(lines, columns, widthsOf(lines, widths), colour, count === 0);
      } else {
        text = list.map((item, i) => `${count + i ? ',' : ''}\n      ${indented(json(item), 6)}`).join('');
      }
      count += list.length;
      cookie = page.cookie;
      return text === '' || out.write(text) !== false;
    },
    end() {
      if (asTable) out.write(`${count === 0 ? '(none)\n' : ''}count: ${count}  cookie: (last page)\n`);
      else close('  "status": "success"\n');
      return 0;
    },
    // A failure answer (or, with `error`, what was not one) ending the listing.
    fail(answer, error) {
      if (!opened) {
        if (answer) out.write(render(command, answer, { table: asTable, colour }));
        return 1;
      }
      const failure = answer ? answer.error || {} : { code: error.code, description: error.message };
      if (asTable) {
        if (answer) out.write(keyValues({ status: 'failure', operation, ...failure }, colour));
      } else {
        close(`  "status": "failure",\n  "error": ${indented(json(failure), 2)}\n`);
      }
      return 1;
    },
  };
}

module.exports = { render, table, pageStream };
