'use strict';
// The cached invalid and blocked users through the connections sphere
// against the simulated library: the request pages as received, the answers,
// failures, hostile results, and no shared memory object left behind.
const { describe, it, beforeEach, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');
const logs = require('./support/logs');
const { connections } = require('./support/operations');

const list = (fields) => connections(6, fields);
const { resultHeader, u32, ABSENT } = sim.openFileRecords;
const { invalidUserRecord } = sim.connectionRecords;
const operation = 'FetchCIFSCachedInvalidUsersList';
const user = (name, type, clientIPAddress, lastAuthAttemptTime) => ({ name, type, clientIPAddress, lastAuthAttemptTime });
const failure = { errorCode: -3, description: 'Failed to list invalid users', errorID: '@@failed-to-list-invalid-users' };

beforeEach(() => sim.reset());
afterEach(sim.noSharedMemoryLeft);

describe('FetchCIFSCachedInvalidUsersList requests', () => {
  it('pages: absent offsets alone, the cookie at 0 and the filters behind it with 32-byte type patterns', async () => {
    assert.equal((await list({})).status, 'success');
    assert.deepEqual(sim.mgmt.lastRecord(), u32(0, 0, ABSENT, ABSENT, 0));
    await list({ ignoreCount: 3, returnCount: 4, cookie: 'abc' });
    assert.deepEqual(sim.mgmt.lastRecord(), Buffer.concat([u32(3, 4, 0, ABSENT, 4), Buffer.from('abc\0')]));
    await list({ cookie: 'abc', advancedFiltersInfo: { matchType: 'none', filters: [{ filterBy: 'type', patterns: ['x'.repeat(40)] }] } });
    assert.deepEqual(sim.mgmt.lastRecord(), Buffer.concat([u32(0, 0, 0, 4, 73), Buffer.from('abc\0'),
      Buffer.from([1, 0, 0, 0]), u32(3, 57), u32(1), Buffer.from([1, 0, 0, 0]), u32(0, 5, 37), Buffer.from(`type\0${'x'.repeat(31)}\0`)]));
  });

  it('refuses an unknown filter before the library is called, logged as the element reader', async () => {
    const mark = logs.mark();
    const answer = await list({ advancedFiltersInfo: { matchType: 'any', filters: [{ filterBy: 'state', patterns: [] }] } });
    assert.equal(answer.error.errorID, '@@invalid-filter-type');
    assert.deepEqual(sim.mgmt.calls(), []);
    assert.ok(logs.since(mark).some((l) => /<get_list_invalidusers_advanced_filters_input_data:\d+> Received invalid\/unsupported filter type: state/.test(l.text)));
  });
});

describe('FetchCIFSCachedInvalidUsersList answers', () => {
  it('shows only state 2 as Invalid, the address and the attempt time as a number, and filters by that type', async () => {
    sim.mgmt.setInvalidUsers([
      { name: 'guest', state: 2, clientIPAddress: '10.0.0.40', lastAuthAttemptTime: 2 ** 40 },
      { name: 'mallory', state: 0, clientIPAddress: 'fe80::41' },
      { name: 'root', state: 1, lastAuthAttemptTime: -1 },
      { name: 'ünïcode', state: 3, lastAuthAttemptTime: 1700000000 },
    ]);
    assert.deepEqual(await list({}), { status: 'success', operation, invalidUsers: { count: 4, cookie: '', users: [
      user('guest', 'Invalid', '10.0.0.40', 2 ** 40), user('mallory', 'Blocked', 'fe80::41', 0),
      user('root', 'Blocked', '', -1), user('ünïcode', 'Blocked', '', 1700000000)] } });
    const blocked = await list({ advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'type', patterns: ['Blocked'] }] } });
    assert.deepEqual(blocked.invalidUsers.users.map((u) => u.name), ['mallory', 'root', 'ünïcode']);
  });

  it('answers an empty cache with an empty list', async () => {
    sim.mgmt.setInvalidUsers([]);
    assert.deepEqual((await list({})).invalidUsers, { count: 0, cookie: '', users: [] });
  });

  it('answers a library failure with its status and text, and logs it', async () => {
    sim.mgmt.fail({ call: 'CIFSLIB_ListInvalidUsers', status: -3 });
    const mark = logs.mark();
    assert.deepEqual(await list({}), { status: 'failure', operation, error: failure });
    assert.ok(logs.since(mark).map(logs.message).includes('Failed to list invalid users, error: -3'));
  });
});

describe('FetchCIFSCachedInvalidUsersList results made by hand', () => {
  it('reads a client address that fills its 16 bytes no further than the field', async () => {
    // The name offset behind the field is 2, not a NUL that would end an unbounded read.
    const bytes = invalidUserRecord({ name: 'zzeve', offsets: { name: 2 }, clientIPAddress: 'abcdefghijklmnopqrst' });
    const shm = { name: sim.mgmt.shmName('address'), bytes };
    sim.mgmt.rawResult('CIFSLIB_ListInvalidUsers', { out: [resultHeader({ count: 1, shmName: shm.name, shmSize: bytes.length })], shm });
    assert.deepEqual((await list({})).invalidUsers.users, [user('eve', 'Invalid', 'abcdefghijklmnop', 0)]);
  });
});
