'use strict';
// The bundled simulator of the two platform libraries, as a development tool:
// set up and inspect the simulated server (volumes, shares, open files,
// connections, invalid users, user contexts, which DNs are supervisors), make
// library calls fail, and reset it. The controls act on the simulated
// libraries of this process; with CIFS_SIM_STATE naming a state file (see
// env()), every process that uses the simulator shares that one server.
const path = require('node:path');
const { control, buildDir, libraryDir } = require('./simctl');

const STATE_VARIABLE = 'CIFS_SIM_STATE';
const IDENTITY_KEYS = new Set([
  'dn', 'userType', 'supervisor', 'userinfoStatus', 'sevStatus', 'neededCapacity', 'alwaysTooSmall', 'sidStatus',
]);

const CHOICE_KEYS = new Set(['shareRecords', 'connectionRecords', 'objectSlack']);
const PLACES = new Set(['apart', 'inside']);
const OBJECT_SLACK_LIMIT = 64 * 2 ** 20;

function checkKeys(object, allowed, what) {
  for (const key of Object.keys(object)) {
    if (!allowed.has(key)) throw new TypeError(`${what}: unknown key '${key}'`);
  }
}

const SHIM = 'libsyslog_stderr.so';

// LD_PRELOAD with the shim first, so its syslog is the one called; only a
// sanitizer runtime must stay ahead of it.
function withShim(shim, preload = '') {
  const entries = preload.split(/[ :]+/).filter(Boolean);
  const runtime = entries.length > 0 && /libasan|clang_rt\.asan/.test(entries[0]) ? [entries.shift()] : [];
  return [...runtime, shim, ...entries].join(' ');
}

// The environment for a child process that runs against the simulator:
// the simulated libraries first on its search path, the state file if given,
// and with mirrorSyslog the shim that copies its syslog lines to stderr.
// The loader splits LD_LIBRARY_PATH at ':' and ';', so a folder holding
// either cannot be named there at all; it splits LD_PRELOAD at spaces too,
// so from a folder with a space the shim is preloaded by its bare name,
// which the loader looks up on LD_LIBRARY_PATH, where that folder is first.
function env({ stateFile, mirrorSyslog = false, base = process.env } = {}) {
  if (/[:;]/.test(libraryDir)) {
    throw new Error(`the simulator's folder ${libraryDir} holds ':' or ';', which split LD_LIBRARY_PATH, so the ` +
      'loader cannot be pointed at it: build in a folder without them');
  }
  const out = { ...base };
  out.LD_LIBRARY_PATH = base.LD_LIBRARY_PATH ? `${libraryDir}:${base.LD_LIBRARY_PATH}` : libraryDir;
  if (stateFile !== undefined) out[STATE_VARIABLE] = path.resolve(stateFile);
  if (mirrorSyslog) out.LD_PRELOAD = withShim(libraryDir.includes(' ') ? SHIM : path.join(libraryDir, SHIM), base.LD_PRELOAD);
  return out;
}

const identity = {
  // How the identity library treats one DN (or, without dn, every DN that has
  // no entry of its own); omitted fields take the reset values.
  set(fields = {}) {
    checkKeys(fields, IDENTITY_KEYS, 'identity.set');
    control().identitySet(fields.dn, fields);
  },
  // The default entry first (no dn), then one per DN.
  entries: () => control().identityEntries(),
  calls: () => control().identityCalls(),
  reset: () => control().identityReset(),
};

// Where records lie ('apart' or 'inside' becomes a flag), keeping what was
// not given.
function placeFlag(choices, key, current) {
  const value = choices[key];
  if (value === undefined) return current;
  if (!PLACES.has(value)) throw new TypeError(`setChoices: ${key} must be 'apart' or 'inside'`);
  return value === 'inside';
}

const simulator = {
  libraryDir,
  buildDir,
  stateVariable: STATE_VARIABLE,
  env,
  // The seed server again, no failure rules, no delay, empty call logs, the
  // default choices, and every DN a supervisor. What the library kept for
  // what it handed out is released.
  reset() {
    control().identityReset();
    control().mgmtReset();
  },
  volumes: () => control().mgmtVolumes(),
  setVolumes: (names) => control().mgmtSetVolumes(names),
  shares: () => control().mgmtShares(),
  setShares: (shares) => control().mgmtSetShares(shares),
  openFiles: () => control().mgmtOpenFiles(),
  setOpenFiles: (files) => control().mgmtSetOpenFiles(files),
  connections: () => control().mgmtConnections(),
  setConnections: (connections) => control().mgmtSetConnections(connections),
  invalidUsers: () => control().mgmtInvalidUsers(),
  setInvalidUsers: (users) => control().mgmtSetInvalidUsers(users),
  contexts: () => control().mgmtContexts(),
  setContexts: (contexts) => control().mgmtSetContexts(contexts),
  // A DN is a supervisor unless an entry says otherwise.
  isSupervisor(dn) {
    const entries = identity.entries();
    const own = entries.find((e) => e.dn === dn);
    return (own || entries[0]).supervisor;
  },
  setSupervisor(dn, supervisor = true) {
    const own = identity.entries().find((e) => e.dn === dn);
    const { dn: _, ...fields } = own || {};
    identity.set({ ...fields, dn, supervisor });
  },
  // The next `times` calls of `call` (0 or omitted: every call until reset)
  // whose share name or text is `name` (omitted: any) answer `status`.
  fail({ call, status, name, times } = {}) {
    control().mgmtFail(call, status, name, times);
  },
  failures: () => control().mgmtFailures(),
  delay: (ms) => control().mgmtDelay(ms),
  // Where the library's contract leaves it a choice: shareRecords and
  // connectionRecords 'apart' (default: each listed share record, or the
  // connection records together, in memory the library keeps) or 'inside'
  // (in the list block the caller frees); objectSlack, the bytes of
  // record-like slack after a listing's records, beyond the size its header
  // gives (default 4096, 0: exact objects). Omitted keys stay as they are;
  // reset restores the defaults. Per process, never in the state file.
  setChoices(choices = {}) {
    if (choices === null || typeof choices !== 'object') throw new TypeError('setChoices: choices must be an object');
    checkKeys(choices, CHOICE_KEYS, 'setChoices');
    const now = control().mgmtChoices();
    const shares = placeFlag(choices, 'shareRecords', now.shareRecordsInside);
    const connections = placeFlag(choices, 'connectionRecords', now.connectionRecordsInside);
    const slack = choices.objectSlack ?? now.objectSlack;
    if (!Number.isInteger(slack) || slack < 0 || slack > OBJECT_SLACK_LIMIT) {
      throw new TypeError(`setChoices: objectSlack must be an integer from 0 to ${OBJECT_SLACK_LIMIT}`);
    }
    control().mgmtSetChoices(shares, connections, slack);
  },
  choices() {
    const now = control().mgmtChoices();
    return {
      shareRecords: now.shareRecordsInside ? 'inside' : 'apart',
      connectionRecords: now.connectionRecordsInside ? 'inside' : 'apart',
      objectSlack: now.objectSlack,
    };
  },
  // The management library calls this process made, oldest first.
  calls: () => control().mgmtCalls(),
  identity,
  get status() {
    return Object.freeze({ ...control().statusCodes().mgmt });
  },
  get identityStatus() {
    return Object.freeze({ ...control().statusCodes().identity });
  },
};

module.exports = simulator;
