'use strict';
// The typed client against the module on the simulator: each method reaches
// its operation with keys the module reads, values the module would misread
// never leave the client, a call without an answer rejects, and the
// iterators follow a listing to the library's end signal and no further.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');
const { createClient, CifsError } = require('../lib/client');
const { SHARES, CONNECTIONS, CONTEXTS } = require('../lib/operations');

const dn = 'cn=admin,o=example';
const guest = 'cn=guest,o=example';
const config = { volumeName: 'DATA', relativePath: 'p', encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'enabled' };

// The real module behind a recorder of the requests it is sent.
function recorded(module = cifs) {
  const sent = [];
  const wrap = (sphere) => (request) => {
    sent.push(request);
    return module[sphere](request);
  };
  const spheres = ['native_config_sphere', 'cifs_shares_sphere', 'cifs_connections_sphere', 'cifs_contexts_sphere'];
  return { module: Object.fromEntries(spheres.map((s) => [s, wrap(s)])), sent };
}

beforeEach(() => sim.reset());

// [client call, operation answered, what the seed server shows of it]: a
// method that sent another operation, or its arguments under other keys or
// in another order, fails here.
const effects = [
  [(c) => c.shares.list(), 'FetchCIFSShares', (a) => assert.ok(a.shares.some((s) => s.name === 'projects'))],
  [(c) => c.shares.create({ name: 'n', ...config, comment: '' }), 'CreateCIFSShare',
    () => assert.deepEqual(pick(sim.mgmt.shares().find((s) => s.name === 'n'), 'relativePath', 'encryption', 'atmBackup'), ['p', true, true])],
  [(c) => c.shares.change({ name: 'projects', newName: 'work', ...config, comment: 'c' }), 'ChangeCIFSShareConfiguration',
    () => assert.deepEqual(pick(sim.mgmt.shares().find((s) => s.name === 'work'), 'comment', 'relativePath'), ['c', 'p'])],
  [(c) => c.shares.setFeature('atmBackup', 'enabled', ['projects', 'home']), 'ChangeCIFSShareFeatureConfiguration',
    () => assert.ok(sim.mgmt.shares().filter((s) => s.atmBackup).length === 3)],
  [(c) => c.shares.remove(['projects']), 'RemoveCIFSShare', (a) => assert.deepEqual(a.successfulList, [{ name: 'projects' }])],
  [(c) => c.shares.listOpenFiles({ volumeName: 'home', ignoreCount: 1, returnCount: 2, cookie: '' }), 'ListOpenFilesOfShare',
    (a) => assert.deepEqual(a.openFiles.files.map((f) => f.name), ['todo.txt', 'photo.jpg'])],
  [(c) => c.shares.closeOpenFiles(['/DATA/README']), 'CloseOpenFile', (a) => assert.equal(a.successfulCount, '1')],
  [(c) => c.shares.closeAllOpenFiles('home'), 'CloseAllOpenFilesOfShare',
    () => assert.ok(!sim.mgmt.openFiles().some((f) => f.shareName === 'home'))],
  [(c) => c.connections.count(), 'FetchCIFSConnectionsCount', (a) => assert.equal(a.activeConnections, 5)],
  [(c) => c.connections.list({ ignoreCount: 1, returnCount: 4, advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'status', patterns: ['Idle'] }] } }),
    'FetchCIFSConnectionsList', (a) => assert.deepEqual(a.connections.map((x) => x.connectionNumber), [12])],
  [(c) => c.connections.details(7), 'FetchCIFSConnectionDetails', (a) => assert.equal(a.connection.userName, 'carol')],
  [(c) => c.connections.mappedShares(2), 'FetchCIFSConnectionMappedShares', (a) => assert.equal(a.shares.length, 3)],
  [(c) => c.connections.openFiles(7, { returnCount: 1 }), 'FetchCIFSConnectionOpenFiles',
    (a) => assert.deepEqual([a.openFiles.connectionNumber, a.openFiles.files.length], [7, 1])],
  [(c) => c.connections.invalidUsers({ ignoreCount: 4 }), 'FetchCIFSCachedInvalidUsersList',
    (a) => assert.deepEqual(a.invalidUsers.users.map((u) => u.name), ['tester'])],
  [(c) => c.connections.addPermanentInvalidUser('eve'), 'AddPermanentInvalidUser', () => assert.equal(userState('eve'), 1)],
  [(c) => c.connections.makePermanentInvalidUsers(['guest']), 'MakePermanentInvalidUser', () => assert.equal(userState('guest'), 1)],
  [(c) => c.connections.removeInvalidUsers(['jdoe']), 'RemoveInvalidUser', () => assert.equal(userState('jdoe'), undefined)],
  [(c) => c.connections.addBlockedUser('eve'), 'AddBlockedUser', () => assert.equal(userState('eve'), 1)],
  [(c) => c.connections.makeBlockedUsers(['jdoe']), 'MakeBlockedUser', () => assert.equal(userState('jdoe'), 1)],
  [(c) => c.connections.unblockUsers(['mallory']), 'UnblockUser', () => assert.equal(userState('mallory'), undefined)],
  [(c) => c.contexts.list(), 'FetchCIFSUserContexts', (a) => assert.equal(a.userContexts.length, 3)],
  [(c) => c.contexts.add(['.a.org']), 'AddCIFSUserContext', () => assert.ok(sim.mgmt.contexts().includes('.a.org'))],
  [(c) => c.contexts.remove(['.users.org']), 'RemoveCIFSUserContexts', () => assert.ok(!sim.mgmt.contexts().includes('.users.org'))],
];
const pick = (object, ...keys) => keys.map((key) => object && object[key]);
// The state of a cached user: 2 invalid, 1 blocked (permanent), undefined gone.
const userState = (name) => sim.mgmt.invalidUsers().find((u) => u.name === name)?.state;

describe('client methods', () => {
  it('reach their operation with the keys it reads, each on the seed server', async () => {
    for (const [call, operation, shows] of effects) {
      sim.reset();
      const answer = await call(createClient({ dn, module: cifs }));
      assert.deepEqual([answer.status, answer.operation], ['success', operation], JSON.stringify(answer));
      shows(answer);
    }
    const names = [SHARES, CONNECTIONS, CONTEXTS].flatMap((table) => Object.keys(table));
    assert.deepEqual(names.filter((name) => !effects.some(([, operation]) => operation === name)), []);
  });

  it('hand back the sphere\'s promise and answer untouched, failures included', async () => {
    sim.identity.set({ dn: guest, supervisor: false });
    const { module, sent } = recorded();
    const answer = await createClient({ dn: guest, module }).shares.remove(['projects']);
    assert.deepEqual(answer, await cifs.cifs_shares_sphere(sent[0]));
    assert.equal(answer.failedList[0].errorCode, 40031);
  });
});

// [client call, the message's key and expectation]: each a value the module
// would read as another one, or a key it would not read. Nothing may be sent.
const refusals = [
  [(c) => c.shares.listOpenFiles({ volumeName: 'DATA', ignoreCount: 0, returnCount: '2' }), /'returnCount' must be an integer from 0 to 4294967295, not "2"/],
  [(c) => c.shares.listOpenFiles({ volumeName: 'DATA', ignoreCount: 2 ** 32, returnCount: 1 }), /'ignoreCount' .* not 4294967296/],
  [(c) => c.connections.list({ ignoreCount: -1, returnCount: 1 }), /'ignoreCount' .* not -1/],
  [(c) => c.connections.invalidUsers({ returnCount: 1.5 }), /'returnCount' .* not 1\.5/],
  [(c) => c.connections.details('1'), /'connectionNumber' must be an integer from 0 to 65535, not "1"/],
  [(c) => c.connections.mappedShares(65536), /'connectionNumber' .* not 65536/],
  [(c) => c.connections.openFiles(), /'connection' .* not undefined/],
  [(c) => c.shares.create({ ...config, name: '' }), /'name' must be a non-empty string, not ""/],
  [(c) => c.shares.change({ name: 'n', ...config, newName: '' }), /'newName'/],
  [(c) => c.shares.change({ name: 'n', ...config, relativePath: 7 }), /'relativePath' must be a non-empty string, not 7/],
  [(c) => c.shares.closeAllOpenFiles(''), /'volumeName'/],
  [(c) => c.shares.listOpenFiles({ volumeName: 'V', ignoreCount: 0, returnCount: 1, cookie: 1 }), /'cookie' must be a string/],
  [(c) => c.shares.setFeature('encryption', 'on', ['a']), /'encryption' must be "enabled" or "disabled", not "on"/],
  [(c) => c.shares.setFeature('dn', 'cn=supervisor,o=example', ['DATA']), /the feature is one of encryption, folderRedirection, atmBackup, not "dn"/],
  [(c) => c.shares.remove('projects'), /'names' must be an array of at most 65535 non-empty strings, not "projects"/],
  [(c) => c.shares.remove(['a', '']), /'names' .*, and \[1\] is ""/],
  [(c) => c.connections.unblockUsers([, 'a']), /'names' .*, and \[0\] is a hole/], // eslint-disable-line no-sparse-arrays
  [(c) => c.connections.makeBlockedUsers(new Array(65536)), /'names' must be an array of at most 65535/],
  [(c) => c.contexts.add(['.a', 3]), /'userContexts' .*, and \[1\] is 3/],
  [(c) => c.shares.closeOpenFiles(['']), /'openFiles'/],
  [(c) => c.connections.addBlockedUser(''), /'name' must be a non-empty string/],
  [(c) => c.shares.create({ ...config, name: 'n', dn: 'cn=supervisor,o=example' }), /takes no key 'dn'/],
  [(c) => c.shares.create({ ...config, name: 'n', operation: SHARES.RemoveCIFSShare, names: ['DATA'] }), /takes no key 'operation'/],
  [(c) => c.shares.change(JSON.parse('{"name": "n", "__proto__": {"dn": "cn=supervisor"}}')), /takes no key '__proto__'/],
  [(c) => c.shares.listOpenFiles('DATA'), /takes an object of keys, not "DATA"/],
  [(c) => c.connections.list({ ignoreCount: 0, returnCount: 5, cookie: 'k' }), /takes no key 'cookie'/],
  [(c) => c.openFiles('DATA', { pageSize: 0 }).next(), /'pageSize' must be an integer from 1 to 4294967295, not 0/],
  [(c) => c.openFiles('DATA', { returnCount: 5 }).next(), /takes no key 'returnCount'/],
  [(c) => c.connectionOpenFiles(70000).next(), /'connection' .* not 70000/],
  [(c) => c.allConnections({ pageSize: 5 }).next(), /takes no key 'pageSize'/],
  [(c) => c.setLogLevel('verbose'), /one of debug, info, warn, error, not "verbose"/],
];

describe('client refusals', () => {
  it('reject a value the module would misread with a TypeError naming the key and what it takes, sending nothing', async () => {
    const { module, sent } = recorded();
    const client = createClient({ dn, module });
    for (const [call, message] of refusals) {
      await assert.rejects(call(client), (error) => error instanceof TypeError && message.test(error.message), `${call} ${message}`);
    }
    assert.deepEqual(sent, []);
  });

  it('send texts that may be empty, and refuse client options it does not know', async () => {
    const { module, sent } = recorded();
    await createClient({ dn, module }).shares.listOpenFiles({ volumeName: 'DATA', ignoreCount: 0, returnCount: 1, cookie: '' });
    assert.equal(sent[0].cookie, '');
    assert.throws(() => createClient({ dn: '', module }), /'dn' must be a non-empty string/);
    assert.throws(() => createClient({ dn, module, throwOnFailures: true }), /takes no key 'throwOnFailures'/);
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

  it('list every connection that passes the filters in one request examining every record', async () => {
    const { module, sent } = recorded();
    const idle = { matchType: 'all', filters: [{ filterBy: 'status', patterns: ['Idle'] }] };
    const connections = await collect(createClient({ dn, module }).allConnections({ advancedFiltersInfo: idle }));
    assert.deepEqual(connections.map((c) => c.connectionNumber), [7, 12]);
    assert.deepEqual(sent, [{ operation: 2, dn, ignoreCount: 0, returnCount: 4294967295, advancedFiltersInfo: idle }]);
  });
});
