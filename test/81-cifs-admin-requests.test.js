'use strict';
// The request each cifs-admin command line sends, through the client method
// its command names: the keys and values the module reads, and nothing it
// would not.
const { describe, it } = require('node:test');
const assert = require('node:assert/strict');
const { requestFor } = require('../lib/cli/main');
const { commands } = require('../lib/cli/commands');
const { SHARES, CONNECTIONS, CONTEXTS } = require('../lib/operations');

const dn = 'cn=admin,o=example';
const env = { CIFS_DN: dn };
const paged = { ignoreCount: 0, returnCount: 50 };
const config = { encryption: 'disabled', folderRedirection: 'disabled', atmBackup: 'disabled' };
// The share as listed, which `shares change` reads before it sends the whole configuration.
const listed = { name: 'n', type: 'Disk Directory Tree', comment: 'old', volumeName: 'DATA', relativePath: 'n', absolutePath: '/DATA/n',
  encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'enabled' };
const kept = { volumeName: 'DATA', relativePath: 'n', encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'enabled' };

const rows = [
  ['shares list', 'shares', { operation: 1 }],
  ['shares create n --volume V --path p/q --comment c --atm-backup on', 'shares',
    { operation: 2, name: 'n', volumeName: 'V', relativePath: 'p/q', ...config, atmBackup: 'enabled', comment: 'c' }],
  ['shares change n --volume V --path p --new-name m --encryption disabled --folder-redirection on', 'shares',
    { operation: 3, name: 'n', ...kept, volumeName: 'V', relativePath: 'p', encryption: 'disabled', folderRedirection: 'enabled', newName: 'm' }],
  ['shares change n --comment c', 'shares', { operation: 3, name: 'n', ...kept, comment: 'c' }],
  ['shares change n --atm-backup off', 'shares', { operation: 3, name: 'n', ...kept, atmBackup: 'disabled' }],
  ['shares enable folder-redirection a b', 'shares', { operation: 4, folderRedirection: 'enabled', names: ['a', 'b'] }],
  ['shares disable atm-backup a', 'shares', { operation: 4, atmBackup: 'disabled', names: ['a'] }],
  ['shares remove a b', 'shares', { operation: 5, names: ['a', 'b'] }],
  ['files list --volume V', 'shares', { operation: 6, volumeName: 'V', ...paged }],
  ['files list --volume V --ignore 3 --return 0 --cookie k --filter type=pdf --filter search-name=a=b --filter type=doc',
    'shares', { operation: 6, volumeName: 'V', ignoreCount: 3, returnCount: 0, cookie: 'k', advancedFiltersInfo: {
      matchType: 'all', filters: [{ filterBy: 'type', patterns: ['pdf', 'doc'] }, { filterBy: 'search-name', patterns: ['a=b'] }] } }],
  ['files close /V/a /V/b c', 'shares', { operation: 7, openFiles: ['/V/a', '/V/b', 'c'] }],
  ['files close-all --volume V', 'shares', { operation: 8, volumeName: 'V' }],
  ['connections count', 'connections', { operation: 1 }],
  ['connections list', 'connections', { operation: 2, ...paged }],
  ['connections list --ignore 1 --return 5 --match none --filter status=Idle', 'connections', { operation: 2,
    ignoreCount: 1, returnCount: 5, advancedFiltersInfo: { matchType: 'none', filters: [{ filterBy: 'status', patterns: ['Idle'] }] } }],
  ['connections list --match any', 'connections', { operation: 2, ...paged, advancedFiltersInfo: { matchType: 'any', filters: [] } }],
  ['connections list --filter loginTime=2023-11-15T00:13:20Z --filter loginTime=0', 'connections', { operation: 2, ...paged,
    advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'loginTime', patterns: ['1700007200', '0'] }] } }],
  ['connections list --all --filter status=Active', 'connections', { operation: 2, ignoreCount: 0, returnCount: 4294967295,
    advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'status', patterns: ['Active'] }] } }],
  ['connections show 12', 'connections', { operation: 3, connectionNumber: 12 }],
  ['connections shares 7', 'connections', { operation: 4, connectionNumber: 7 }],
  ['connections files 7 --return 2 --cookie k', 'connections', { operation: 5, connection: 7, ignoreCount: 0, returnCount: 2, cookie: 'k' }],
  ['users list --filter type=Blocked', 'connections', { operation: 6, ...paged,
    advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'type', patterns: ['Blocked'] }] } }],
  ['users add eve', 'connections', { operation: 7, name: 'eve' }],
  ['users make-permanent eve bob', 'connections', { operation: 8, names: ['eve', 'bob'] }],
  ['users remove eve', 'connections', { operation: 9, names: ['eve'] }],
  ['users block eve', 'connections', { operation: 10, name: 'eve' }],
  ['users make-blocked eve', 'connections', { operation: 11, names: ['eve'] }],
  ['users unblock eve bob', 'connections', { operation: 12, names: ['eve', 'bob'] }],
  ['contexts list', 'contexts', { operation: 1 }],
  ['contexts add .a .b', 'contexts', { operation: 2, userContexts: ['.a', '.b'] }],
  ['contexts remove .a', 'contexts', { operation: 3, userContexts: ['.a'] }],
];

describe('requests of cifs-admin', () => {
  it('builds each operation\'s request from its command line', async () => {
    for (const [line, sphere, request] of rows) {
      assert.deepEqual(await requestFor(line.split(' '), env, listed), { sphere: `cifs_${sphere}_sphere`, request: { dn, ...request } }, line);
    }
  });

  it('covers every command of the table, and through them (each a client method) every operation', () => {
    const covered = new Set(rows.map(([line]) => line.split(' ').slice(0, 2).join(' ')));
    for (const c of commands) assert.ok(covered.has(c.words.join(' ')), c.words.join(' '));
    const reached = new Set(rows.map(([, sphere, { operation }]) => `${sphere} ${operation}`));
    const every = Object.entries({ shares: SHARES, connections: CONNECTIONS, contexts: CONTEXTS }).flatMap(([s, t]) => Object.values(t).map((n) => `${s} ${n}`));
    assert.deepEqual(every.filter((op) => !reached.has(op)), []);
  });

  it('takes the dn from --dn before the environment, and a value that starts like a path as a word', async () => {
    assert.equal((await requestFor(['contexts', 'list', '--dn', 'cn=other'], env)).request.dn, 'cn=other');
    assert.deepEqual((await requestFor(['files', 'close', '--', '--odd-name'], env)).request.openFiles, ['--odd-name']);
  });
});
