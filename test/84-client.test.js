'use strict';
// The typed client only builds requests: what it sends is the request a
// caller would write by hand, and what it returns is the sphere's own value.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');
const { createClient } = require('../lib/client');
const { SHARES, CONNECTIONS, CONTEXTS } = require('../lib/operations');

const dn = 'cn=admin,o=example';
const filters = { matchType: 'any', filters: [{ filterBy: 'type', patterns: ['pdf'] }] };

// The real module behind a recorder: every call's sphere, request and result.
function recordingModule() {
  const calls = [];
  const wrap = (sphere) => (request) => {
    const result = cifs[sphere](request);
    calls.push({ sphere, request, result });
    return result;
  };
  const module = Object.fromEntries(
    ['native_config_sphere', 'cifs_shares_sphere', 'cifs_connections_sphere', 'cifs_contexts_sphere'].map((s) => [s, wrap(s)]));
  return { module, calls };
}

// [client call, sphere, request the module must receive]
const cases = [
  [(c) => c.shares.list(), 'cifs_shares_sphere', { operation: SHARES.FetchCIFSShares }],
  [(c) => c.shares.create({ name: 'n', volumeName: 'DATA', relativePath: 'p', encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'disabled' }),
    'cifs_shares_sphere', { operation: 2, name: 'n', volumeName: 'DATA', relativePath: 'p', encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'disabled' }],
  [(c) => c.shares.change({ name: 'n', newName: 'm', comment: 'c', volumeName: 'DATA', relativePath: 'p', encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'disabled' }),
    'cifs_shares_sphere', { operation: 3, name: 'n', newName: 'm', comment: 'c', volumeName: 'DATA', relativePath: 'p', encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'disabled' }],
  [(c) => c.shares.setFeature('atmBackup', 'enabled', ['a', 'b']), 'cifs_shares_sphere', { operation: 4, atmBackup: 'enabled', names: ['a', 'b'] }],
  [(c) => c.shares.remove(['a', 'b']), 'cifs_shares_sphere', { operation: 5, names: ['a', 'b'] }],
  [(c) => c.shares.listOpenFiles({ volumeName: 'DATA', ignoreCount: 1, returnCount: 2, cookie: undefined }),
    'cifs_shares_sphere', { operation: 6, volumeName: 'DATA', ignoreCount: 1, returnCount: 2 }],
  [(c) => c.shares.listOpenFiles({ volumeName: 'DATA', ignoreCount: 0, returnCount: 2, cookie: 'k', advancedFiltersInfo: filters }),
    'cifs_shares_sphere', { operation: 6, volumeName: 'DATA', ignoreCount: 0, returnCount: 2, cookie: 'k', advancedFiltersInfo: filters }],
  [(c) => c.shares.closeOpenFiles(['/DATA/a']), 'cifs_shares_sphere', { operation: 7, openFiles: ['/DATA/a'] }],
  [(c) => c.shares.closeAllOpenFiles('DATA'), 'cifs_shares_sphere', { operation: 8, volumeName: 'DATA' }],
  [(c) => c.connections.count(), 'cifs_connections_sphere', { operation: CONNECTIONS.FetchCIFSConnectionsCount }],
  [(c) => c.connections.list({ ignoreCount: 0, returnCount: 50 }), 'cifs_connections_sphere', { operation: 2, ignoreCount: 0, returnCount: 50 }],
  [(c) => c.connections.list({ ignoreCount: 1, returnCount: 5, advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'status', patterns: ['active'] }] } }),
    'cifs_connections_sphere', { operation: 2, ignoreCount: 1, returnCount: 5, advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'status', patterns: ['active'] }] } }],
  [(c) => c.connections.details(7), 'cifs_connections_sphere', { operation: 3, connectionNumber: 7 }],
  [(c) => c.connections.mappedShares(7), 'cifs_connections_sphere', { operation: 4, connectionNumber: 7 }],
  [(c) => c.connections.openFiles(7), 'cifs_connections_sphere', { operation: 5, connection: 7 }],
  [(c) => c.connections.openFiles(7, { ignoreCount: 0, returnCount: 9, cookie: 'k', advancedFiltersInfo: filters }),
    'cifs_connections_sphere', { operation: 5, connection: 7, ignoreCount: 0, returnCount: 9, cookie: 'k', advancedFiltersInfo: filters }],
  [(c) => c.connections.invalidUsers(), 'cifs_connections_sphere', { operation: 6 }],
  [(c) => c.connections.invalidUsers({ returnCount: 3 }), 'cifs_connections_sphere', { operation: 6, returnCount: 3 }],
  [(c) => c.connections.addPermanentInvalidUser('u'), 'cifs_connections_sphere', { operation: 7, name: 'u' }],
  [(c) => c.connections.makePermanentInvalidUsers(['u', 'v']), 'cifs_connections_sphere', { operation: 8, names: ['u', 'v'] }],
  [(c) => c.connections.removeInvalidUsers(['u']), 'cifs_connections_sphere', { operation: 9, names: ['u'] }],
  [(c) => c.connections.addBlockedUser('u'), 'cifs_connections_sphere', { operation: 10, name: 'u' }],
  [(c) => c.connections.makeBlockedUsers(['u']), 'cifs_connections_sphere', { operation: 11, names: ['u'] }],
  [(c) => c.connections.unblockUsers(['u']), 'cifs_connections_sphere', { operation: CONNECTIONS.UnblockUser, names: ['u'] }],
  [(c) => c.contexts.list(), 'cifs_contexts_sphere', { operation: CONTEXTS.FetchCIFSUserContexts }],
  [(c) => c.contexts.add(['.a.org']), 'cifs_contexts_sphere', { operation: 2, userContexts: ['.a.org'] }],
  [(c) => c.contexts.remove(['.a.org']), 'cifs_contexts_sphere', { operation: 3, userContexts: ['.a.org'] }],
];

beforeEach(() => sim.reset());

describe('client requests', () => {
  it('sends each operation as the request written by hand, with the client dn, and returns the sphere\'s promise itself', async () => {
    const { module, calls } = recordingModule();
    const client = createClient({ dn, module });
    for (const [call, sphere, expected] of cases) {
      const returned = call(client);
      const sent = calls.at(-1);
      assert.equal(sent.sphere, sphere);
      assert.deepEqual(sent.request, { dn, ...expected }, JSON.stringify(expected));
      assert.equal(returned, sent.result);
      await returned;
    }
    assert.equal(calls.length, cases.length);
  });

  it('covers every operation of the three spheres', () => {
    const covered = new Set(cases.map(([, sphere, request]) => `${sphere}:${request.operation}`));
    for (const [sphere, table] of [['cifs_shares_sphere', SHARES], ['cifs_connections_sphere', CONNECTIONS], ['cifs_contexts_sphere', CONTEXTS]]) {
      for (const operation of Object.values(table)) assert.ok(covered.has(`${sphere}:${operation}`), `${sphere} ${operation}`);
    }
  });

  it('sets the log level through the config sphere and hands back its undefined', () => {
    const { module, calls } = recordingModule();
    assert.equal(createClient({ dn, module }).setLogLevel('error'), undefined);
    assert.deepEqual(calls.map((c) => [c.sphere, c.request]), [['native_config_sphere', { logLevel: 'error' }]]);
  });
});

// A web layer that hands a request body straight to a method: [client call,
// the key it must be refused for]. Nothing may reach the module.
const config = { name: 'n', volumeName: 'DATA', relativePath: 'p', encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'disabled' };
const refused = [
  [(c) => c.shares.create({ ...config, dn: 'cn=supervisor,o=example' }), "'dn'"],
  [(c) => c.shares.create({ ...config, operation: SHARES.RemoveCIFSShare, names: ['DATA', 'home'] }), "'operation'"],
  [(c) => c.shares.create({ ...config, supervisor: true }), "'supervisor'"],
  [(c) => c.shares.change(JSON.parse('{"name": "n", "__proto__": {"dn": "cn=supervisor"}}')), "'__proto__'"],
  [(c) => c.shares.listOpenFiles({ volumeName: 'DATA', ignoreCount: 0, returnCount: 1, names: ['x'] }), "'names'"],
  [(c) => c.shares.setFeature('dn', 'cn=supervisor,o=example', ['DATA']), /one of encryption, folderRedirection, atmBackup/],
  [(c) => c.shares.setFeature('names', ['home'], ['DATA']), /not 'names'/],
  [(c) => c.connections.list({ ignoreCount: 0, returnCount: 5, cookie: 'k' }), "'cookie'"],
  [(c) => c.connections.openFiles(7, { connection: 8 }), "'connection'"],
  [(c) => c.connections.invalidUsers({ operation: CONNECTIONS.RemoveInvalidUser, names: ['eve'] }), "'operation'"],
];

describe('client refusals', () => {
  it('rejects a key its operation does not read with a TypeError naming it, and sends nothing', async () => {
    const { module, calls } = recordingModule();
    const client = createClient({ dn: 'cn=guest,o=example', module });
    for (const [call, reason] of refused) {
      const returned = call(client);
      assert.ok(returned instanceof Promise, String(call));
      const message = typeof reason === 'string' ? new RegExp(`takes no key ${reason}`) : reason;
      await assert.rejects(returned, (error) => error instanceof TypeError && message.test(error.message), String(call));
    }
    assert.deepEqual(calls, []);
  });
});

describe('client answers', () => {
  it('are the module\'s answers, failures included', async () => {
    const client = createClient({ dn, module: cifs });
    assert.deepEqual(await client.shares.list(), await cifs.cifs_shares_sphere({ operation: 1, dn }));
    assert.deepEqual(await client.shares.remove(['no-such-share']), await cifs.cifs_shares_sphere({ operation: 5, dn, names: ['no-such-share'] }));
    sim.identity.set({ dn: 'cn=guest,o=example', supervisor: false });
    const guest = createClient({ dn: 'cn=guest,o=example', module: cifs });
    const refused = await guest.contexts.list();
    assert.equal(refused.status, 'failure');
    assert.deepEqual(refused, await cifs.cifs_contexts_sphere({ operation: 1, dn: 'cn=guest,o=example' }));
  });
});
