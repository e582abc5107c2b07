'use strict';
// The connection, invalid users and raw result controls of the simulated
// management library, through the control addon: refusals keep the old
// lists, and the raw entry takes only what its call can hand out.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');

beforeEach(() => sim.reset());

describe('connections', () => {
  it('refuse a list the model cannot hold and keep the old one', () => {
    const before = sim.mgmt.connections();
    const refused = [
      [{ connectionNumber: 1 }, { connectionNumber: 1 }],
      [{ ipAddress: '1234567890123456' }],
      [{ userName: 'u'.repeat(256) }],
      [{ mappedShares: ['nope'] }],
      [{ mappedShares: ['home', 'HOME'] }],
    ];
    for (const list of refused) assert.throws(() => sim.mgmt.setConnections(list), /refused/, JSON.stringify(list));
    for (const bad of [{ connectionNumber: 65536 }, { loginTime: -1 }, { totalBytesRead: 2n ** 64n },
      { loginTime: 2 ** 53 }, { securityEquivalence: [1] }, { isEncrypted: 1 }]) {
      assert.throws(() => sim.mgmt.setConnections([bad]), TypeError, JSON.stringify(bad, (k, v) => String(v)));
    }
    assert.deepEqual(sim.mgmt.connections(), before);
  });
});

describe('invalid users', () => {
  it('refuse a cache the library could not hold and keep the old one', () => {
    const before = sim.mgmt.invalidUsers();
    for (const list of [[{}], [{ name: '' }], [{ name: 'x'.repeat(256) }], [{ name: 'a' }, { name: 'A' }],
      [{ name: 'a', clientIPAddress: '1234567890123456' }]]) {
      assert.throws(() => sim.mgmt.setInvalidUsers(list), /refused/, JSON.stringify(list));
    }
    assert.throws(() => sim.mgmt.setInvalidUsers([{ name: 'a', state: -1 }]), TypeError);
    assert.deepEqual(sim.mgmt.invalidUsers(), before);
  });
});

describe('raw results', () => {
  it('take buffers, null, counts and slots where the call has them', () => {
    const { connectionRecord, connectionList, securityTexts } = sim.connectionRecords;
    sim.mgmt.rawResult('CIFSLIB_GetConnectionsList', { out: [connectionList([connectionRecord()], { count: 9 })] });
    sim.mgmt.rawResult('CIFSLIB_GetConnectionDetails', { status: -3, out: [connectionRecord(), securityTexts(['a'])] });
    sim.mgmt.rawResult('CIFSLIB_GetConnectionsCount', { out: [7] });
    sim.mgmt.rawResult('CIFSLIB_GetConnectionMappedShares', { out: [{ slots: [null, { end: true }], count: 4 }] });
    sim.mgmt.rawResult('CIFSLIB_ListInvalidUsers', { out: [null], shm: { name: sim.mgmt.shmName('u') } });
    assert.equal(connectionRecord().length, 418);
  });

  it('refuse what the call cannot hand out', () => {
    const refusals = [
      ['CIFSLIB_RemoveShare', {}],
      ['CIFSLIB_GetConnectionDetails', { out: [Buffer.alloc(419)] }],
      ['CIFSLIB_GetConnectionsList', { out: [null, null] }],
      ['CIFSLIB_GetConnectionsList', { out: [{ slots: [] }] }],
      ['CIFSLIB_GetConnectionsList', { shm: { name: sim.mgmt.shmName('x') } }],
    ];
    for (const [call, raw] of refusals) assert.throws(() => sim.mgmt.rawResult(call, raw), /refused/, call);
    for (const out of [[-1], ['text'], [{ slots: 'x' }], [{}]]) {
      assert.throws(() => sim.mgmt.rawResult('CIFSLIB_ListAllShares', { out }), TypeError, JSON.stringify(out));
    }
  });
});
