'use strict';
// Requests written by an attacker: texts that hide a NUL or a line break, and
// lists whose length costs the caller nothing.
const { describe, it, beforeEach, after } = require('node:test');
const assert = require('node:assert/strict');
const { cifs, addonPath } = require('./support/addon');
const sim = require('./support/sim');
const { runChild } = require('./support/sim-process');
const logs = require('./support/logs');
const { dn, shares, contexts } = require('./support/operations');

const extractFailure = (errorCode, description, args) => ({
  errorCode, description, errorID: '@@failed-to-extract-convert', args,
});

beforeEach(() => sim.reset());
after(() => cifs.native_config_sphere({ logLevel: 'error' }));

describe('texts with an embedded NUL are refused, never read up to the NUL', () => {
  it('a DN that names a supervisor before its NUL is not looked up', async () => {
    sim.identity.set({ supervisor: false });
    sim.identity.set({ dn: 'cn=admin', supervisor: true });
    const forged = 'cn=admin\0,o=guests';
    const mark = logs.mark();
    assert.deepEqual(await cifs.cifs_contexts_sphere({ operation: 1, dn: forged }), {
      status: 'failure', operation: '', error: extractFailure(40004, 'Failed to extract/convert dn', 'dn'),
    });
    assert.ok(logs.messagesSince(mark).includes("'dn' value could not be converted: 18, error: 3"));
    assert.deepEqual((await cifs.cifs_shares_sphere({ operation: 1, dn: forged })).error,
      extractFailure(-1, "Failed to extract/convert: 'dn'", 'dn'));
    assert.deepEqual(sim.identity.calls(), []);
  });

  it('a share name is not cut to the share it starts with', async () => {
    const mark = logs.mark();
    assert.deepEqual((await shares(5, { names: ['home', 'DATA\0junk'] })).error,
      extractFailure(40004, "Failed to extract/convert: 'names'", 'names'));
    assert.ok(logs.messagesSince(mark).includes("'names' value could not be converted, error: 3"));
    assert.deepEqual((await shares(4, { atmBackup: 'enabled', names: ['DATA\0'] })).error.errorCode, 40004);
    assert.deepEqual(sim.mgmt.calls(), []);
    assert.ok(sim.mgmt.shares().some((s) => s.name === 'DATA'));
  });

  it('a feature value or a share text with a NUL fails as an unconvertible value', async () => {
    assert.deepEqual((await shares(4, { encryption: 'enabled\0x', names: ['DATA'] })).error,
      extractFailure(40004, 'Failed to extract/convert: encryption', 'encryption'));
    const create = { name: 'proj', volumeName: 'DATA', relativePath: 'p', encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'disabled' };
    assert.deepEqual((await shares(2, { ...create, name: 'proj\0x' })).error,
      extractFailure(40004, 'Failed to extract/convert: name', 'name'));
    assert.deepEqual((await shares(2, { ...create, comment: 'ok\0' })).error,
      extractFailure(40004, 'Failed to extract/convert: comment', 'comment'));
    assert.deepEqual((await shares(2, { ...create, folderRedirection: 'disabled\0' })).error.args, 'folderRedirection');
    assert.deepEqual(sim.mgmt.calls(), []);
  });

  it('a log level with a NUL takes the invalid-level path', async () => {
    const mark = logs.mark();
    assert.equal(cifs.native_config_sphere({ logLevel: 'info\0' }), undefined);
    assert.deepEqual(logs.messagesSince(mark), ['Read invalid log level from prod.env file: info']);
    const request = logs.mark();
    await contexts(1);
    assert.deepEqual(logs.since(request).filter((line) => line.priority === 6), [], 'the level is still error');
  });
});

describe('filter texts with an embedded NUL are refused, never cut and acted on', () => {
  const connections = (fields) => cifs.cifs_connections_sphere({ operation: 2, dn, ignoreCount: 0, returnCount: 10, ...fields });
  const filter = (filterBy, patterns) => ({ advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy, patterns }] } });
  const cases = [
    ['a filterBy of the connections list', () => connections(filter('status\0whatever', ['Active'])), 'filterBy',
      'get_connections_list_advanced_filter_input_data'],
    ['a range pattern of the connections list', () => connections(filter('totalBytesRead', ['100\0kB', '0'])), 'patterns',
      'get_connections_list_advanced_filter_input_data'],
    ['a pattern of the open files of a share',
      () => shares(6, { volumeName: 'DATA', ignoreCount: 0, returnCount: 10, ...filter('search-name', ['rep\0ort']) }),
      'patterns', 'get_list_openfiles_advanced_filter_input_data'],
    ['a filterBy of the cached invalid users',
      () => cifs.cifs_connections_sphere({ operation: 6, dn, ...filter('type\0', ['Blocked']) }), 'filterBy',
      'get_list_invalidusers_advanced_filters_input_data'],
  ];
  for (const [what, request, key, reader] of cases) {
    it(`${what} fails as an unconvertible ${key}`, async () => {
      const mark = logs.mark();
      const answer = await request();
      assert.equal(answer.status, 'failure');
      assert.deepEqual(answer.error, extractFailure(40004, `Failed to convert/extract ${key} values`, key));
      const line = logs.since(mark).find((l) => logs.message(l).startsWith(`'${key}' value could not be converted`));
      assert.ok(line && line.text.includes(`<${reader}:`), 'logged under the filter element reader');
      assert.deepEqual(sim.mgmt.calls().filter((c) => c.call !== 'CIFSLIB_GetConnectionsList'), []);
    });
  }
});

describe('the patterns of the connections list are bounded in all', () => {
  it('fails at the filter that passes 100,000 patterns, before reading any of its patterns', async () => {
    let read = 0;
    const watched = ['Active'];
    Object.defineProperty(watched, 0, { get() { read += 1; return 'Active'; } });
    const filters = [
      { filterBy: 'status', patterns: new Array(60000).fill('Active') },
      { filterBy: 'status', patterns: new Array(40000).fill('Active') },
      { filterBy: 'connectionType', patterns: watched },
      { filterBy: 'nonsense', patterns: [] },
    ];
    const list = (returnCount) => cifs.cifs_connections_sphere({
      operation: 2, dn, ignoreCount: 0, returnCount, advancedFiltersInfo: { matchType: 'all', filters },
    });
    const mark = logs.mark();
    assert.deepEqual((await list(10)).error, {
      errorCode: 41455,
      description: 'Advanced filters hold more than 100000 patterns in all',
      errorID: '@@failed-to-get-array-length-of-af',
    });
    const line = logs.since(mark).find((l) => logs.message(l) === 'Advanced filters hold more than 100000 patterns in all, error: 41455');
    assert.ok(line && line.text.includes('<get_connections_list_advanced_filter_input_data:'));
    assert.equal(read, 0);
    filters.length = 2;
    assert.equal((await list(0)).status, 'success', 'exactly the bound is read');
  });
});

describe('request and library texts in log lines', () => {
  it('a name cannot forge or hide a line, keeps its backslashes, and the answer keeps its bytes', async () => {
    const forged = 'ghost\nTARVO-REST: <cs_remove_share:1> Share removed: DATA';
    const odd = 'a\\b\t\r\x01\x7f \u00e9';
    const hidden = 'c1\u0085\u009b and\u2028separators\u2029';
    const mark = logs.mark();
    const answer = await shares(5, { names: [forged, odd, hidden] });
    assert.deepEqual(answer.failedList.map((e) => e.name), [forged, odd, hidden]);
    const lines = logs.since(mark);
    assert.ok(!lines.some((line) => line.text.startsWith('TARVO-REST: <cs_remove_share:1>')), 'no forged line');
    const messages = lines.map(logs.message);
    assert.ok(messages.includes('Failed to remove share: ghost\\nTARVO-REST: <cs_remove_share:1> Share removed: DATA, error: 2'));
    assert.ok(messages.includes('Failed to remove share: a\\b\\t\\r\\x01\\x7f \u00e9, error: 2'));
    assert.ok(messages.includes('Failed to remove share: c1\\u0085\\u009b and\\u2028separators\\u2029, error: 2'));
  });

  it('a DN is logged as administrators write it; a line break in one is escaped', async () => {
    sim.identity.set({ supervisor: false });
    const mark = logs.mark();
    for (const refused of ['cn=Doe\\, John,o=acme', 'DOMAIN\\alice', 'cn=x\r\nTARVO-REST: <y:1> z']) {
      assert.equal((await contexts(1, { dn: refused })).error.errorCode, 40031);
    }
    const refusals = logs.messagesSince(mark).filter((m) => m.startsWith('Logged-in user'));
    assert.deepEqual(refusals.map((m) => m.slice(16, m.indexOf("' does not"))),
      ['cn=Doe\\, John,o=acme', 'DOMAIN\\alice', 'cn=x\\r\\nTARVO-REST: <y:1> z']);
  });

  it('bytes a library hands back that are no UTF-8 are escaped', async () => {
    const header = sim.openFileRecords.resultHeader({ shmName: '/bad??name' });
    sim.mgmt.rawResult('CIFSLIB_ListOpenFiles', { out: [header.fill(0xff, header.indexOf('??'), header.indexOf('??') + 1)] });
    const mark = logs.mark();
    await shares(6, { volumeName: 'DATA', ignoreCount: 0, returnCount: 1 });
    assert.ok(logs.messagesSince(mark).includes('Failed to open shared memory created for open files: /bad\\xff?name, error: 2'));
  });

  it('a line too long for the log keeps its end, the cut marked inside it', async () => {
    const long = `${'n'.repeat(1100)}.end`;
    sim.mgmt.fail({ call: 'CIFSLIB_AddUserContext', status: 9 });
    const mark = logs.mark();
    await contexts(2, { userContexts: [long] });
    const [line] = logs.messagesSince(mark).filter((m) => m.startsWith('Failed to add user context: '));
    assert.match(line, /^Failed to add user context: n+\.\.\.\[cut\]n+\.end, error: 9$/);
    assert.ok(line.length < 1023);
  });
});

describe('lists longer than 65,535 entries', () => {
  const tooLong = (key, length, errorID = '@@failed-to-get-array-length-of-shares') => ({
    errorCode: 40022,
    description: `List ${key} has ${length} entries, more than 65535`,
    errorID,
  });

  it('a sparse list of a million names is refused by its length alone', async () => {
    const names = [];
    names.length = 1e6;
    const mark = logs.mark();
    assert.deepEqual(await shares(5, { names }), { status: 'failure', operation: 'RemoveCIFSShare', error: tooLong('names', 1000000) });
    assert.ok(logs.messagesSince(mark).includes('List names has 1000000 entries, more than 65535, error: 40022'));
    assert.deepEqual((await shares(4, { encryption: 'enabled', names })).error, tooLong('names', 1000000));
    const openFiles = [];
    openFiles.length = 70000;
    assert.deepEqual((await shares(7, { openFiles })).error,
      tooLong('openFiles', 70000, '@@failed-to-get-array-length-of-files'), 'each list keeps its own error id');
  });

  it('a list whose every index answers is refused before one element is read', async () => {
    let reads = 0;
    const answersEveryIndex = new Proxy(Array.prototype, {
      get(target, key, receiver) {
        if (typeof key === 'string' && /^\d+$/.test(key)) {
          reads += 1;
          return '.users.org';
        }
        return Reflect.get(target, key, receiver);
      },
    });
    const userContexts = [];
    userContexts.length = 65536;
    Object.setPrototypeOf(userContexts, answersEveryIndex);
    assert.deepEqual((await contexts(2, { userContexts })).error, tooLong('userContexts', 65536));
    assert.equal(reads, 0);
    assert.deepEqual(sim.mgmt.calls(), []);
    // A Proxy is no array to Node-API at all.
    const proxy = new Proxy([], { get: (target, key) => (key === 'length' ? 1e6 : '.x') });
    assert.deepEqual((await contexts(3, { userContexts: proxy })).error, {
      errorCode: 40022, description: 'Failed to get array length of userContexts list', errorID: '@@failed-to-get-array-length-of-shares',
    });
  });

  it('a list of exactly 65,535 entries is read', async () => {
    const names = [];
    names.length = 65535; // holes: the first element already fails as no string
    assert.deepEqual((await shares(5, { names })).error, extractFailure(40004, "Failed to extract/convert: 'names'", 'names'));
  });
});

describe('lists of long texts are measured before they are copied', () => {
  it('1,000 entries of one 1 MiB string: names never copied whole, contexts refused past 64 MiB', () => {
    const source = `const cifs = require(${JSON.stringify(addonPath)});
      const names = new Array(1000).fill('x'.repeat(2 ** 20));
      const before = process.resourceUsage().maxRSS;
      (async () => {
        const { failedList } = await cifs.cifs_shares_sphere({ operation: 5, dn: '${dn}', names });
        const { error } = await cifs.cifs_contexts_sphere({ operation: 2, dn: '${dn}', userContexts: names });
        console.log(JSON.stringify({ before, peak: process.resourceUsage().maxRSS, pid: process.pid, error,
          calls: require(${JSON.stringify(require.resolve('../lib/simulator'))}).calls().length,
          removed: failedList.filter((e) => e.name === names[0] && e.errorCode === 40018).length }));
      })();`;
    const { before, peak, pid, error, calls, removed } = runChild(source, { libraryPath: process.env.LD_LIBRARY_PATH });
    const [grown, mib] = [(peak - before) >> 10, (kib) => `${kib >> 10} MiB`];
    assert.ok(grown < 256, `peak RSS ${mib(peak)}, ${grown} MiB above the ${mib(before)} before`);
    assert.deepEqual([removed, calls], [1000, 0], 'every name failed, none sent');
    assert.deepEqual(error, { errorCode: 40017, description: "Failed to allocate memory for 'AddCIFSUserContext'", errorID: '@@memory-allocation-failure' });
    assert.deepEqual(logs.messagesSince(0, pid).filter((m) => m.startsWith('Failed to allocate')), [
      "Failed to allocate memory for 'AddCIFSUserContext', error: userContexts hold more than the 67108864 bytes one request copies"]);
  });
});
