'use strict';
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');
const logs = require('./support/logs');
const { dn, operations, send, contexts } = require('./support/operations');

const refusalTag = '@@failed-to-validate-credentials-or-authorize-user';
const listContexts = (request) => contexts(1, request);

beforeEach(() => sim.reset());

describe('supervisor check', () => {
  it('refuses a caller without supervisor rights in every operation, before any library call', async () => {
    sim.identity.set({ dn, supervisor: false });
    for (const op of operations) {
      const mark = logs.mark();
      const answer = await send(op);
      assert.equal(answer.status, 'failure', op.name);
      assert.equal(answer.operation, op.name);
      assert.deepEqual(answer.error, {
        errorCode: 40031,
        description: `User does not have privilege to perform the operation: ${op.name}`,
        errorID: refusalTag,
      });
      assert.ok(
        logs.since(mark).map(logs.message).includes(
          `Logged-in user '${dn}' does not have privilege to perform the operation: ${op.name}, error: 40031`,
        ),
      );
    }
    assert.deepEqual(sim.mgmt.calls(), [], 'a refused caller never reaches the management library');
  });

  it('reports names of a refused batch request as failed, never as done', async () => {
    sim.identity.set({ dn, supervisor: false });
    const answer = await cifs.cifs_shares_sphere({ operation: 5, dn, names: ['docs', 'home'] });
    assert.equal(answer.successfulList, undefined);
    assert.equal(answer.failedCount, '2');
    assert.deepEqual(answer.failedList, [
      { errorCode: 40031, name: 'docs' },
      { errorCode: 40031, name: 'home' },
    ]);
  });

  it('a failed user lookup refuses with the library status', async () => {
    sim.identity.set({ dn, userinfoStatus: 7 });
    const mark = logs.mark();
    const answer = await listContexts();
    assert.deepEqual(answer.error, {
      errorCode: 7,
      description: "Failed to validate logged-in user for: 'FetchCIFSUserContexts'",
      errorID: refusalTag,
    });
    const lines = logs.since(mark).map(logs.message);
    assert.ok(lines.includes('Name based look up has failed with 7'));
    assert.ok(lines.includes(`Failed to validate logged-in user: ${dn}, operation: FetchCIFSUserContexts, error: 7`));
    assert.deepEqual(sim.mgmt.calls(), []);
  });
});

describe('SEV lookup by name', () => {
  it('retries once with the capacity the library asks for', async () => {
    sim.identity.set({ dn, neededCapacity: 50 });
    assert.equal((await listContexts()).status, 'success');
    const sevCalls = sim.identity.calls().filter((c) => c.call === 'sevlist_from_name');
    assert.deepEqual(sevCalls.map((c) => c.capacity), [20, 50]);
  });

  it('fails on a second "too small" with -9009, and passes other failures through', async () => {
    sim.identity.set({ dn, neededCapacity: 50, alwaysTooSmall: true });
    assert.equal((await listContexts()).error.errorCode, -9009);
    assert.equal(sim.identity.calls().filter((c) => c.call === 'sevlist_from_name').length, 2);
    sim.identity.set({ dn, sevStatus: 12 });
    assert.equal((await listContexts()).error.errorCode, 12);
  });

  it('sends the DN as UTF-16 and fails with 40025 outside the Basic Multilingual Plane', async () => {
    const accented = 'cn=J\u00e9r\u00f4me \u20ac,o=example';
    sim.identity.set({ dn: accented });
    await listContexts({ dn: accented });
    assert.equal(sim.identity.calls().find((c) => c.call === 'sevlist_from_name').text, accented);

    sim.reset();
    sim.identity.set({ dn: 'cn=\u{1F600},o=example' });
    const answer = await listContexts({ dn: 'cn=\u{1F600},o=example' });
    assert.equal(answer.error.errorCode, 40025);
    assert.equal(answer.error.errorID, refusalTag);
    assert.deepEqual(sim.identity.calls().map((c) => c.call), ['userinfo']);
  });

  it('looks up a long DN by its first 255 bytes (a NUL past them is never seen), and an empty DN as it is', async () => {
    const long = `cn=${'x'.repeat(292)}\0tail`;
    sim.identity.set({ dn: long.slice(0, 255) });
    assert.equal((await listContexts({ dn: long })).status, 'success');
    assert.equal(sim.identity.calls()[0].text, long.slice(0, 255));
    sim.reset();
    assert.equal((await listContexts({ dn: '' })).error.errorCode, sim.identity.status.NO_SUCH_USER);
    assert.equal(sim.identity.calls()[0].text, '');
  });
});

describe('SEV lookup by SID', () => {
  it('decides by the flag the SID lookup sets', async () => {
    sim.identity.set({ dn, userType: 2 });
    assert.equal((await listContexts()).status, 'success');
    assert.deepEqual(sim.identity.calls().map((c) => c.call), ['userinfo', 'sevlist_from_sid']);

    sim.identity.set({ dn, userType: 2, supervisor: false });
    assert.equal((await listContexts()).error.errorCode, 40031);

    sim.identity.set({ dn, userType: 2, sidStatus: 5 });
    const answer = await listContexts();
    assert.equal(answer.error.errorCode, 5);
    assert.equal(answer.error.description, "Failed to validate logged-in user for: 'FetchCIFSUserContexts'");
  });
});
