'use strict';
// The connection count, the filtered and paged list, the details and the
// mapped shares of one connection, through the connections sphere against
// the simulated library.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');
const logs = require('./support/logs');
const { dn, connections } = require('./support/operations');

const list = (fields) => connections(2, { ignoreCount: 0, returnCount: 100, ...fields });
const numbers = async (fields) => (await list(fields)).connections.map((c) => c.connectionNumber);
const filtered = (matchType, ...filters) => ({ advancedFiltersInfo: { matchType, filters } });
const by = (filterBy, ...patterns) => ({ filterBy, patterns });
const { connectionRecord, connectionList, securityTexts } = sim.connectionRecords;

beforeEach(() => sim.reset());

describe('FetchCIFSConnectionsCount', () => {
  it('answers the number of connections, or the library failure', async () => {
    assert.deepEqual(await connections(1), {
      status: 'success', operation: 'FetchCIFSConnectionsCount', activeConnections: 5,
    });
    sim.mgmt.fail({ call: 'CIFSLIB_GetConnectionsCount', status: 5 });
    const mark = logs.mark();
    assert.deepEqual(await connections(1), {
      status: 'failure',
      operation: 'FetchCIFSConnectionsCount',
      error: { errorCode: 5, description: 'Failed to get CIFS connections count', errorID: '@@failed-to-get-cifs-connections-count' },
    });
    assert.ok(logs.messagesSince(mark).includes('Failed to get CIFS connections count, error: 5'));
  });
});

describe('FetchCIFSConnectionsList', () => {
  it('answers every key in order, leaves out empty texts, keeps 32-bit counters unsigned', async () => {
    const answer = await list();
    assert.equal(answer.status, 'success');
    assert.deepEqual(answer.connections.map((c) => c.connectionNumber), [1, 2, 7, 12, 1203]);
    const [alice, , carol, dave, anonymous] = answer.connections;
    assert.deepEqual(Object.entries(alice), Object.entries({
      connectionNumber: 1, connectionType: 'SMB 3.1.1', userName: 'alice', status: 'Active', privileges: 'Supervisor',
      totalRequests: 1520, totalBytesRead: '73400320', totalBytesWritten: '1048576', loginTime: '1700000000',
      isEncrypted: true, channels: 2, mappedSharesCount: 2, openFiles: alice.openFiles, ipAddress: '10.0.0.11',
    }));
    assert.equal(carol.totalRequests, 4294967295);
    assert.equal(carol.totalBytesRead, String(2 ** 40));
    assert.equal('privileges' in dave, false);
    assert.deepEqual(Object.keys(anonymous), ['connectionNumber', 'connectionType', 'status', 'totalRequests',
      'totalBytesRead', 'totalBytesWritten', 'loginTime', 'isEncrypted', 'channels', 'mappedSharesCount', 'openFiles',
      'ipAddress']);
  });

  it('examines returnCount records and skips ignoreCount of those that pass', async () => {
    sim.mgmt.setConnections(Array.from({ length: 10 }, (_, i) => ({ connectionNumber: i + 1 })));
    assert.deepEqual(await numbers({ ignoreCount: 3, returnCount: 5 }), [4, 5]);
    assert.deepEqual(await numbers({ returnCount: 0 }), []);
    assert.deepEqual(await numbers({ ignoreCount: 20 }), []);
    // Skipping counts only connections that pass the filters.
    assert.deepEqual(await numbers({ ignoreCount: 1, returnCount: 6, ...filtered('none', by('name', '3')) }), [2, 4, 5, 6]);
  });

  it('requires both counts; a value of another type reads as 0', async () => {
    for (const missing of ['ignoreCount', 'returnCount']) {
      const request = { operation: 2, dn, ignoreCount: 0, returnCount: 5 };
      delete request[missing];
      assert.deepEqual(await cifs.cifs_connections_sphere(request), {
        status: 'failure',
        operation: 'FetchCIFSConnectionsList',
        error: { errorCode: 40016, description: `Data received does not contain ${missing}`, errorID: '@@data-received-does-not-contain', args: missing },
      });
    }
    assert.deepEqual(await numbers({ returnCount: '5' }), []);
    assert.deepEqual(await numbers({ ignoreCount: null, returnCount: 2 }), [1, 2]);
  });

  it('tests text filters exactly and the name filter as a substring of the number', async () => {
    assert.deepEqual(await numbers(filtered('all', by('connectionType', 'SMB 3.1.1'))), [1, 12]);
    assert.deepEqual(await numbers(filtered('all', by('connectionType', 'smb 3.1.1'))), []);
    assert.deepEqual(await numbers(filtered('all', by('status', 'Idle', 'Authenticating'))), [7, 12, 1203]);
    sim.mgmt.setConnections([12, 112, 1203, 21, 1, 120].map((connectionNumber) => ({ connectionNumber })));
    assert.deepEqual(await numbers(filtered('all', by('name', '12'))), [12, 112, 1203, 120]);
    assert.deepEqual(await numbers(filtered('all', by('name', '12034'))), [], 'longer than the number');
    assert.deepEqual(await numbers(filtered('all', by('name', ''))), [12, 112, 1203, 21, 1, 120]);
  });

  it('tests ranges in pairs, 0 meaning no bound', async () => {
    const login = (...patterns) => numbers(filtered('all', by('loginTime', ...patterns)));
    assert.deepEqual(await login('1700007200', '0'), [7, 12, 1203]);
    assert.deepEqual(await login('0', '1700003600'), [1, 2]);
    assert.deepEqual(await login('1700003600', '1700007200'), [2, 7]);
    assert.deepEqual(await login('1', '2', '1700014400', '1700014400'), [1203], 'a later pair');
    assert.deepEqual(await numbers(filtered('all', by('totalBytesWritten', '0', '0'))), [2, 12, 1203], '0 and 0: exactly 0');
    assert.deepEqual(await numbers(filtered('all', by('totalBytesRead', '+5242880', '0'))), [1, 2, 7]);
  });

  it('combines the filters in use by the match type', async () => {
    const two = [by('status', 'Active'), by('connectionType', 'SMB 3.1.1')];
    assert.deepEqual(await numbers(filtered('all', ...two)), [1]);
    assert.deepEqual(await numbers(filtered('any', ...two)), [1, 2, 12]);
    assert.deepEqual(await numbers(filtered('none', ...two)), [7, 1203]);
    assert.deepEqual(await numbers(filtered('all')), [1, 2, 7, 12, 1203]);
    assert.deepEqual(await numbers(filtered('any')), []);
    assert.deepEqual(await numbers(filtered('none')), [1, 2, 7, 12, 1203]);
    // A filter without patterns is not in use; a repeated filterBy replaces the earlier one.
    assert.deepEqual(await numbers(filtered('any', by('status'))), []);
    assert.deepEqual(await numbers(filtered('all', by('status', 'Active'), by('status', 'Idle'))), [7, 12]);
    assert.deepEqual(await numbers(filtered('all', by('status', 'Active'), by('status'))), [1, 2, 7, 12, 1203]);
  });

  it('fails with -1 on a range pattern that is not a whole number, once a connection reaches it', async () => {
    const failing = async (patterns, description) => {
      const mark = logs.mark();
      assert.deepEqual(await list(filtered('all', by('totalBytesRead', ...patterns))), {
        status: 'failure',
        operation: 'FetchCIFSConnectionsList',
        error: { errorCode: -1, description },
      });
      assert.ok(logs.messagesSince(mark).includes(description));
    };
    await failing(['12kB', '0'], 'Received invalid data for totalBytesRead: 12kB, errno: 0');
    await failing(['', '5'], 'Received invalid data for totalBytesRead: , errno: 0');
    await failing(['99999999999999999999', '0'], 'Received invalid data for totalBytesRead: 99999999999999999999, errno: 34');
    // Connections that match the first pair never reach the invalid second one.
    const pairs = filtered('all', by('totalBytesRead', '0', '0', 'x', 'y'));
    sim.mgmt.setConnections([{ connectionNumber: 4 }, { connectionNumber: 5 }]);
    assert.deepEqual(await numbers(pairs), [4, 5]);
    sim.mgmt.setConnections([{ connectionNumber: 4 }, { connectionNumber: 5, totalBytesRead: 1 }]);
    assert.equal((await list(pairs)).error.description, 'Received invalid data for totalBytesRead: x, errno: 0');
  });

  it('refuses a range filter without pairs, and every other filter fault, before the library is called', async () => {
    const refusals = [
      [filtered('all', by('loginTime', '5')), 41456, 'Patterns count for advance filter loginTime is less than expected. Expected pattern count is 2.', '@@invalid-af-pattern-count', 'loginTime'],
      [filtered('all', by('totalBytesRead', '1', '2', '3')), 41456, 'Patterns count for advance filter totalBytesRead is odd. Patterns are pairs of lower and upper bound.', '@@invalid-af-pattern-count', 'totalBytesRead'],
      [filtered('All'), 41200, 'Invalid advance filter match type entered', '@@invalid-adv-filter-match-type-entered'],
      [filtered('all', by('Status', 'x')), 40018, 'Received invalid/unsupported filter type', '@@invalid-filter-type'],
      [{ advancedFiltersInfo: 'all' }, 40003, 'Napi type check failed for advancedFiltersInfo', '@@napi-type-check-failed', 'advancedFiltersInfo'],
      [filtered('all', by('status', 'Active'), { filterBy: 'name', patterns: [7] }), 40004, 'Failed to convert/extract patterns values', '@@failed-to-extract-convert', 'patterns'],
    ];
    for (const [fields, errorCode, description, errorID, args] of refusals) {
      const error = { errorCode, description, errorID };
      if (args) error.args = args;
      assert.deepEqual(await list(fields), { status: 'failure', operation: 'FetchCIFSConnectionsList', error }, description);
    }
    assert.deepEqual(sim.mgmt.calls().filter((c) => c.call === 'CIFSLIB_GetConnectionsList'), []);
  });

  it('cuts patterns to 31 bytes', async () => {
    sim.mgmt.setConnections([{ connectionNumber: 1, status: 's'.repeat(31) }]);
    assert.deepEqual(await numbers(filtered('all', by('status', 's'.repeat(40)))), [1]);
  });

  it('reads fields filled to the brim to their size, answers a null block with none, and a failing call with its status', async () => {
    const records = [connectionRecord({ connectionNumber: 3, userName: 'u'.repeat(256), status: 'x'.repeat(32) })];
    sim.mgmt.rawResult('CIFSLIB_GetConnectionsList', { out: [connectionList(records)] });
    const [only, ...rest] = (await list()).connections;
    assert.deepEqual(rest, []);
    assert.equal(only.userName, 'u'.repeat(256), 'a field filled to the brim ends at its size');
    assert.equal(only.status, 'x'.repeat(32));

    sim.mgmt.rawResult('CIFSLIB_GetConnectionsList', { out: [null] });
    assert.deepEqual(await list(), { status: 'success', operation: 'FetchCIFSConnectionsList', connections: [] });
    // A failing call that still hands out a block: the block is released all the same.
    sim.mgmt.rawResult('CIFSLIB_GetConnectionsList', { status: 6, out: [connectionList(records)] });
    assert.deepEqual((await list()).error, {
      errorCode: 6, description: 'Failed to get the list of CIFS connections', errorID: '@@failed-to-get-the-list-of-cifs-connections',
    });
  });
});

describe('FetchCIFSConnectionDetails and FetchCIFSConnectionMappedShares', () => {
  it('answers one connection with its security equivalences', async () => {
    const { connection } = await connections(3, { connectionNumber: 1 });
    assert.deepEqual(Object.keys(connection).at(-1), 'securityEquivalence');
    assert.deepEqual(connection.securityEquivalence, ['.admins.org', '.staff.users.org']);
    assert.equal(connection.userName, 'alice');
    assert.equal(sim.mgmt.calls().at(-1).text, '1');
  });

  it('reads as many security equivalences as the count gives', async () => {
    const details = (count, texts) => {
      sim.mgmt.rawResult('CIFSLIB_GetConnectionDetails', {
        out: [connectionRecord({ connectionNumber: 9, securityEquivalenceCount: count }), texts],
      });
      return connections(3, { connectionNumber: 9 }).then((a) => a.connection.securityEquivalence);
    };
    assert.deepEqual(await details(0, securityTexts(['a'])), []);
    assert.deepEqual(await details(-4, securityTexts(['a'])), []);
    assert.deepEqual(await details(3, securityTexts(['a', 'b', 'c'])), ['a', 'b', 'c']);
    assert.deepEqual(await details(2, null), []);
  });

  it('asks with the decimal text of the number and refuses numbers the text cannot carry', async () => {
    assert.deepEqual(await connections(3, { connectionNumber: 7 }).then((a) => a.connection.userName), 'carol');
    await connections(4, { connectionNumber: '5' });
    assert.equal(sim.mgmt.calls().at(-1).text, '0', 'a text reads as 0');
    for (const connectionNumber of [1000000, 4294967295]) {
      for (const operation of [3, 4]) {
        const answer = await connections(operation, { connectionNumber });
        assert.deepEqual(answer.error, {
          errorCode: 41461,
          description: `Connection number ${connectionNumber} is out of range; the largest is 999999`,
          errorID: '@@invalid-connection-number',
          args: 'connectionNumber',
        });
      }
    }
    assert.deepEqual(await connections(3, {}).then((a) => a.error), {
      errorCode: 40016, description: "Data received does not contain: 'connectionNumber'", errorID: '@@data-received-does-not-contain', args: 'connectionNumber',
    });
    assert.equal(sim.mgmt.calls().filter((c) => c.call === 'CIFSLIB_GetConnectionDetails').length, 1);
  });

  it('passes the library refusal on with the number in the log', async () => {
    for (const [operation, description, errorID] of [
      [3, 'Failed to get CIFS connection details', '@@failed-to-get-cifs-connection-details'],
      [4, 'Failed to get CIFS connection mapped shares', '@@failed-to-get-cifs-connection-mapped-shares'],
    ]) {
      const mark = logs.mark();
      const answer = await connections(operation, { connectionNumber: 0 });
      assert.deepEqual(answer.error, { errorCode: sim.status.NO_SUCH_CONNECTION, description, errorID });
      assert.ok(logs.messagesSince(mark).includes(`${description} of: 0, error: ${sim.status.NO_SUCH_CONNECTION}`));
    }
  });

  it('lists the mapped shares in their mapped form', async () => {
    const answer = await connections(4, { connectionNumber: 2 });
    assert.equal(answer.operation, 'FetchCIFSConnectionMappedShares');
    assert.deepEqual(answer.shares.map((s) => s.name), ['DATA', 'home', 'SYS']);
    assert.deepEqual(Object.keys(answer.shares[0]), ['name', 'absolutePath', 'encryption', 'folderRedirection', 'atmBackup', 'openFilesCount']);
    assert.deepEqual((await connections(4, { connectionNumber: 1203 })).shares, []);
  });
});
