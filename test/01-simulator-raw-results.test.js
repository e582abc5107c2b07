'use strict';
// The raw results of the simulated management library, through the control
// addon: each call takes only what it can hand out (a failing listing hands
// out nothing), and the shared memory controls name what this process made.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');

beforeEach(() => sim.reset());

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

describe('raw results of the other calls', () => {
  const { connectionRecord, connectionList, securityTexts } = sim.connectionRecords;

  it('take buffers, null, counts, slots and placed connection lists where the call has them', () => {
    for (const place of ['apart', 'inside', 'null']) {
      sim.mgmt.rawResult('CIFSLIB_GetConnectionsList', { out: [connectionList([connectionRecord()], { count: 9, place })] });
    }
    sim.mgmt.rawResult('CIFSLIB_GetConnectionsList', { status: 6, out: [Buffer.from([2, 0, 0, 0])] });
    sim.mgmt.rawResult('CIFSLIB_GetConnectionDetails', { status: -3, out: [connectionRecord(), securityTexts(['a'])] });
    sim.mgmt.rawResult('CIFSLIB_GetConnectionsCount', { out: [7] });
    sim.mgmt.rawResult('CIFSLIB_GetConnectionMappedShares', { out: [{ slots: [null, { end: true }], count: 4 }] });
    assert.equal(connectionRecord().length, 418);
  });

  it('refuse what the call cannot hand out', () => {
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
