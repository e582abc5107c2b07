'use strict';
// Open files of one connection through the connections sphere against the
// simulated library: the request pages as received, the answers with the
// connection shown once, failures, hostile results, and no shared memory
// object left behind by any of them.
const { describe, it, beforeEach, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');
const logs = require('./support/logs');
const { dn, connections } = require('./support/operations');

const list = (fields) => connections(5, fields);
const { openFileRecord, resultHeader, u32, ABSENT } = sim.openFileRecords;
const operation = 'FetchCIFSConnectionOpenFiles';
const libraryError = (errorCode, number) => ({ errorCode, description: `Failed to list open files of connection: ${number}`,
  errorID: '@@failed-to-list-connection-open-files', args: `${number}` });

beforeEach(() => sim.reset());
afterEach(sim.noSharedMemoryLeft);

describe('FetchCIFSConnectionOpenFiles requests', () => {
  it('asks for connection 0 with absent offsets when the request has only operation and dn', async () => {
    const answer = await list({});
    assert.deepEqual(sim.mgmt.lastRecord(), u32(0, 0, 0, ABSENT, ABSENT, ABSENT, 0));
    assert.deepEqual(answer.error, libraryError(sim.status.NO_SUCH_CONNECTION, 0));  // no connection 0
    assert.deepEqual((await list({ connection: 0xffffffff })).error, libraryError(sim.status.NO_SUCH_CONNECTION, 4294967295));
  });

  it('puts the cookie first in the string area, and the filters behind it with 8-byte type patterns', async () => {
    await list({ connection: 7, ignoreCount: 1, returnCount: 2, cookie: 'abc' });
    assert.deepEqual(sim.mgmt.lastRecord(), Buffer.concat([u32(7, 1, 2, 0, ABSENT, ABSENT, 4), Buffer.from('abc\0')]));
    await list({ connection: 7, cookie: 'abc',
      advancedFiltersInfo: { matchType: 'any', filters: [{ filterBy: 'type', patterns: ['abcdefghij'] }] } });
    assert.deepEqual(sim.mgmt.lastRecord(), Buffer.concat([u32(7, 0, 0, 0, ABSENT, 4, 49), Buffer.from('abc\0'),
      Buffer.from([1, 0, 0, 0]), u32(2, 33), u32(1), Buffer.from([1, 0, 0, 0]), u32(0, 5, 13), Buffer.from('type\0abcdefg\0')]));
  });

  it('refuses an unreadable connection and an unknown filter before the library is called, logged', async () => {
    const throwing = Object.defineProperty({ operation: 5, dn }, 'connection', { get() { throw new Error('no'); } });
    const mark = logs.mark();
    const answer = await cifs.cifs_connections_sphere(throwing);
    assert.deepEqual([answer.error.description, answer.error.args], ["Failed to extract/convert: 'connection'", 'connection']);
    await list({ advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'size', patterns: [] }] } });
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
    const file = (ID, name, accessModes, lockLevel, type) =>
      ({ ID, name, shareName: 'home', fullPath: `/HOME/users/${name}`, accessModes, lockLevel, type });
    assert.deepEqual(answer, { status: 'success', operation, openFiles: {
      connectionNumber: 7, userName: 'alice', clientIPAddress: '10.0.0.7', count: 3, cookie: '', files: [
        file(11, 'report.final.pdf', ['RD', 'WR'], 'RWH', 'pdf'), file(12, '.profile', [], 'unknown', ''),
        file(13, 'Makefile', ['DD'], 'batch', '')] } });
    assert.deepEqual(Object.keys(answer.openFiles.files[0]), ['ID', 'name', 'shareName', 'fullPath', 'accessModes', 'lockLevel', 'type']);
    assert.deepEqual((await list({ connection: 7, ignoreCount: 1 })).openFiles.files.map((f) => f.ID), [12, 13], 'ignoreCount skips');
  });

  it('leaves the connection keys out for a connection without files', async () => {
    assert.deepEqual((await list({ connection: 8 })).openFiles, { count: 0, cookie: '', files: [] });
  });

  it('answers a library failure with its status and nothing read, and logs it', async () => {
    sim.mgmt.fail({ call: 'CIFSLIB_ListOpenFiles', status: -9 });
    const mark = logs.mark();
    assert.deepEqual(await list({ connection: 7 }), { status: 'failure', operation, error: libraryError(-9, 7) });
    assert.ok(logs.since(mark).map(logs.message).includes('Failed to list open files of connection: 7, error: -9'));
  });
});

describe('FetchCIFSConnectionOpenFiles results made by hand', () => {
  it('keeps numbers of 2^31 and above unsigned', async () => {
    const shm = { name: sim.mgmt.shmName('unsigned'), bytes: openFileRecord({ name: 'b', sessionID: 2 ** 31 + 5, ID: 0xffffffff }) };
    sim.mgmt.rawOpenFiles({ shm, header: resultHeader({ count: 1, shmName: shm.name, shmSize: shm.bytes.length }) });
    const { openFiles } = await list({ connection: 7 });
    assert.deepEqual([openFiles.connectionNumber, openFiles.files[0].ID], [2 ** 31 + 5, 0xffffffff]);
  });
});
