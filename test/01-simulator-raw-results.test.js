'use strict';
// The raw results of the simulated management library, through the control
// addon: a failing listing hands out nothing, as a library's does, and the
// shared memory controls name what this process made.
// What each call takes is used, and its effect checked, by the suites of the
// operations.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');

beforeEach(() => sim.reset());

describe('raw results', () => {
  const { resultHeader } = sim.openFileRecords;

  it('of the listings refuse anything handed out by a failing call', () => {
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
