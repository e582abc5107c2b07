'use strict';
// The cached invalid and blocked users, through the connections sphere
// against the simulated library: the request pages as the library received
// them, the answers, library failures, hostile results, and no shared memory
// object left behind by any of them.
const { describe, it, beforeEach, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');
const logs = require('./support/logs');

const dn = 'cn=admin,o=example';
const list = (fields) => cifs.cifs_connections_sphere({ operation: 6, dn, ...fields });
const { resultHeader, ABSENT } = sim.openFileRecords;
const { invalidUserRecord, parseInvalidUsersRequest } = sim.connectionRecords;
const lastPage = () => sim.mgmt.calls().at(-1).record;
const u32 = (...values) => Buffer.from(new Uint32Array(values).buffer);
const operation = 'FetchCIFSCachedInvalidUsersList';
const failure = { errorCode: -3, description: 'Failed to list invalid users', errorID: '@@failed-to-list-invalid-users' };

beforeEach(() => sim.reset());
afterEach(() => {
  const left = sim.mgmt.sharedMemory();
  sim.mgmt.removeSharedMemory();
  assert.deepEqual(left, [], 'no shared memory object is left');
});

describe('FetchCIFSCachedInvalidUsersList request page', () => {
  it('holds counts and absent offsets alone when the request has only operation and dn', async () => {
    assert.equal((await list({})).status, 'success');
    assert.deepEqual(lastPage(), u32(0, 0, ABSENT, ABSENT, 0));
  });

  it('puts the cookie at offset 0 and the filters right behind it, with 32-byte type patterns', async () => {
    await list({ ignoreCount: 3, returnCount: 4, cookie: 'abc' });
    assert.deepEqual(lastPage(), Buffer.concat([u32(3, 4, 0, ABSENT, 4), Buffer.from('abc\0')]));
    await list({
      cookie: 'abc',
      advancedFiltersInfo: { matchType: 'none', filters: [{ filterBy: 'type', patterns: ['x'.repeat(40)] }] },
    });
    const page = parseInvalidUsersRequest(lastPage());
    assert.deepEqual([page.cookieOffset, page.filtersOffset, page.filters.matchType], [0, 4, 3]);
    assert.deepEqual(page.filters.entries[0].patterns, ['x'.repeat(31)]);
  });

  it('refuses a cookie that is not a string and an unknown filter before the library is called', async () => {
    assert.deepEqual((await list({ cookie: [] })).error,
      { errorCode: 40011, description: "Failed to extract/convert 'cookie'", errorID: '@@failed-to-extract-convert', args: 'cookie' });
    const mark = logs.mark();
    const answer = await list({ advancedFiltersInfo: { matchType: 'any', filters: [{ filterBy: 'state', patterns: [] }] } });
    assert.equal(answer.error.errorID, '@@invalid-filter-type');
    assert.deepEqual(sim.mgmt.calls(), []);
    assert.ok(logs.since(mark).some((l) => /<get_list_invalidusers_advanced_filters_input_data:\d+> Received invalid\/unsupported filter type: state/.test(l.text)));
  });
});

describe('FetchCIFSCachedInvalidUsersList answers', () => {
  it('shows only state 2 as Invalid, the address and the attempt time as a number', async () => {
    sim.mgmt.setInvalidUsers([
      { name: 'guest', state: 2, clientIPAddress: '10.0.0.40', lastAuthAttemptTime: 2 ** 40 },
      { name: 'mallory', state: 0, clientIPAddress: 'fe80::41' },
      { name: 'root', state: 1, lastAuthAttemptTime: -1 },
      { name: 'ünïcode', state: 3, lastAuthAttemptTime: 1700000000 },
    ]);
    assert.deepEqual(await list({}), {
      status: 'success',
      operation,
      invalidUsers: {
        count: 4,
        cookie: '',
        users: [
          { name: 'guest', type: 'Invalid', clientIPAddress: '10.0.0.40', lastAuthAttemptTime: 2 ** 40 },
          { name: 'mallory', type: 'Blocked', clientIPAddress: 'fe80::41', lastAuthAttemptTime: 0 },
          { name: 'root', type: 'Blocked', clientIPAddress: '', lastAuthAttemptTime: -1 },
          { name: 'ünïcode', type: 'Blocked', clientIPAddress: '', lastAuthAttemptTime: 1700000000 },
        ],
      },
    });
  });

  it('pages with the cookie; an empty cache answers an empty list', async () => {
    sim.mgmt.setInvalidUsers(['a', 'b', 'c'].map((name) => ({ name })));
    const first = await list({ returnCount: 2 });
    const second = await list({ returnCount: 2, cookie: first.invalidUsers.cookie });
    assert.deepEqual([...first.invalidUsers.users, ...second.invalidUsers.users].map((u) => u.name), ['a', 'b', 'c']);
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

describe('FetchCIFSCachedInvalidUsersList hostile results', () => {
  const shm = (tag, ...records) => ({ name: sim.mgmt.shmName(tag), bytes: Buffer.concat(records) });
  const named = (fields) => (o) => ({ header: resultHeader({ shmName: o.name, shmSize: o.bytes.length, ...fields }), shm: o });
  const answerOf = async ({ status = 0, header, shm: object = null }) => {
    sim.mgmt.rawResult('CIFSLIB_ListInvalidUsers', { status, out: [header], shm: object });
    const mark = logs.mark();
    const answer = await list({});
    return { answer, lines: logs.since(mark).map(logs.message) };
  };
  const record = invalidUserRecord({ name: 'guest', clientIPAddress: '10.0.0.1' });

  it('reads a client address that fills its 16 bytes no further than the field', async () => {
    const object = shm('full-address', invalidUserRecord({ name: 'eve', clientIPAddress: 'abcdefghijklmnopqrst' }));
    const { answer } = await answerOf(named({ count: 1 })(object));
    assert.deepEqual(answer.invalidUsers.users, [{ name: 'eve', type: 'Invalid', clientIPAddress: 'abcdefghijklmnop', lastAuthAttemptTime: 0 }]);
  });

  const prefix = 'Refused the invalid users result: ';
  const refused = [
    ['a count past the mapping', named({ count: 2 ** 31 }), `${prefix}count 2147483648 does not fit the shared memory object`],
    ['a name offset past its strings', named({ count: 2 }),
      `${prefix}record 1: user name offset 77 does not end inside the record's strings`, invalidUserRecord({ name: 'b', offsets: { name: 77 } })],
    ['a strings length past the mapping', named({ count: 2 }),
      `${prefix}record 1: strings length 4096 runs past the shared memory object`, invalidUserRecord({ name: 'b', stringsLength: 4096 })],
    ['a size larger than the object', named({ count: 1, shmSize: 1n << 40n }),
      'Failed to map shared memory created for invalid users: NAME, error: 75'],
    ['an object that does not exist', () => ({ header: resultHeader({ shmName: sim.mgmt.shmName('absent') }) }),
      'Failed to open shared memory created for invalid users'],
    ['no header', () => ({ header: null }), `${prefix}result header size 0 is shorter than 24 bytes`],
    // The allocator may round the block up, and what lies past the 12 bytes is then refused.
    ['a header of 12 bytes', () => ({ header: resultHeader({ count: 1 }).subarray(0, 12) }), prefix],
  ];
  for (const [name, raw, expected, second] of refused) {
    it(`${name}: success without invalidUsers, logged`, async () => {
      const object = shm(name.replace(/ /g, '-'), record, ...(second ? [second] : []));
      const { answer, lines } = await answerOf(raw(object));
      assert.deepEqual(answer, { status: 'success', operation });
      const text = expected.replace('NAME', object.name);
      assert.ok(lines.some((l) => l.startsWith(text)), `${text}\n${lines.join('\n')}`);
    });
  }

  it('removes the object a failing call still named, and answers the failure', async () => {
    const { answer } = await answerOf({ status: -3, ...named({ count: 1 })(shm('failing', record)) });
    assert.deepEqual(answer, { status: 'failure', operation, error: failure });
  });
});
