'use strict';
// The connection, invalid users and raw result controls of the simulated
// management library, through the control addon: refusals keep the old
// lists, and the raw entry takes only what its call can hand out.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');

beforeEach(() => sim.reset());

describe('connections and invalid users', () => {
  it('refuse a list the model cannot hold and keep the old one', () => {
    const connections = sim.mgmt.connections();
    const users = sim.mgmt.invalidUsers();
    assert.throws(() => sim.mgmt.setConnections([{ connectionNumber: 1 }, { connectionNumber: 1 }]), /refused/);
    assert.throws(() => sim.mgmt.setConnections([{ ipAddress: '1234567890123456' }]), /refused/);
    assert.throws(() => sim.mgmt.setConnections([{ totalBytesRead: 2n ** 64n }]), TypeError);
    assert.throws(() => sim.mgmt.setInvalidUsers([{ name: 'a' }, { name: 'A' }]), /refused/);
    assert.throws(() => sim.mgmt.setInvalidUsers([{ name: 'a', state: -1 }]), TypeError);
    assert.deepEqual(sim.mgmt.connections(), connections);
    assert.deepEqual(sim.mgmt.invalidUsers(), users);
  });
});

describe('raw results', () => {
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
