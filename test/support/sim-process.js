'use strict';
// Runs the tools as a user would, in child processes that share one simulated
// server through a state file, and scripts in child processes of their own.
const { spawn, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const simulator = require('../../lib/simulator');
const { addonPath } = require('./addon');

const root = path.join(__dirname, '..', '..');
const adminPath = path.join(root, 'bin', 'cifs-admin');
const dn = 'cn=admin,o=example';

// A state file in a folder of its own, removed when the suite's process ends.
const stateDirs = [];
process.on('exit', () => {
  for (const dir of stateDirs) fs.rmSync(dir, { recursive: true, force: true });
});
function newStateDir() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'cifs-state-'));
  stateDirs.push(dir);
  return dir;
}
const newStateFile = () => path.join(newStateDir(), 'server.state');

// The environment of a child on the simulator; `env` entries set to undefined are removed.
function childEnv(stateFile, env = {}) {
  const out = { ...simulator.env({ stateFile }), CIFS_DN: dn, CIFS_BUILD_DIR: path.dirname(addonPath), ...env };
  for (const [key, value] of Object.entries(out)) if (value === undefined) delete out[key];
  return out;
}

function finished(result) {
  const { status, stdout, stderr } = result;
  return { status, stdout, stderr, json: () => JSON.parse(stdout) };
}

// cifs-admin ARGS against the server of `stateFile`.
const admin = (stateFile, args, env) =>
  finished(spawnSync(process.execPath, [adminPath, ...args], { env: childEnv(stateFile, env), encoding: 'utf8' }));

// Runs `body` (source of an async function taking (simulator, cifs)) in a
// child and returns what it returns; 64-bit values come back as strings.
const script = (body) => `
  const simulator = require(${JSON.stringify(path.join(root, 'lib', 'simulator'))});
  const cifs = require(${JSON.stringify(addonPath)});
  (${body})(simulator, cifs).then((r) => console.log(JSON.stringify(r ?? null, (k, v) => typeof v === 'bigint' ? String(v) : v)));
`;

function withSimulator(stateFile, body) {
  const result = spawnSync(process.execPath, ['-e', script(body)], { env: childEnv(stateFile), encoding: 'utf8' });
  if (result.status !== 0) throw new Error(`child failed (${result.status}): ${result.stderr}`);
  return JSON.parse(result.stdout);
}

// Runs `source` in a fresh node process with its own library search path,
// for what one process cannot undo (a library that is loaded stays loaded);
// the last line it prints is its JSON result.
function runChild(source, { libraryPath, args = [] } = {}) {
  const result = spawnSync(process.execPath, ['-e', source, '--', ...args], { env: { ...process.env, LD_LIBRARY_PATH: libraryPath }, encoding: 'utf8' });
  if (result.status !== 0) throw new Error(`child failed (${result.status}):\n${result.stdout}\n${result.stderr}`);
  return JSON.parse(result.stdout.trim().split('\n').pop());
}

// The same, started now and awaited later, so several run at once.
function startWithSimulator(stateFile, body) {
  const child = spawn(process.execPath, ['-e', script(body)], { env: childEnv(stateFile) });
  let stderr = '';
  child.stderr.on('data', (d) => { stderr += d; });
  return new Promise((resolve, reject) => child.on('exit', (code) => (code === 0 ? resolve() : reject(new Error(stderr)))));
}

module.exports = { admin, withSimulator, runChild, startWithSimulator, newStateFile, newStateDir, childEnv, adminPath, root, dn };
