'use strict';
// Reads the syslog lines this process wrote, as captured by the preloaded
// shim: one "<priority>|<message>" line each.
const fs = require('node:fs');
const path = require('node:path');

// Without the shim in this process the log file would simply never appear and
// every check of a logged line would pass on an empty log: refuse instead.
let captureChecked = false;
function checkCapture() {
  if (captureChecked) return;
  const maps = fs.readFileSync('/proc/self/maps', 'utf8');
  if (!maps.includes('/libsyslog_capture.so')) {
    throw new Error('the syslog capture (test/libsyslog_capture.so) is not preloaded: run the suites through ' +
      '"npm test", "npm run test:quick" or "npm run test:one -- <suite>"');
  }
  captureChecked = true;
}

function file(pid = process.pid) {
  const dir = process.env.CIFS_SYSLOG_DIR;
  if (!dir) throw new Error('CIFS_SYSLOG_DIR is not set: run the suites through npm test');
  checkCapture();
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

// The messages of the lines written after `position`.
const messagesSince = (position, pid) => since(position, pid).map(message);

module.exports = { mark, since, messagesSince, parse, read, message, file };
