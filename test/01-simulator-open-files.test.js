'use strict';
// The open files controls of the simulated management library, through the
// control addon: refusals keep the old list, and the raw answers and shared
// memory controls take only what they can use.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');

beforeEach(() => sim.reset());

describe('open files', () => {
  it('refuses a list the model cannot hold and keeps the old one', () => {
    const before = sim.mgmt.openFiles();
    assert.throws(() => sim.mgmt.setOpenFiles([{ shareName: 'nope', name: 'a' }]), /refused/);
    assert.throws(() => sim.mgmt.setOpenFiles([{ shareName: 'home', name: '' }]), /refused/);
    assert.throws(() => sim.mgmt.setOpenFiles([{ name: 'a' }]), /refused/);
    assert.throws(() => sim.mgmt.setOpenFiles([{ shareName: 'home', name: 'a', ID: -1 }]), TypeError);
    assert.throws(() => sim.mgmt.setOpenFiles({}), TypeError);
    assert.deepEqual(sim.mgmt.openFiles(), before);
  });
});

describe('raw listing answers and shared memory', () => {
  it('name objects after this process, and none are left at the start', () => {
    assert.equal(sim.mgmt.shmName('x'), `/cifssim.${process.pid}.x`);
    assert.deepEqual(sim.mgmt.sharedMemory(), []);
    assert.equal(sim.mgmt.removeSharedMemory(), 0);
  });

  it('take buffers, null and names of one path element only', () => {
    const { resultHeader, openFileRecord } = sim.openFileRecords;
    const shm = { name: sim.mgmt.shmName('t'), bytes: openFileRecord({ name: 'a' }) };
    sim.mgmt.rawOpenFiles({ status: 0, header: resultHeader({ count: 2, shmName: shm.name, shmSize: 1n << 40n }), shm });
    sim.mgmt.rawOpenFiles({ status: -5 });
    sim.mgmt.rawOpenFiles({ header: null });
    assert.throws(() => sim.mgmt.rawOpenFiles({ header: 'abc' }), TypeError);
    assert.throws(() => sim.mgmt.rawOpenFiles({ status: 2 ** 31 }), TypeError);
    assert.throws(() => sim.mgmt.rawOpenFiles({ shm: { name: 'no-slash' } }), /refused/);
    assert.throws(() => sim.mgmt.rawOpenFiles({ shm: { name: '/a/b' } }), /refused/);
  });
});
