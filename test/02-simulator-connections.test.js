'use strict';
// The connection, invalid users and raw result controls of the simulated
// management library, through the control addon: what a test sets reads back
// the same, refusals keep the old lists, and the raw entry takes only what
// its call can hand out.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');

beforeEach(() => sim.reset());

describe('connections', () => {
  it('round-trip with defaults, exact 64-bit values and counts taken from the model', () => {
    sim.mgmt.setOpenFiles([
      { shareName: 'home', name: 'a', sessionID: 40 },
      { shareName: 'SYS', name: 'b', sessionID: 40 },
      { shareName: 'SYS', name: 'c', sessionID: 41 },
    ]);
    sim.mgmt.setConnections([
      { connectionNumber: 40, userName: 'ü'.repeat(127), ipAddress: '255.255.255.255', connectionType: 't'.repeat(19),
        status: 's'.repeat(31), privileges: 'Supervisor', channels: -1, isEncrypted: true, totalRequests: 0xffffffff,
        totalBytesRead: 2n ** 64n - 1n, totalBytesWritten: 2 ** 53 - 1, loginTime: 1700000000,
        securityEquivalence: ['.a', ''], mappedShares: ['HOME', 'sys'] },
      { connectionNumber: 65535 },
    ]);
    const [full, bare] = sim.mgmt.connections();
    assert.equal(full.totalBytesRead, 2n ** 64n - 1n);
    assert.equal(full.totalBytesWritten, 2n ** 53n - 1n);
    assert.deepEqual([full.openFiles, full.mappedSharesCount, full.channels], [2, 2, -1]);
    assert.deepEqual(full.mappedShares, ['HOME', 'sys']);
    assert.deepEqual(bare, {
      connectionNumber: 65535, userName: '', ipAddress: '', connectionType: '', status: '', privileges: '',
      channels: 0, isEncrypted: false, totalRequests: 0, totalBytesRead: 0n, totalBytesWritten: 0n, loginTime: 0n,
      securityEquivalence: [], mappedShares: [], openFiles: 0, mappedSharesCount: 0,
    });
  });

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
  it('round-trip with a cached invalid user as the default', () => {
    sim.mgmt.setInvalidUsers([
      { name: 'a' },
      { name: 'b', state: 0xffffffff, clientIPAddress: 'fe80::1', lastAuthAttemptTime: -(2n ** 63n) },
    ]);
    assert.deepEqual(sim.mgmt.invalidUsers(), [
      { name: 'a', state: 2, clientIPAddress: '', lastAuthAttemptTime: 0n },
      { name: 'b', state: 0xffffffff, clientIPAddress: 'fe80::1', lastAuthAttemptTime: -(2n ** 63n) },
    ]);
  });

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
