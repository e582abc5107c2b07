'use strict';
// How answers are printed: the answer as JSON (the default), or with
// --table the rows the command names as an aligned table.

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
  const lines = [columns, ...rows.map((row) => columns.map((c) => cell(row[c])))];
  const widths = columns.map((_, i) => Math.max(...lines.map((line) => line[i].length)));
  return lines.map((line) => line.map((text, i) => text.padEnd(widths[i])).join('  ').trimEnd()).join('\n') + '\n';
}

function keyValues(object) {
  return table(Object.entries(object).map(([key, value]) => ({ key, value: cell(value) })));
}

// The text to print for an answer of `command`.
function render(command, answer, asTable) {
  if (!asTable) return `${JSON.stringify(answer, null, 2)}\n`;
  if (answer.status !== 'success') {
    const { error = {}, ...rest } = answer;
    const failed = command.rows && rest.failedList ? table(command.rows(rest)) : '';
    return keyValues({ status: rest.status, operation: rest.operation, ...error }) + failed;
  }
  const rows = command.rows && command.rows(answer);
  if (!rows) return keyValues(answer);
  const page = command.page && command.page(answer);
  const footer = page ? `count: ${page.count}  cookie: ${page.cookie || '(last page)'}\n` : '';
  return table(rows) + footer;
}

module.exports = { render, table };
