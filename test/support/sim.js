'use strict';
// Control of the simulated platform libraries, for tests. LD_LIBRARY_PATH must
// hold sim.dir (or sim.partialDir then sim.dir, or sim.toralOnlyDir, where the
// mgmt controls throw); the controls reach the instances the addon opens.
// The development tool lib/simulator.js holds what is not only for tests.
const assert = require('node:assert/strict');
const path = require('node:path');
const { control, buildDir } = require('../../lib/simctl');
const simulator = require('../../lib/simulator');

const native = control();
const openFileRecords = require('./open-file-records');
const connectionRecords = require('./connection-records');

const codes = native.statusCodes();

function u32Bytes(value) {
  if (!Number.isInteger(value) || value < 0 || value > 0xffffffff) throw new TypeError('a count must be a u32');
  const bytes = Buffer.alloc(4);
  bytes.writeUInt32LE(value);
  return bytes;
}

const LISTINGS = new Set(['CIFSLIB_ListOpenFiles', 'CIFSLIB_ListInvalidUsers']);

const identity = { ...simulator.identity, status: Object.freeze({ ...codes.identity }) };

// The typed surface of lib/simulator.js (every record list, failures, delay,
// choices, calls), with the test-only controls of raw results and shared
// memory beside it; a new record type needs nothing here.
const mgmt = {
  ...simulator,
  // null: the next listing is a null block; an array: one pointer slot each,
  // with options.count in the count field when given, even where it exceeds
  // the slots. A slot is null (a null pointer), a Buffer (a record in the
  // block after the slots, back to back; an empty one points where the next
  // begins, or at the block's end), {outside: Buffer} (a record in memory the
  // library keeps, never in the block) or {end: true} (the block's end).
  rawShareList(list, { count } = {}) {
    mgmt.rawResult('CIFSLIB_ListAllShares', { out: [list === null ? null : { slots: list, count }] });
  },
  // count: a number (a 4-byte block holding it) or null; block: Buffer or null.
  rawContexts({ count = null, block = null } = {}) {
    mgmt.rawResult('CIFSLIB_ListUserContexts', { out: [count, block] });
  },
  // The next CIFSLIB_ListOpenFiles answers this, whatever its request: shm
  // is created as rawResult says, header is handed out byte for byte in
  // memory the library keeps (null: a null pointer; default: an empty header
  // naming an object that does not exist), and status is returned. A failing
  // status hands out nothing, so it takes neither header nor shm.
  rawOpenFiles({ status = 0, header, shm = null } = {}) {
    const given = header === undefined && status === 0
      ? openFileRecords.resultHeader({ shmName: `${native.mgmtShmPrefix()}absent` }) : header;
    mgmt.rawResult('CIFSLIB_ListOpenFiles', { status, out: given === undefined ? [] : [given], shm });
  },
  // The next call of `call` answers with hand-made results instead of the
  // model's, whatever its request: shm is created first, out[i] goes to the
  // call's i-th out-parameter, and status is returned.
  // shm: { name, bytes (default none), kind, size }: kind 'object' (default)
  // creates the shared memory object holding exactly bytes, then, when size
  // is given, cuts or grows it to size bytes (far larger: a sparse object);
  // 'fifo' makes a FIFO and 'directory' a directory of that name in
  // /dev/shm. A name that exists makes the call fail with SHM_FAILURE and
  // write nothing. Only the two listings take shm.
  // Each out is null (a null pointer; caller memory left as it is), a number
  // (a 4-byte little-endian u32, as a Buffer), a Buffer, {slots, count} for
  // share lists as rawShareList takes them, or, for the connections list,
  // connectionRecords.connectionList(...), i.e. { connectionList: { count,
  // records, place } }: the 16-byte block with count (default: the whole
  // 418-byte records in records; it may lie) and a pointer to records placed
  // 'apart' (default; memory the library keeps), 'inside' (the block, at byte
  // 16) or 'null' (a null pointer). A Buffer becomes a malloc'd block of
  // exactly its bytes where the caller frees the out-parameter (so a
  // connection list Buffer too short to hold the pointer is possible), a
  // copy in memory the library keeps where it does not (the result header,
  // the security equivalence texts), and is copied to the start of caller
  // memory. Out-parameters past out.length get null. The calls and their
  // out-parameters in order:
  //   CIFSLIB_ListAllShares, CIFSLIB_GetConnectionMappedShares: [share list block]
  //   CIFSLIB_GetConnectionsList: [connection list block]
  //   CIFSLIB_GetConnectionsCount: [the caller's u32 count (caller memory, 4 bytes)]
  //   CIFSLIB_GetConnectionDetails: [the caller's record (caller memory, 418 bytes),
  //     security equivalence texts (kept)]
  //   CIFSLIB_ListOpenFiles, CIFSLIB_ListInvalidUsers: [result header (kept)]
  //   CIFSLIB_ListUserContexts: [count block, texts block]
  // A failing ListOpenFiles or ListInvalidUsers hands out nothing: with a
  // non-zero status they take neither out nor shm (TypeError); other calls
  // hand out their results whatever the status. Throws for any other call,
  // more outs than the call has, or bytes that do not fit caller memory; one
  // raw result per call is queued, the last wins.
  rawResult(call, { status = 0, out = [], shm = null } = {}) {
    if (!Array.isArray(out)) throw new TypeError('out must be an array');
    if (LISTINGS.has(call) && status !== 0 && (out.length || shm)) {
      throw new TypeError(`${call}: a failing listing hands out nothing, so it takes no out and no shm`);
    }
    const outs = out.map((o) => (typeof o === 'number' ? u32Bytes(o) : o));
    native.mgmtRawResult(call, status, outs, shm);
  },
  // The next successful listing of the model (ListOpenFiles or
  // ListInvalidUsers) writes its object and header as usual, then cuts the
  // object to `bytes` before it returns; -1 clears.
  shrinkNextObject: (bytes) => native.mgmtShrinkNextObject(bytes),
  // Objects named shmName(tag) are listed by sharedMemory() with the ones the
  // library creates; removeSharedMemory() unlinks them all and says how many.
  shmName: (tag) => `${native.mgmtShmPrefix()}${tag}`,
  sharedMemory: () => native.mgmtSharedMemory(),
  removeSharedMemory: () => native.mgmtRemoveSharedMemory(),
  reset: () => native.mgmtReset(),
  // The record (request page, share record, ...) the last call was given.
  lastRecord: () => mgmt.calls().at(-1).record,
};

const { reset } = simulator;

// Fails when a shared memory object was left behind (for afterEach: the test
// that left it fails), and removes what was left so the next starts clean.
function noSharedMemoryLeft() {
  const left = mgmt.sharedMemory();
  mgmt.removeSharedMemory();
  assert.deepEqual(left, [], 'no shared memory object is left');
}

module.exports = {
  reset,
  noSharedMemoryLeft,
  identity,
  mgmt,
  openFileRecords,
  connectionRecords,
  status: Object.freeze({ ...codes.mgmt }),
  dir: path.join(buildDir, 'sim'),
  partialDir: path.join(buildDir, 'sim-partial'),
  toralOnlyDir: path.join(buildDir, 'sim-toral-only'),
};
