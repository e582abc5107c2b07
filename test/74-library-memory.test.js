'use strict';
// Memory the management library hands back, in every shape the library may
// choose: connection records inside their list block or apart from it (share
// records: the shares listing suite), headers and texts the library keeps,
// missing or unterminated, and shared memory objects that are larger,
// smaller, emptier or stranger than their header says.
const { describe, it, beforeEach, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const sim = require('./support/sim');
const logs = require('./support/logs');
const { connections, shares } = require('./support/operations');
const { openFileRecord, resultHeader } = sim.openFileRecords;
const { connectionRecord, invalidUserRecord } = sim.connectionRecords;

beforeEach(() => sim.reset());
afterEach(sim.noSharedMemoryLeft);

describe('connection lists inside their block or apart from it', () => {
  it('a raw connection list: inside, the block bounds the count; a null pointer reads as none', async () => {
    const records = Buffer.concat([connectionRecord({ connectionNumber: 3 }), connectionRecord({ connectionNumber: 4 })]);
    const cases = [
      [{ count: 1000, records, place: 'inside' }, [3, 4], 'Connection list claims 1000 records, its block holds 2'],
      [{ count: 1, records, place: 'apart' }, [3], null],
      [{ count: 9, records, place: 'null' }, [], 'Connection list claims 9 records and gives no records pointer'],
      [{ count: 0, records, place: 'null' }, [], null],
    ];
    for (const [connectionList, numbers, line] of cases) {
      sim.mgmt.rawResult('CIFSLIB_GetConnectionsList', { out: [{ connectionList }] });
      const mark = logs.mark();
      const answer = await connections(2, { ignoreCount: 0, returnCount: 100 });
      assert.deepEqual(answer.connections.map((c) => c.connectionNumber), numbers, connectionList.place);
      assert.deepEqual(logs.messagesSince(mark).filter((m) => m.startsWith('Connection list')), line ? [line] : []);
    }
  });

  it('records apart from the block are read for their count, at most 65,536', async () => {
    const count = 65536;
    const records = Buffer.alloc(count * 418);
    for (let i = 0; i < count; i += 1) records.writeUInt16LE(i & 0xffff, i * 418);
    records.write('Active', (count - 1) * 418 + 354); // only the last record passes the filter
    sim.mgmt.rawResult('CIFSLIB_GetConnectionsList', { out: [{ connectionList: { count: 70000, records, place: 'apart' } }] });
    const mark = logs.mark();
    const answer = await connections(2, { ignoreCount: 0, returnCount: 0xffffffff,
      advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'status', patterns: ['Active'] }] } });
    assert.deepEqual(answer.connections.map((c) => c.connectionNumber), [65535]);
    assert.ok(logs.messagesSince(mark).includes('Connection list claims 70000 records, more than the 65536 read'));
  });
});

describe('headers and texts the library keeps', () => {
  it('a listing that succeeds without a header answers without its key, logged', async () => {
    sim.mgmt.rawResult('CIFSLIB_ListInvalidUsers', { out: [null] });
    const mark = logs.mark();
    assert.deepEqual(await connections(6, {}), { status: 'success', operation: 'FetchCIFSCachedInvalidUsersList' });
    assert.ok(logs.messagesSince(mark).includes('The invalid users result has no result header'));
  });

  it('security equivalences: 1,100 are answered whole; a text without its NUL within 64 KiB ends them, said so', async () => {
    const many = Array.from({ length: 1100 }, (_, i) => `cn=group${i},o=example`);
    sim.mgmt.setConnections([{ connectionNumber: 9, securityEquivalence: many }]);
    let mark = logs.mark();
    assert.deepEqual((await connections(3, { connectionNumber: 9 })).connection.securityEquivalence, many);
    assert.deepEqual(logs.messagesSince(mark).filter((m) => m.startsWith('Security')), []);
    const texts = Buffer.concat([Buffer.from('a\0b\0'), Buffer.alloc(70000, 0x78), Buffer.from('\0c\0')]);
    sim.mgmt.rawResult('CIFSLIB_GetConnectionDetails', {
      out: [connectionRecord({ connectionNumber: 9, securityEquivalenceCount: 4 }), texts],
    });
    mark = logs.mark();
    assert.deepEqual((await connections(3, { connectionNumber: 9 })).connection.securityEquivalence, ['a', 'b']);
    assert.ok(logs.messagesSince(mark).includes(
      'Security equivalences hold 2 of the 4 texts their count gives: the next has no NUL within 65536 bytes'));
  });
});

describe('shared memory objects that change or lie', () => {
  const files = [openFileRecord({ name: 'a.txt' }), openFileRecord({ name: 'b.txt' }), openFileRecord({ name: 'c.txt' })];
  const users = [invalidUserRecord({ name: 'x' }), invalidUserRecord({ name: 'y' }), invalidUserRecord({ name: 'z' })];
  const listings = [
    {
      what: 'open files', call: 'CIFSLIB_ListOpenFiles', records: files, key: 'openFiles', list: 'files', title: 'Open files',
      request: () => shares(6, { volumeName: 'DATA', ignoreCount: 0, returnCount: 10 }),
    },
    {
      what: 'invalid users', call: 'CIFSLIB_ListInvalidUsers', records: users, key: 'invalidUsers', list: 'users', title: 'Invalid users',
      request: () => connections(6, {}),
    },
  ];
  const bytesOf = (records) => Buffer.concat(records);
  const sizeOf = (records) => bytesOf(records).length;

  // shm(name) is the object a case hands out; header(name) its result header.
  const cases = [
    { what: 'a header size larger than its object', count: 3, size: () => 1n << 40n, listed: 3 },
    { what: 'a header size smaller than its object', count: 3, size: (r) => sizeOf(r.slice(0, 2)), listed: 2, cut: true },
    { what: 'a count above the records present', count: 5, size: (r) => sizeOf(r), listed: 3, cut: true },
    { what: 'an object cut short after it was named', count: 3, size: (r) => sizeOf(r), truncate: (r) => sizeOf(r) - 1, listed: 2, cut: true },
    { what: 'a header size of 0', count: 3, size: () => 0, failure: ['map', 22] },
    { what: 'a FIFO under the name', count: 3, size: (r) => sizeOf(r), kind: 'fifo', failure: ['map', 19] },
    { what: 'a directory under the name', count: 3, size: (r) => sizeOf(r), kind: 'directory', failure: ['map', 19] },
  ];
  for (const listing of listings) {
    for (const c of cases) {
      it(`${listing.what}: ${c.what}`, async () => {
        const name = sim.mgmt.shmName(`${listing.list}-${c.what.replace(/\W+/g, '-')}`);
        const bytes = bytesOf(listing.records);
        const shm = { name, bytes, kind: c.kind, size: c.truncate ? c.truncate(listing.records) : undefined };
        const header = resultHeader({ count: c.count, cookie: 'ck', shmName: name, shmSize: c.size(listing.records) });
        sim.mgmt.rawResult(listing.call, { out: [header], shm });
        const mark = logs.mark();
        const answer = await listing.request();
        const lines = logs.messagesSince(mark);
        if (c.failure) {
          assert.equal(answer[listing.key], undefined);
          const [step, errno] = c.failure;
          assert.ok(lines.includes(`Failed to ${step} shared memory created for ${listing.what}: ${name}, error: ${errno}`), lines.join('\n'));
        } else {
          assert.equal(answer[listing.key].count, c.count);
          assert.equal(answer[listing.key][listing.list].length, c.listed);
          assert.equal(lines.includes(`${listing.title} result cut at ${c.listed} of ${c.count} records`), Boolean(c.cut), lines.join('\n'));
        }
        if (c.kind === 'directory') {
          // No unlink removes a directory: the failure is logged, and the test clears it away.
          assert.ok(lines.some((l) => l.startsWith(`Failed to unlink shared memory object created to list ${listing.what}, error: `)));
          sim.mgmt.removeSharedMemory();
        } else {
          assert.ok(!fs.existsSync(`/dev/shm${name}`), 'the object is removed');
        }
      });
    }
  }

  it('a page whose header and object both exceed 64 MiB is refused, never cut; the object is removed', async () => {
    const name = sim.mgmt.shmName('sparse');
    sim.mgmt.rawResult('CIFSLIB_ListOpenFiles', {
      out: [resultHeader({ count: 0, shmName: name, shmSize: 8n << 30n })], shm: { name, bytes: Buffer.alloc(0), size: 8 * 2 ** 30 },
    });
    const mark = logs.mark();
    const description = 'FetchCIFSConnectionOpenFiles page of 8589934592 bytes is larger than the 67108864 bytes ' +
      'the module reads; ask for a smaller returnCount';
    assert.deepEqual(await connections(5, {}), {
      status: 'failure',
      operation: 'FetchCIFSConnectionOpenFiles',
      error: { errorCode: 41455, description, errorID: '@@failed-to-list-connection-open-files', args: 'returnCount' },
    });
    assert.deepEqual(logs.messagesSince(mark).filter((m) => m.includes('page of')), [`${description}, error: 41455`]);
  });

  it('a page is answered whole: 70,000 users and 200,000 open files', async () => {
    for (const [count, call, request, list] of [[70000, 'CIFSLIB_ListInvalidUsers', () => connections(6, {}), (a) => a.invalidUsers.users],
      [200000, 'CIFSLIB_ListOpenFiles', () => shares(6, { volumeName: 'DATA', ignoreCount: 0, returnCount: 0 }), (a) => a.openFiles.files]]) {
      const name = sim.mgmt.shmName(`many-${count}`);
      const bytes = Buffer.alloc(count * 40); // records of empty texts
      sim.mgmt.rawResult(call, { out: [resultHeader({ count, shmName: name, shmSize: bytes.length })], shm: { name, bytes } });
      const mark = logs.mark();
      assert.equal(list(await request()).length, count);
      assert.deepEqual(logs.messagesSince(mark), []);
    }
  });

  it('the model\'s object shrunk after it was handed out answers the records it still holds', async () => {
    sim.mgmt.setOpenFiles([{ shareName: 'home', name: 'a.txt' }, { shareName: 'home', name: 'b.txt' }]);
    sim.mgmt.shrinkNextObject(40);
    const mark = logs.mark();
    const { openFiles } = await shares(6, { volumeName: 'home', ignoreCount: 0, returnCount: 10 });
    assert.equal(openFiles.count, 2);
    assert.deepEqual(openFiles.files, []);
    assert.ok(logs.messagesSince(mark).includes('Open files result cut at 0 of 2 records'));
  });

  it('a name without its NUL within 256 bytes is neither opened nor removed; a long cookie is cut', async () => {
    const strings = Buffer.concat([Buffer.alloc(300, 0x6e), Buffer.from('\0'), Buffer.alloc(1100, 0x63), Buffer.from('\0')]);
    const header = Buffer.concat([resultHeader({ count: 0 }).subarray(0, 24), strings]);
    header.writeUInt32LE(301, 4); // the cookie
    header.writeUInt32LE(0, 8); // the name
    sim.mgmt.rawResult('CIFSLIB_ListOpenFiles', { out: [header] });
    const mark = logs.mark();
    assert.deepEqual(await connections(5, {}), { status: 'success', operation: 'FetchCIFSConnectionOpenFiles' });
    const lines = logs.messagesSince(mark);
    assert.ok(lines.some((l) => l.startsWith('Failed to open shared memory created for open files: ') && l.endsWith(', error: 22')), lines.join('\n'));
    assert.ok(lines.includes("The open files result's cookie has no NUL within 1024 bytes and is cut there"));
    assert.ok(!lines.some((l) => l.startsWith('Failed to unlink')));
  });
});
