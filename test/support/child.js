'use strict';
// Runs a script in a fresh node process with its own library search path, for
// what one process cannot undo (a library that is loaded stays loaded).
const { spawnSync } = require('node:child_process');

function runChild(script, { libraryPath, args = [] } = {}) {
  const env = { ...process.env, LD_LIBRARY_PATH: libraryPath };
  const result = spawnSync(process.execPath, ['-e', script, '--', ...args], { env, encoding: 'utf8' });
  if (result.status !== 0) throw new Error(`child failed (${result.status}):\n${result.stdout}\n${result.stderr}`);
  return JSON.parse(result.stdout.trim().split('\n').pop());
}

module.exports = { runChild };
