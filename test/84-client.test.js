'use strict';
// The typed client against the module on the simulator (what each method
// sends is the cifs-admin requests suite's, which goes through it): values
// the module would misread or cut never leave the client, what is sent is a
// snapshot no prototype, getter or Proxy can change, a call without an
// answer rejects, and the iterators follow a listing to the library's end
// signal and no further.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');
const { withSimulator, root } = require('./support/sim-process');
const { lyingOpenFiles } = require('./support/lying-pages');
const { createClient, CifsError } = require('../lib/client');

const dn = 'cn=admin,o=example';
const guest = 'cn=guest,o=example';
const config = { volumeName: 'DATA', relativePath: 'p', encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'enabled' };

// The real module behind a recorder of the requests it is sent, as plain
// objects (the client sends them without a prototype).
function recorded(module = cifs) {
  const sent = [];
  const wrap = (sphere) => (request) => {
    sent.push(JSON.parse(JSON.stringify(request)));
    return module[sphere](request);
  };
  const spheres = ['native_config_sphere', 'cifs_shares_sphere', 'cifs_connections_sphere', 'cifs_contexts_sphere'];
  return { module: Object.fromEntries(spheres.map((s) => [s, wrap(s)])), sent };
}

beforeEach(() => sim.reset());

describe('client methods', () => {
  it('hand back the sphere\'s promise and answer untouched, failures included', async () => {
    sim.identity.set({ dn: guest, supervisor: false });
    const { module, sent } = recorded();
    const answer = await createClient({ dn: guest, module }).shares.remove(['projects']);
    assert.deepEqual(answer, await cifs.cifs_shares_sphere(sent[0]));
    assert.equal(answer.failedList[0].errorCode, 40031);
  });
});

// [client call, code, the message's key and expectation]: each a value the
// module would read as another one or cut, or a key it would not read.
// Nothing may be sent.
const [TYPE, VALUE, RANGE] = ['ERR_INVALID_ARG_TYPE', 'ERR_INVALID_ARG_VALUE', 'ERR_OUT_OF_RANGE'];
const page = { volumeName: 'DATA', ignoreCount: 0, returnCount: 1 };
const filtered = (filterBy, patterns) => ({ advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy, patterns }] } });
const refusals = [
  [(c) => c.shares.listOpenFiles({ ...page, returnCount: '2' }), TYPE, /'returnCount' must be an integer from 0 to 4294967295, not "2"/],
  [(c) => c.shares.listOpenFiles({ ...page, ignoreCount: 2 ** 32 }), RANGE, /'ignoreCount' .* not 4294967296/],
  [(c) => c.connections.details('1'), TYPE, /'connectionNumber' must be an integer from 0 to 65535, not "1"/],
  [(c) => c.connections.openFiles(), TYPE, /'connection' .* not undefined/],
  [(c) => c.shares.create({ ...config, name: '' }), VALUE, /'name' must be a non-empty string, not ""/],
  [(c) => c.shares.change({ name: 'n', ...config, relativePath: 7 }), TYPE, /'relativePath' must be a string, not 7/],
  [(c) => c.shares.setFeature('encryption', 'on', ['a']), VALUE, /'encryption' must be "enabled" or "disabled", not "on"/],
  [(c) => c.shares.setFeature('dn', 'cn=supervisor,o=example', ['DATA']), VALUE, /the feature is one of encryption, folderRedirection, atmBackup, not "dn"/],
  [(c) => c.shares.remove('projects'), TYPE, /'names' must be an array of at most 65535 non-empty strings, not "projects"/],
  [(c) => c.shares.remove(['a', '']), VALUE, /'names' .*, and \[1\] is ""/],
  [(c) => c.connections.unblockUsers([, 'a']), TYPE, /'names' .*, and \[0\] is a hole/], // eslint-disable-line no-sparse-arrays
  [(c) => c.connections.makeBlockedUsers(new Array(65536)), RANGE, /'names' must be an array of at most 65535/],
  [(c) => c.contexts.add(['.a', 3]), TYPE, /'userContexts' .*, and \[1\] is 3/],
  // 65 names of a MiB: each one fits a request, together they pass what the module copies out of one.
  [(c) => c.shares.closeOpenFiles(new Array(65).fill('/'.repeat(2 ** 20))), RANGE, /'openFiles' holds 68157505 bytes .* more than the 67108864/],
  [(c) => c.shares.create({ ...config, name: 'n', dn: 'cn=supervisor,o=example' }), VALUE, /takes no key 'dn'/],
  [(c) => c.shares.change(JSON.parse('{"name": "n", "__proto__": {"dn": "cn=supervisor"}}')), VALUE, /takes no key '__proto__'/],
  [(c) => c.shares.listOpenFiles('DATA'), TYPE, /takes an object of keys, not "DATA"/],
  [(c) => c.connections.list({ ignoreCount: 0, returnCount: 5, cookie: 'k' }), VALUE, /takes no key 'cookie'/],
  // Texts the module reads through a buffer, one byte (or one two-byte character) too long.
  [(c) => c.shares.listOpenFiles({ ...page, cookie: 'c'.repeat(32) }), VALUE, /'cookie' must be at most 31 bytes of UTF-8 .*, not 32 bytes/],
  [(c) => c.shares.listOpenFiles({ ...page, volumeName: `${'é'.repeat(127)}ab` }), VALUE, /'volumeName' must be at most 255 bytes .* not 256/],
  [(c) => c.shares.listOpenFiles({ ...page, ...filtered('type', ['docx', 'docxdocx']) }), VALUE,
    /'advancedFiltersInfo.filters\[0\].patterns\[1\]' must be at most 7 bytes/],
  [(c) => c.connections.invalidUsers(filtered('type', ['B'.repeat(32)])), VALUE, /patterns\[0\]' must be at most 31 bytes/],
  [(c) => c.connectionOpenFiles(7, filtered('search-name', ['s'.repeat(768)])).next(), VALUE, /must be at most 767 bytes/],
  [(c) => c.shares.listOpenFiles({ ...page, ...filtered('status', ['Idle']) }), VALUE, /filterBy' must be "type" or "search-name", not "status"/],
  // Filters as the module reads them: mistakes named by filter and pattern.
  [(c) => c.connections.list({ ignoreCount: 0, returnCount: 1, ...filtered('loginTime', ['yesterday', '0']) }), VALUE,
    /'advancedFiltersInfo.filters\[0\].patterns\[0\]' \(loginTime\) must be a whole number of seconds .* not "yesterday"/],
  [(c) => c.allConnections(filtered('loginTime', ['2024-02-30', '0'])).next(), VALUE, /patterns\[0\]' \(loginTime\) .* not "2024-02-30"/],
  [(c) => c.allConnections(filtered('totalBytesRead', ['12kB', '0'])).next(), VALUE, /\(totalBytesRead\) must be a whole number as decimal text/],
  [(c) => c.allConnections(filtered('totalBytesRead', ['9223372036854775808', '0'])).next(), VALUE, /to 9223372036854775807/],
  [(c) => c.allConnections(filtered('loginTime', ['0'])).next(), VALUE, /\(loginTime\) must be pairs of lower and upper bound, not 1 patterns/],
  [(c) => c.allConnections({ advancedFiltersInfo: { matchType: 'any', filters: [{ filterBy: 'status', patterns: ['Idle'] }, { filterBy: 'status', patterns: ['Active'] }] } }).next(),
    VALUE, /'advancedFiltersInfo.filters\[1\]' is a second 'status' filter/],
  [(c) => c.allConnections(filtered('speed', ['1'])).next(), VALUE, /filterBy' must be "connectionType" or .* not "speed"/],
  [(c) => c.allConnections(filtered('status', 'Idle')).next(), TYPE, /patterns' must be an array of patterns, not "Idle"/],
  [(c) => c.allConnections({ advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'status', patterns: [], not: 1 }] } }).next(),
    VALUE, /'advancedFiltersInfo.filters\[0\]' takes no key 'not'/],
  [(c) => c.openFiles('DATA', { pageSize: 0 }).next(), RANGE, /'pageSize' must be an integer from 1 to 4294967295, not 0/],
  [(c) => c.openFiles('DATA', { returnCount: 5 }).next(), VALUE, /takes no key 'returnCount'/],
  [(c) => c.setLogLevel('verbose'), VALUE, /one of debug, info, warn, error, not "verbose"/],
];

describe('client refusals', () => {
  it('reject a value the module would misread or cut with an error naming the key and what it takes, sending nothing', async () => {
    const { module, sent } = recorded();
    const client = createClient({ dn, module });
    for (const [call, code, message] of refusals) {
      await assert.rejects(call(client), (error) => error.code === code && error instanceof (code === RANGE ? RangeError : TypeError) &&
        message.test(error.message), `${call} ${message}`);
    }
    assert.deepEqual(sent, []);
  });

  it('send texts that may be empty or fill their buffer, and refuse a dn or client options the module would not read', async () => {
    const { module, sent } = recorded();
    const client = createClient({ dn: 'd'.repeat(255), module });
    await client.shares.listOpenFiles({ volumeName: `${'é'.repeat(127)}a`, ignoreCount: 0, returnCount: 1, cookie: '' });
    await client.shares.closeAllOpenFiles('v'.repeat(300));  // read at any length here
    assert.deepEqual([sent[0].cookie, Buffer.byteLength(sent[0].volumeName), sent[1].volumeName.length], ['', 255, 300]);
    assert.throws(() => createClient({ dn: '', module }), { code: VALUE, message: /'dn' must be a non-empty string/ });
    assert.throws(() => createClient({ dn: 'd'.repeat(256), module }), { code: VALUE, message: /'dn' must be at most 255 bytes/ });
    assert.throws(() => createClient({ dn, module, throwOnFailures: true }), { code: VALUE, message: /takes no key 'throwOnFailures'/ });
  });
});

describe('client filters', () => {
  it('send loginTime bounds given as Dates or ISO 8601 texts as the seconds the module compares', async () => {
    const { module, sent } = recorded();
    const patterns = [new Date('2023-11-15T00:13:20Z'), '2023-11-15T01:13:20+01:00', '2023-11-15', '0'];
    const listed = await collect(createClient({ dn, module }).allConnections(filtered('loginTime', patterns)));
    assert.deepEqual(sent[0].advancedFiltersInfo.filters[0].patterns, ['1700007200', '1700007200', '1700006400', '0']);
    assert.deepEqual(listed.map((c) => c.connectionNumber), sim.mgmt.connections().filter((c) => c.loginTime >= 1700007200n).map((c) => c.connectionNumber));
  });
});

describe('client snapshots', () => {
  it('read each value once, so a getter or Proxy that answers differently later changes nothing sent', async () => {
    const { module, sent } = recorded();
    const client = createClient({ dn, module });
    const reads = { returnCount: 0, ignoreCount: 0, element: 0 };
    const options = new Proxy({ volumeName: 'DATA', ignoreCount: 0, get returnCount() { return [2, 205032704][reads.returnCount++]; } },
      { get: (target, key) => (key === 'ignoreCount' ? [0, 0xffffffff][reads.ignoreCount++] : Reflect.get(target, key)) });
    await client.shares.listOpenFiles(options);
    const names = new Proxy(['nosuch'], { get: (target, key) => (key === '0' ? ['nosuch', 'projects'][reads.element++] : Reflect.get(target, key)) });
    await client.shares.remove(names);
    assert.deepEqual([sent[0].ignoreCount, sent[0].returnCount, sent[1].names], [0, 2, ['nosuch']]);
    assert.deepEqual(reads, { returnCount: 1, ignoreCount: 1, element: 1 });
    assert.ok(sim.mgmt.shares().some((s) => s.name === 'projects'));
  });

  it('are steered by no key on Object.prototype (in a child, which the pollution cannot outlive)', () => {
    const result = withSimulator(undefined, `async (simulator, cifs) => {
      const client = require(${JSON.stringify(`${root}/lib/client`)}).createClient({ dn: 'cn=admin,o=example', module: cifs });
      Object.assign(Object.prototype, { newName: 'hijacked', advancedFiltersInfo: { matchType: 'any', filters: [] }, cookie: 'ofc-999' });
      const changed = await client.shares.change({ name: 'projects', volumeName: 'DATA', relativePath: 'projects', encryption: 'enabled',
        folderRedirection: 'disabled', atmBackup: 'disabled' });
      let listed = 0;
      for await (const file of client.openFiles('DATA', { pageSize: 5 })) listed += file ? 1 : 0;
      for (const key of ['newName', 'advancedFiltersInfo', 'cookie']) delete Object.prototype[key];
      return [changed.status, simulator.shares().map((s) => s.name).includes('projects'), listed];
    }`);
    assert.deepEqual(result, ['success', true, 12]);
  });
});

describe('client without an answer', () => {
  it('rejects when the sphere returns no promise or throws, saying what happened', async () => {
    const none = createClient({ dn, module: { cifs_shares_sphere: () => undefined } });
    await assert.rejects(none.shares.list(), { code: 'ERR_CIFS_NO_ANSWER', message: /cifs_shares_sphere gave no answer to operation 1 \(FetchCIFSShares\)/ });
    const thrown = new Error('boom');
    await assert.rejects(createClient({ dn, module: { cifs_contexts_sphere: () => { throw thrown; } } }).contexts.list(), thrown);
  });
});

describe('client with throwOnFailure', () => {
  it('rejects a failure with a CifsError carrying the answer, and resolves a success as it is', async () => {
    const client = createClient({ dn, module: cifs, throwOnFailure: true });
    const failed = await client.connections.unblockUsers(['eve', 'nobody']).catch((error) => error);
    assert.ok(failed instanceof CifsError);
    assert.deepEqual([failed.errorCode, failed.errorID, failed.operation], [41458, '@@failed-to-unblock-all-invalid-users', 'UnblockUser']);
    assert.deepEqual(failed.failedList, [{ errorCode: sim.status.NO_SUCH_USER, name: 'eve' }, { errorCode: sim.status.NO_SUCH_USER, name: 'nobody' }]);
    assert.deepEqual(failed.answer, await cifs.cifs_connections_sphere({ operation: 12, dn, names: ['eve', 'nobody'] }));
    assert.deepEqual(await client.contexts.list(), await cifs.cifs_contexts_sphere({ operation: 1, dn }));
  });
});

// A module whose listing answers the pages given, one per request.
function scripted(pages) {
  const sent = [];
  const answer = (page) => (page.status ? page : { status: 'success', operation: 'ListOpenFilesOfShare', openFiles: page });
  const sphere = (request) => {
    sent.push(request);
    return Promise.resolve(answer(pages[sent.length - 1]));
  };
  return { module: { cifs_shares_sphere: sphere }, sent };
}

const collect = async (iterable) => {
  const out = [];
  for await (const item of iterable) out.push(item);
  return out;
};

describe('client iterators', () => {
  it('page through open files and invalid users with the previous cookie, to the simulator\'s empty cookie', async () => {
    const { module, sent } = recorded();
    const client = createClient({ dn, module });
    const files = await collect(client.openFiles('DATA', { pageSize: 5 }));
    assert.deepEqual(files, (await cifs.cifs_shares_sphere({ operation: 6, dn, volumeName: 'DATA', ignoreCount: 0, returnCount: 0 })).openFiles.files);
    assert.deepEqual(sent.map((r) => [r.ignoreCount, r.returnCount, r.cookie === undefined]), [[0, 5, true], [0, 5, false], [0, 5, false]]);
    const users = await collect(client.invalidUsers({ pageSize: 2 }));
    assert.deepEqual(users.map((u) => u.name), sim.mgmt.invalidUsers().map((u) => u.name));
    const held = await collect(client.connectionOpenFiles(7, { pageSize: 1, advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'type', patterns: ['docx'] }] } }));
    assert.deepEqual(held.map((f) => f.name), ['minutes.docx']);
  });

  it('stop at each end signal a library may give, and throw on a failure or a missing page', async () => {
    const file = (name) => ({ name });
    const cases = [
      [[{ count: 1, cookie: 'a', files: [file(1)] }, { count: 1, cookie: 'a', files: [file(2)] }], 2, [1, 2]],
      [[{ count: 1, cookie: 'a', files: [file(1)] }, { count: 0, cookie: 'b', files: [] }], 2, [1]],
      [[{ count: 1, cookie: '', files: [file(1)] }], 1, [1]],
      [[{ count: 1, cookie: 'a', files: [file(1)] }, { status: 'failure', operation: 'ListOpenFilesOfShare', error: { errorCode: 116, description: 'd' } }],
        2, [1], { name: 'CifsError', errorCode: 116 }],
      [[{ status: 'success', operation: 'ListOpenFilesOfShare' }], 1, [], { code: 'ERR_CIFS_NO_RESULT' }],
    ];
    for (const [pages, requests, names, error] of cases) {
      const { module, sent } = scripted(pages);
      const seen = [];
      const run = (async () => { for await (const f of createClient({ dn, module }).openFiles('DATA')) seen.push(f.name); })();
      if (error) await assert.rejects(run, error); else await run;
      assert.deepEqual([sent.length, seen], [requests, names], JSON.stringify(pages));
      assert.deepEqual(sent.slice(1).map((r) => r.cookie), pages.slice(0, requests - 1).map((p) => p.cookie));
    }
  });

  it('end with ERR_CIFS_PAGING, after the items they got, when a library sends a cookie round again or cuts a page', async () => {
    for (const [pages, message] of [[[{ cookie: 'c0', names: ['a'] }, { cookie: 'c1', names: ['b'] }, { cookie: 'c0', names: ['c'] }],
      /page 3 hands back the cookie "c0", which page 1 handed out and which was sent for page 2/],
    [[{ cookie: 'c0', names: ['a'] }, { cookie: 'c1', names: ['b', 'c'], count: 5000 }], /page 2 holds 2 of the 5000 records/]]) {
      const { module, sent } = lyingOpenFiles(pages);
      const seen = [];
      await assert.rejects((async () => { for await (const f of createClient({ dn, module }).openFiles('DATA')) seen.push(f.name); })(),
        { code: 'ERR_CIFS_PAGING', message });
      assert.deepEqual([seen, sent.length], [['a', 'b', 'c'], pages.length]);
    }
  });

  it('list every connection that passes the filters in one request examining every record', async () => {
    const { module, sent } = recorded();
    const idle = { matchType: 'all', filters: [{ filterBy: 'status', patterns: ['Idle'] }] };
    const connections = await collect(createClient({ dn, module }).allConnections({ advancedFiltersInfo: idle }));
    assert.deepEqual(connections.map((c) => c.connectionNumber), [7, 12]);
    assert.deepEqual(sent, [{ operation: 2, dn, ignoreCount: 0, returnCount: 4294967295, advancedFiltersInfo: idle }]);
  });
});
