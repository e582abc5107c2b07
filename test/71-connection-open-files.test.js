'use strict';
// Open files of one connection, through the connections sphere against the
// simulated library: the request pages as the library received them, the
// answers with the connection shown once, library failures, hostile results,
// and no shared memory object left behind by any of them.
const { describe, it, beforeEach, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');
const logs = require('./support/logs');

const dn = 'cn=admin,o=example';
const list = (fields) => cifs.cifs_connections_sphere({ operation: 5, dn, ...fields });
const { parseListRequest, openFileRecord, resultHeader, ABSENT } = sim.openFileRecords;
const lastPage = () => sim.mgmt.calls().at(-1).record;
const u32 = (...values) => Buffer.from(new Uint32Array(values).buffer);
const operation = 'FetchCIFSConnectionOpenFiles';

beforeEach(() => sim.reset());
afterEach(() => {
  const left = sim.mgmt.sharedMemory();
  sim.mgmt.removeSharedMemory();
  assert.deepEqual(left, [], 'no shared memory object is left');
});

describe('FetchCIFSConnectionOpenFiles request page', () => {
  it('asks for connection 0 with nothing else when the request has only operation and dn', async () => {
    const answer = await list({});
    assert.deepEqual(lastPage(), u32(0, 0, 0, ABSENT, ABSENT, ABSENT, 0));
    // The library knows no connection 0; its refusal names the number.
    assert.deepEqual(answer, {
      status: 'failure',
      operation,
      error: {
        errorCode: sim.status.NO_SUCH_CONNECTION,
        description: 'Failed to list open files of connection: 0',
        errorID: '@@failed-to-list-connection-open-files',
        args: '0',
      },
    });
  });

  it('puts the cookie first in the string area, and the filters behind it with 8-byte type patterns', async () => {
    await list({ connection: 7, ignoreCount: 1, returnCount: 2, cookie: 'abc' });
    assert.deepEqual(lastPage(), Buffer.concat([u32(7, 1, 2, 0, ABSENT, ABSENT, 4), Buffer.from('abc\0')]));
    await list({
      connection: 7, cookie: 'abc',
      advancedFiltersInfo: { matchType: 'any', filters: [{ filterBy: 'type', patterns: ['abcdefghij'] }] },
    });
    const page = parseListRequest(lastPage());
    assert.deepEqual([page.cookieOffset, page.volumeNameOffset, page.filtersOffset], [0, ABSENT, 4]);
    assert.deepEqual(page.filters.entries.map((e) => e.patterns), [['abcdefg']]);
  });

  it('reports a connection number of 2^31 and above unsigned', async () => {
    const answer = await list({ connection: 0xffffffff });
    assert.equal(parseListRequest(lastPage()).connection, 0xffffffff);
    assert.equal(answer.error.description, 'Failed to list open files of connection: 4294967295');
    assert.equal(answer.error.args, '4294967295');
  });

  it('refuses unreadable keys and filters before the library is called', async () => {
    const throwing = Object.defineProperty({ operation: 5, dn }, 'connection', { get() { throw new Error('no'); } });
    const cases = [
      [throwing, "Failed to extract/convert: 'connection'", 'connection'],
      [{ cookie: 5 }, "Failed to extract/convert 'cookie'", 'cookie'],
      [{ advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'size', patterns: [] }] } },
        'Received invalid/unsupported filter type: size'],
    ];
    const mark = logs.mark();
    for (const [fields, description, args] of cases) {
      const answer = await (fields === throwing ? cifs.cifs_connections_sphere(throwing) : list(fields));
      assert.equal(answer.error.description, description);
      assert.equal(answer.error.args, args);
    }
    assert.deepEqual(sim.mgmt.calls(), []);
    const lines = logs.since(mark).map((l) => l.text);
    assert.ok(lines.some((l) => /<get_list_connection_openfiles_input_data:\d+> Failed to extract\/convert: 'connection', error: \d+$/.test(l)));
    assert.ok(lines.some((l) => /<get_connection_openfiles_advanced_filters_input_data:\d+> Received invalid\/unsupported filter type: size/.test(l)));
  });
});

describe('FetchCIFSConnectionOpenFiles answers', () => {
  beforeEach(() => {
    sim.mgmt.setConnections([{ connectionNumber: 7, userName: 'alice' }, { connectionNumber: 8 }]);
    const file = (name, fields) => ({ shareName: 'home', name, sessionID: 7, userName: 'alice', clientIPAddress: '10.0.0.7', ...fields });
    sim.mgmt.setOpenFiles([
      file('report.final.pdf', { ID: 11, accessMask: 0x3, lockLevel: 6 }),
      { shareName: 'SYS', name: 'other.txt', sessionID: 9 },
      file('.profile', { ID: 12, lockLevel: 42 }),
      file('Makefile', { ID: 13, accessMask: 0x40000000 }),
    ]);
  });

  it('shows the connection once from the first file, and each file with its share', async () => {
    const answer = await list({ connection: 7 });
    const file = (name, fields) => ({ name, shareName: 'home', fullPath: `/HOME/users/${name}`, ...fields });
    assert.deepEqual(answer, {
      status: 'success',
      operation,
      openFiles: {
        connectionNumber: 7,
        userName: 'alice',
        clientIPAddress: '10.0.0.7',
        count: 3,
        cookie: '',
        files: [
          { ID: 11, ...file('report.final.pdf'), accessModes: ['RD', 'WR'], lockLevel: 'RWH', type: 'pdf' },
          { ID: 12, ...file('.profile'), accessModes: [], lockLevel: 'unknown', type: '' },
          { ID: 13, ...file('Makefile'), accessModes: ['DD'], lockLevel: 'batch', type: '' },
        ],
      },
    });
    assert.deepEqual(Object.keys(answer.openFiles.files[0]),
      ['ID', 'name', 'shareName', 'fullPath', 'accessModes', 'lockLevel', 'type']);
  });

  it('pages with the cookie; a connection without files has no connection keys', async () => {
    const first = await list({ connection: 7, returnCount: 2 });
    const second = await list({ connection: 7, returnCount: 2, cookie: first.openFiles.cookie });
    assert.deepEqual([...first.openFiles.files, ...second.openFiles.files].map((f) => f.ID), [11, 12, 13]);
    assert.deepEqual((await list({ connection: 8 })).openFiles, { count: 0, cookie: '', files: [] });
  });

  it('answers a library failure with its status, text and the number as args', async () => {
    sim.mgmt.fail({ call: 'CIFSLIB_ListOpenFiles', status: -9 });
    const mark = logs.mark();
    assert.deepEqual(await list({ connection: 7 }), {
      status: 'failure',
      operation,
      error: { errorCode: -9, description: 'Failed to list open files of connection: 7', errorID: '@@failed-to-list-connection-open-files', args: '7' },
    });
    assert.ok(logs.since(mark).map(logs.message).includes('Failed to list open files of connection: 7, error: -9'));
  });
});

describe('FetchCIFSConnectionOpenFiles hostile results', () => {
  const shm = (tag, ...records) => ({ name: sim.mgmt.shmName(tag), bytes: Buffer.concat(records) });
  const headerFor = (o, fields) => resultHeader({ shmName: o.name, shmSize: o.bytes.length, ...fields });
  const answerOf = async (raw) => {
    sim.mgmt.rawOpenFiles(raw);
    const mark = logs.mark();
    const answer = await list({ connection: 7 });
    return { answer, lines: logs.since(mark).map(logs.message) };
  };
  const record = openFileRecord({ name: 'a.txt', shareName: 'home', sessionID: 7 });

  it('keeps numbers of 2^31 and above unsigned', async () => {
    const big = openFileRecord({ name: 'b', sessionID: 2 ** 31 + 5, ID: 0xffffffff });
    const object = shm('big', big);
    const { answer } = await answerOf({ header: headerFor(object, { count: 1 }), shm: object });
    assert.equal(answer.openFiles.connectionNumber, 2 ** 31 + 5);
    assert.equal(answer.openFiles.files[0].ID, 0xffffffff);
  });

  // Each case makes the raw result from the object; a header that cannot name
  // the object comes without one, as nothing could remove it.
  const named = (fields) => (o) => ({ header: headerFor(o, fields), shm: o });
  const refused = [
    ['a count past the mapping', named({ count: 3 }), 'Refused the open files result: count 3 does not fit the shared memory object'],
    ['a share name offset past its strings', named({ count: 2 }),
      "Refused the open files result: record 1: share name offset 9999 does not end inside the record's strings",
      openFileRecord({ name: 'b', offsets: { shareName: 9999 } })],
    ['a strings length past the mapping', named({ count: 2 }),
      'Refused the open files result: record 1: strings length 5000 runs past the shared memory object',
      openFileRecord({ name: 'b', stringsLength: 5000 })],
    ['a size larger than the object', named({ count: 1, shmSize: 1n << 40n }),
      'Failed to map shared memory created for open files: NAME, error: 75'],
    ['no header', () => ({ header: null }), 'Refused the open files result: result header size 0 is shorter than 24 bytes'],
    // The allocator may round the block up, and what lies past the 10 bytes is then refused.
    ['a header of 10 bytes', () => ({ header: resultHeader({ count: 1 }).subarray(0, 10) }), 'Refused the open files result: '],
  ];
  for (const [name, raw, expected, second] of refused) {
    it(`${name}: success without openFiles, logged`, async () => {
      const object = shm(name.replace(/ /g, '-'), record, ...(second ? [second] : []));
      const { answer, lines } = await answerOf(raw(object));
      assert.deepEqual(answer, { status: 'success', operation });
      const text = expected.replace('NAME', object.name);
      assert.ok(lines.some((l) => l.startsWith(text)), `${text}\n${lines.join('\n')}`);
    });
  }

  it('removes the object a failing call still named, and answers the failure', async () => {
    const object = shm('failing', record);
    const { answer } = await answerOf({ status: -5, header: headerFor(object, { count: 1 }), shm: object });
    assert.equal(answer.error.errorCode, -5);
    assert.equal(answer.openFiles, undefined);
  });
});
