'use strict';
// Requests written by an attacker: texts that hide a NUL or a line break, and
// lists whose length costs the caller nothing.
const { describe, it, beforeEach, after } = require('node:test');
const assert = require('node:assert/strict');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');
const logs = require('./support/logs');

const dn = 'cn=admin,o=example';
const shares = (operation, fields) => cifs.cifs_shares_sphere({ operation, dn, ...fields });
const contexts = (operation, fields) => cifs.cifs_contexts_sphere({ operation, dn, ...fields });
const messagesSince = (mark) => logs.since(mark).map(logs.message);
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
    assert.ok(messagesSince(mark).includes("'dn' value could not be converted: 18, error: 3"));
    assert.deepEqual((await cifs.cifs_shares_sphere({ operation: 1, dn: forged })).error,
      extractFailure(-1, "Failed to extract/convert: 'dn'", 'dn'));
    assert.deepEqual(sim.identity.calls(), []);
  });

  it('a NUL past the 255-byte cut of the DN is never seen', async () => {
    const long = `cn=${'x'.repeat(260)}\0tail`;
    assert.equal((await contexts(1, { dn: long })).status, 'success');
    assert.equal(sim.identity.calls()[0].text, long.slice(0, 255));
  });

  it('a share name is not cut to the share it starts with', async () => {
    const mark = logs.mark();
    assert.deepEqual((await shares(5, { names: ['home', 'DATA\0junk'] })).error,
      extractFailure(40004, "Failed to extract/convert: 'names'", 'names'));
    assert.ok(messagesSince(mark).includes("'names' value could not be converted, error: 3"));
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

  it('a user context with a NUL is refused', async () => {
    assert.deepEqual((await contexts(3, { userContexts: ['.users.org\0.x'] })).error,
      extractFailure(40004, "Failed to extract/convert: 'userContexts'", 'userContexts'));
    assert.deepEqual(sim.mgmt.calls(), []);
  });

  it('a log level with a NUL takes the invalid-level path', async () => {
    const mark = logs.mark();
    assert.equal(cifs.native_config_sphere({ logLevel: 'info\0' }), undefined);
    assert.deepEqual(messagesSince(mark), ['Read invalid log level from prod.env file: info']);
    const request = logs.mark();
    await contexts(1);
    assert.deepEqual(logs.since(request).filter((line) => line.priority === 6), [], 'the level is still error');
  });
});

describe('request texts in log lines are escaped', () => {
  it('a name cannot forge a line of its own, and the answer keeps its bytes', async () => {
    const forged = 'ghost\nTARVO-REST: <cs_remove_share:1> Share removed: DATA';
    const odd = 'a\\b\t\r\x01\x7f \u00e9';
    const mark = logs.mark();
    const answer = await shares(5, { names: [forged, odd] });
    assert.deepEqual(answer.failedList.map((e) => e.name), [forged, odd]);
    const lines = logs.since(mark);
    assert.ok(!lines.some((line) => line.text.startsWith('TARVO-REST: <cs_remove_share:1>')), 'no forged line');
    const messages = lines.map(logs.message);
    assert.ok(messages.includes('Failed to remove share: ghost\\nTARVO-REST: <cs_remove_share:1> Share removed: DATA, error: 2'));
    assert.ok(messages.includes('Failed to remove share: a\\\\b\\t\\r\\x01\\x7f \u00e9, error: 2'));
  });

  it('a DN with a line break is escaped in the supervisor refusal', async () => {
    sim.identity.set({ supervisor: false });
    const mark = logs.mark();
    const answer = await contexts(1, { dn: 'cn=x\r\nTARVO-REST: <y:1> z' });
    assert.equal(answer.error.errorCode, 40031);
    const messages = messagesSince(mark);
    assert.ok(messages.includes(
      "Logged-in user 'cn=x\\r\\nTARVO-REST: <y:1> z' does not have privilege to perform the operation: FetchCIFSUserContexts, error: 40031",
    ));
    assert.ok(!messages.some((m) => m.startsWith('TARVO-REST')));
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
    assert.ok(messagesSince(mark).includes('List names has 1000000 entries, more than 65535, error: 40022'));
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
