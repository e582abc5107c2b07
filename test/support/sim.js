'use strict';
// Control of the simulated platform libraries, for tests. LD_LIBRARY_PATH must
// hold sim.dir (or sim.partialDir then sim.dir, or sim.toralOnlyDir, where the
// mgmt controls throw); the controls reach the instances the addon opens.
const path = require('node:path');

const buildDir = path.resolve(process.env.CIFS_BUILD_DIR || path.join(__dirname, '..', '..', 'build', 'Release'));
const native = require(path.join(buildDir, 'test', 'simctl.node'));
const records = require('./share-record');
const openFileRecords = require('./open-file-records');

const codes = native.statusCodes();

const IDENTITY_KEYS = new Set([
  'dn', 'userType', 'supervisor', 'userinfoStatus', 'sevStatus', 'neededCapacity', 'alwaysTooSmall', 'sidStatus',
]);

function checkKeys(object, allowed, what) {
  for (const key of Object.keys(object)) {
    if (!allowed.has(key)) throw new TypeError(`${what}: unknown key '${key}'`);
  }
}

const identity = {
  // Omitted fields take the reset values; without dn the default entry changes.
  set(fields = {}) {
    checkKeys(fields, IDENTITY_KEYS, 'identity.set');
    native.identitySet(fields.dn, fields);
  },
  calls: () => native.identityCalls(),
  reset: () => native.identityReset(),
  status: Object.freeze({ ...codes.identity }),
};

const mgmt = {
  calls: () => native.mgmtCalls(),
  fail({ call, status, name, times } = {}) {
    native.mgmtFail(call, status, name, times);
  },
  failures: () => native.mgmtFailures(),
  setShares: (shares) => native.mgmtSetShares(shares),
  shares: () => native.mgmtShares(),
  setVolumes: (volumes) => native.mgmtSetVolumes(volumes),
  volumes: () => native.mgmtVolumes(),
  setContexts: (contexts) => native.mgmtSetContexts(contexts),
  contexts: () => native.mgmtContexts(),
  // null: the next listing is a null block; an array: one pointer slot each,
  // with options.count in the count field when given, even where it exceeds
  // the slots. A slot is null (a null pointer), a Buffer (a record in the
  // block after the slots, back to back; an empty one points where the next
  // begins, or at the block's end), {outside: Buffer} (a record kept outside
  // the block) or {end: true} (the block's end).
  rawShareList(list, { count } = {}) {
    native.mgmtRawShareList(list, count);
  },
  rawContexts({ count = null, block = null } = {}) {
    native.mgmtRawContexts(count, block);
  },
  // Replaces every open file; listings follow this order. Each file:
  // { shareName, name, sessionID, ID, accessMask, lockLevel, fullPath, userName,
  // clientIPAddress }; shareName (a share of the model) and name are required,
  // numbers default to 0, fullPath to "<share's absolutePath>/<name>", the
  // other texts to "". openFiles() gives them back with every key filled.
  setOpenFiles: (files) => native.mgmtSetOpenFiles(files),
  openFiles: () => native.mgmtOpenFiles(),
  // The next CIFSLIB_ListOpenFiles answers this, whatever its request: the
  // object shm.name is created with exactly shm.bytes (default none), header
  // is handed out byte for byte (null: a null pointer; default: an empty
  // header naming an object that does not exist), and status is returned.
  rawOpenFiles({ status = 0, header, shm = null } = {}) {
    const given = header === undefined
      ? openFileRecords.resultHeader({ shmName: `${native.mgmtShmPrefix()}absent` }) : header;
    native.mgmtRawOpenFiles(status, given, shm ? shm.name : null, shm ? (shm.bytes ?? Buffer.alloc(0)) : null);
  },
  // Objects named shmName(tag) are listed by sharedMemory() with the ones the
  // library creates; removeSharedMemory() unlinks them all and says how many.
  shmName: (tag) => `${native.mgmtShmPrefix()}${tag}`,
  sharedMemory: () => native.mgmtSharedMemory(),
  removeSharedMemory: () => native.mgmtRemoveSharedMemory(),
  delay: (ms) => native.mgmtDelay(ms),
  reset: () => native.mgmtReset(),
};

function reset() {
  native.identityReset();
  native.mgmtReset();
}

module.exports = {
  reset,
  identity,
  mgmt,
  records,
  openFileRecords,
  status: Object.freeze({ ...codes.mgmt }),
  dir: path.join(buildDir, 'sim'),
  partialDir: path.join(buildDir, 'sim-partial'),
  toralOnlyDir: path.join(buildDir, 'sim-toral-only'),
  buildDir,
};
