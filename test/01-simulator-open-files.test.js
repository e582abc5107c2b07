'use strict';
// The open files and listing controls of the simulated management library,
// through the control addon: refusals keep the old list, and raw listings
// take only what a listing can hand out.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');

beforeEach(() => sim.reset());

describe('open files', () => {
  it('refuses a list the model cannot hold and keeps the old one', () => {
    const before = sim.mgmt.openFiles();
    assert.throws(() => sim.mgmt.setOpenFiles([{ shareName: 'nope', name: 'a' }]), /refused/);
    assert.throws(() => sim.mgmt.setOpenFiles([{ shareName: 'home', name: 'a', ID: -1 }]), TypeError);
    assert.deepEqual(sim.mgmt.openFiles(), before);
  });
});

describe('raw listings', () => {
  const { resultHeader } = sim.openFileRecords;

  it('take a header, null, or nothing at all when they fail', () => {
    const shm = { name: sim.mgmt.shmName('t'), bytes: Buffer.alloc(8), size: 2 ** 32 };
    sim.mgmt.rawOpenFiles({ header: resultHeader({ count: 2, shmName: shm.name, shmSize: 1n << 40n }), shm });
    sim.mgmt.rawOpenFiles({ header: null });
    sim.mgmt.rawOpenFiles({ status: -5 });
    sim.mgmt.rawResult('CIFSLIB_ListInvalidUsers', { status: 7 });
    assert.throws(() => sim.mgmt.rawOpenFiles({ header: 'abc' }), TypeError);
    assert.throws(() => sim.mgmt.rawOpenFiles({ shm: { name: 'no-slash' } }), /refused/);
    assert.throws(() => sim.mgmt.rawOpenFiles({ shm: { name: sim.mgmt.shmName('k'), kind: 'socket' } }), TypeError);
  });

  it('refuse a failing call that would still hand out a header or an object', () => {
    const shm = { name: sim.mgmt.shmName('f') };
    for (const call of ['CIFSLIB_ListOpenFiles', 'CIFSLIB_ListInvalidUsers']) {
      assert.throws(() => sim.mgmt.rawResult(call, { status: 5, out: [resultHeader()] }), TypeError, call);
      assert.throws(() => sim.mgmt.rawResult(call, { status: 5, out: [null] }), TypeError, call);
      assert.throws(() => sim.mgmt.rawResult(call, { status: 5, shm }), TypeError, call);
    }
  });
});

describe('shared memory controls', () => {
  it('name entries after this process, and none are left at the start', () => {
    assert.equal(sim.mgmt.shmName('x'), `/cifssim.${process.pid}.x`);
    assert.deepEqual(sim.mgmt.sharedMemory(), []);
    assert.equal(sim.mgmt.removeSharedMemory(), 0);
  });
});
