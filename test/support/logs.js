'use strict';
// Reads the syslog lines this process wrote, as captured by the preloaded
// shim: one "<priority>|<message>" line each.
const fs = require('node:fs');
const path = require('node:path');

function file(pid = process.pid) {
  const dir = process.env.CIFS_SYSLOG_DIR;
  if (!dir) throw new Error('CIFS_SYSLOG_DIR is not set: run the suites through npm test');
  return path.join(dir, `syslog.${pid}.log`);
}

function read(pid) {
  try {
    return fs.readFileSync(file(pid));
  } catch {
    return Buffer.alloc(0);
  }
}

// A position in the log; `since` returns the lines written after it.
const mark = () => read().length;

function parse(buffer) {
  return buffer
    .toString('utf8')
    .split('\n')
    .filter(Boolean)
    .map((line) => {
      const bar = line.indexOf('|');
      return { priority: Number(line.slice(0, bar)), text: line.slice(bar + 1) };
    });
}

const since = (position, pid) => parse(read(pid).subarray(position));

// The message after the "TARVO-REST: <function:line> " prefix.
const message = (line) => line.text.replace(/^TARVO-REST: <[^:>]+:\d+> /, '');

module.exports = { mark, since, parse, read, message, file };
