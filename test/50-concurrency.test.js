'use strict';
const { describe, it, beforeEach, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');

const dn = 'cn=admin,o=example';

beforeEach(() => sim.reset());
afterEach(() => sim.mgmt.delay(0));

describe('requests in flight together', () => {
  it('each answer belongs to its own request while workers overlap', async () => {
    sim.mgmt.delay(2); // keeps several executors inside the library at once
    sim.identity.set({ dn: 'cn=guest,o=example', supervisor: false });
    const requests = [];
    for (let i = 0; i < 120; i += 1) {
      if (i % 3 === 0) requests.push(['list', cifs.cifs_shares_sphere({ operation: 1, dn })]);
      else if (i % 3 === 1) requests.push(['add', cifs.cifs_contexts_sphere({ operation: 2, dn, userContexts: [`.c${i}.example`] }), i]);
      else requests.push(['refused', cifs.cifs_contexts_sphere({ operation: 1, dn: 'cn=guest,o=example' })]);
    }
    for (const [kind, promise, i] of requests) {
      const answer = await promise;
      if (kind === 'list') assert.ok(Array.isArray(answer.shares));
      if (kind === 'add') assert.deepEqual(answer.successfulList, [{ name: `.c${i}.example` }]);
      if (kind === 'refused') assert.equal(answer.error.errorCode, 40031);
    }
    assert.equal(sim.mgmt.contexts().filter((c) => c.startsWith('.c')).length, 40);
  });
});
