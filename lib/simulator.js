'use strict';
// The bundled simulator of the two platform libraries, as a development tool:
// set up and inspect the simulated server (volumes, shares, open files,
// connections, invalid users, user contexts, which DNs are supervisors), make
// library calls fail, and reset it. The controls act on the simulated
// libraries of this process; with CIFS_SIM_STATE naming a state file (see
// env()), every process that uses the simulator shares that one server.
const path = require('node:path');
const { control, buildDir, libraryDir } = require('./simctl');
const { kinds, format, parse } = require('./section-text');

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

const { text, flag, i32, u16, u32, i64, u64 } = kinds;
const hidden = (kind) => [undefined, kind, 0];

// Each record type as its lines in the state file (simulator/mgmt/persistence.cc,
// simulator/toral/identity_persistence.cc), with the defaults of omitted keys.
const SHARE = [{
  tag: 'share',
  fields: [['name', text, ''], ['volumeName', text, ''], ['relativePath', text, ''],
    ['absolutePath', text, ''], ['comment', text, ''], ['type', u16, 0], ['nameSpace', u32, 0],
    ['encryption', flag, false], ['folderRedirection', flag, false], ['atmBackup', flag, false],
    ['openFilesCount', u32, 0]],
}];
const OPEN_FILE = [{
  tag: 'open-file',
  fields: [['shareName', text, ''], ['sessionID', u32, 0], ['ID', u32, 0], ['accessMask', u32, 0],
    ['lockLevel', u32, 0], ['name', text, ''], ['fullPath', text, ''], ['userName', text, ''],
    ['clientIPAddress', text, ''], hidden(u64)],
}];
const CONNECTION = [{
  tag: 'connection',
  fields: [['connectionNumber', u16, 0], ['userName', text, ''], ['ipAddress', text, ''],
    ['connectionType', text, ''], ['status', text, ''], ['privileges', text, ''], ['channels', i32, 0],
    ['isEncrypted', flag, false], ['totalRequests', u32, 0], ['totalBytesRead', u64, 0],
    ['totalBytesWritten', u64, 0], ['loginTime', u64, 0]],
  lists: { securityEquivalence: 'security-equivalence', mappedShares: 'mapped-share' },
}];
const INVALID_USER = [{
  tag: 'invalid-user',
  fields: [['name', text, ''], ['state', u32, 2], ['clientIPAddress', text, ''],
    ['lastAuthAttemptTime', i64, 0], hidden(u64)],
}];
const FAILURE = [{
  tag: 'failure',
  fields: [['call', text, ''], ['status', i32, 0], ['name', text, ''], ['times', u32, 0], [undefined, flag, false]],
}];
const DELAY = [{ tag: 'delay', bare: true, fields: [[undefined, u32]] }];
const VOLUME = [{ tag: 'volume', bare: true, fields: [[undefined, text]] }];
const CONTEXT = [{ tag: 'context', bare: true, fields: [[undefined, text]] }];
const IDENTITY_FIELDS = [['userType', i32, 1], ['supervisor', flag, true], ['userinfoStatus', i32, 0],
  ['sevStatus', i32, 0], ['neededCapacity', u32, 0], ['alwaysTooSmall', flag, false], ['sidStatus', i32, 0]];
const IDENTITY = [
  { tag: 'default', fields: IDENTITY_FIELDS, when: (entry) => entry.dn === undefined },
  { tag: 'dn', fields: [['dn', text, ''], ...IDENTITY_FIELDS] },
];

// A section of one library, got and set whole: a set replaces every item
// (omitted keys take their defaults) or throws, changing nothing, for a list
// the model cannot hold.
function section(library, name, lines) {
  return {
    get: () => parse(lines, control().section(library, name)),
    set: (items, what) => control().setSection(library, name, format(lines, items, what)),
  };
}

const sections = {
  delay: section('mgmt', 'delay', DELAY),
  volumes: section('mgmt', 'volumes', VOLUME),
  shares: section('mgmt', 'shares', SHARE),
  contexts: section('mgmt', 'contexts', CONTEXT),
  openFiles: section('mgmt', 'open-files', OPEN_FILE),
  connections: section('mgmt', 'connections', CONNECTION),
  invalidUsers: section('mgmt', 'invalid-users', INVALID_USER),
  failures: section('mgmt', 'failures', FAILURE),
  identities: section('identity', 'identities', IDENTITY),
};

// Share names compare without regard to ASCII case, as the server's do.
const folded = (name) => name.replace(/[A-Z]/g, (c) => c.toLowerCase());

const identity = {
  // How the identity library treats one DN (or, without dn, every DN that has
  // no entry of its own); omitted fields take the values of a supervisor
  // whose lookups succeed. Reads and writes the whole section: two accesses.
  set(fields = {}) {
    checkKeys(fields, IDENTITY_KEYS, 'identity.set');
    const entries = sections.identities.get().filter((e) => e.dn !== fields.dn);
    sections.identities.set([...entries, { ...fields }], 'identity.set');
  },
  // The default entry first (no dn), then one per DN.
  entries: () => sections.identities.get(),
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
  // default choices, and the seed identities: cn=admin,o=example a
  // supervisor, cn=guest,o=example not one, and every other DN unknown to
  // the identity library. What the library kept for what it handed out is
  // released.
  reset() {
    control().identityReset();
    control().mgmtReset();
  },
  volumes: () => sections.volumes.get(),
  setVolumes: (names) => sections.volumes.set(names, 'setVolumes'),
  // An empty or omitted absolutePath is "/<volumeName>/<relativePath>".
  shares: () => sections.shares.get(),
  setShares: (shares) => sections.shares.set(shares, 'setShares'),
  // Each file on a share of the server (shareName); an empty or omitted
  // fullPath is "<share's absolutePath>/<name>".
  openFiles: () => sections.openFiles.get(),
  setOpenFiles: (files) => sections.openFiles.set(files, 'setOpenFiles'),
  // With what the library derives: the open files whose sessionID is the
  // connection's number, and the mapped shares the server still has.
  connections() {
    const connections = sections.connections.get();
    const files = simulator.openFiles();
    const shares = new Set(simulator.shares().map((s) => folded(s.name)));
    return connections.map((c) => ({
      ...c,
      openFiles: files.filter((f) => f.sessionID === c.connectionNumber).length,
      mappedSharesCount: c.mappedShares.filter((name) => shares.has(folded(name))).length,
    }));
  },
  setConnections: (connections) => sections.connections.set(connections, 'setConnections'),
  invalidUsers: () => sections.invalidUsers.get(),
  setInvalidUsers: (users) => sections.invalidUsers.set(users, 'setInvalidUsers'),
  contexts: () => sections.contexts.get(),
  setContexts: (contexts) => sections.contexts.set(contexts, 'setContexts'),
  // Whether the supervisor check passes for dn: its entry (or the default
  // one) answers every lookup and reports a supervisor.
  isSupervisor(dn) {
    const entries = identity.entries();
    const e = entries.find((entry) => entry.dn === dn) || entries[0];
    const sevFound = e.userType === 1 ? e.sevStatus === 0 && !e.alwaysTooSmall : e.sidStatus === 0;
    return e.userinfoStatus === 0 && sevFound && e.supervisor;
  },
  // Makes dn a known user who is a supervisor or not; its other fields stay.
  setSupervisor(dn, supervisor = true) {
    const own = identity.entries().find((e) => e.dn === dn);
    identity.set({ ...own, dn, supervisor });
  },
  // The next `times` calls of `call` (0 or omitted: every call until reset)
  // whose share name or text is `name` (omitted: any) answer `status`.
  fail({ call, status, name, times } = {}) {
    control().mgmtFail(call, status, name, times);
  },
  failures: () => sections.failures.get(),
  delay: (ms) => sections.delay.set([ms], 'delay'),
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
