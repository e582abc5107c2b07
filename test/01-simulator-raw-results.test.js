'use strict';
// The raw results of the simulated management library, through the control
// addon: each call refuses what it cannot hand out (a failing listing hands
// out nothing), and the shared memory controls name what this process made.
// What each call takes is used, and its effect checked, by the suites of the
// operations.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');

beforeEach(() => sim.reset());

describe('raw results', () => {
  const { resultHeader } = sim.openFileRecords;
  const { connectionRecord, connectionList } = sim.connectionRecords;

  it('of the listings refuse a header that is no buffer, an object they cannot make, and anything handed out by a failing call', () => {
    assert.throws(() => sim.mgmt.rawOpenFiles({ header: 'abc' }), TypeError);
    assert.throws(() => sim.mgmt.rawOpenFiles({ shm: { name: 'no-slash' } }), /refused/);
    assert.throws(() => sim.mgmt.rawOpenFiles({ shm: { name: sim.mgmt.shmName('k'), kind: 'socket' } }), TypeError);
    const shm = { name: sim.mgmt.shmName('f') };
    for (const call of ['CIFSLIB_ListOpenFiles', 'CIFSLIB_ListInvalidUsers']) {
      assert.throws(() => sim.mgmt.rawResult(call, { status: 5, out: [resultHeader()] }), TypeError, call);
      assert.throws(() => sim.mgmt.rawResult(call, { status: 5, out: [null] }), TypeError, call);
      assert.throws(() => sim.mgmt.rawResult(call, { status: 5, shm }), TypeError, call);
    }
  });

  it('of every call refuse what the call cannot hand out', () => {
    const { connectionList: list } = connectionList([connectionRecord()]);
    const refusals = [
      ['CIFSLIB_RemoveShare', {}],
      ['CIFSLIB_GetConnectionDetails', { out: [Buffer.alloc(419)] }],
      ['CIFSLIB_GetConnectionsList', { out: [null, null] }],
      ['CIFSLIB_GetConnectionsList', { out: [{ slots: [] }] }],
      ['CIFSLIB_ListAllShares', { out: [{ connectionList: list }] }],
      ['CIFSLIB_GetConnectionsList', { shm: { name: sim.mgmt.shmName('x') } }],
    ];
    for (const [call, raw] of refusals) assert.throws(() => sim.mgmt.rawResult(call, raw), /refused/, call);
    const shapes = [[-1], ['text'], [{ slots: 'x' }], [{}], [{ connectionList: { ...list, place: 'elsewhere' } }],
      [{ connectionList: { place: 'inside' } }], [{ connectionList: { ...list, count: -1 } }]];
    for (const out of shapes) {
      assert.throws(() => sim.mgmt.rawResult('CIFSLIB_GetConnectionsList', { out }), TypeError, JSON.stringify(out));
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
