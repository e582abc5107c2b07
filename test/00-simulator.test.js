'use strict';
// The simulated platform libraries, through their control addon only: what
// the tests that drive them rely on. Statuses tell refusals apart, reset
// undoes every change, a setup the model cannot hold fails at its own line,
// and the choices take exactly the values they name.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');

beforeEach(() => sim.reset());

describe('status codes', () => {
  it('are distinct, and non-zero for every refusal, so an answer names the refusal it got', () => {
    const values = Object.values(sim.status);
    assert.equal(new Set(values).size, values.length);
    for (const [name, value] of Object.entries(sim.status)) if (name !== 'OK') assert.ok(value > 0, name);
    assert.equal(sim.identity.status.BUFFER_TOO_SMALL, -9009);
  });
});

describe('reset', () => {
  it('restores the seed, the default choices and an empty log after every kind of change', () => {
    const seed = { shares: sim.mgmt.shares(), contexts: sim.mgmt.contexts(), volumes: sim.mgmt.volumes() };
    const choices = sim.mgmt.choices();
    sim.mgmt.setShares([]);
    sim.mgmt.setContexts([]);
    sim.mgmt.setVolumes(['X']);
    sim.mgmt.fail({ call: 'CIFSLIB_ListAllShares', status: 9 });
    sim.mgmt.delay(5);
    sim.mgmt.setChoices({ shareRecords: 'inside', connectionRecords: 'inside', objectSlack: 0 });
    sim.mgmt.shrinkNextObject(3);
    sim.reset();
    assert.deepEqual(sim.mgmt.shares(), seed.shares);
    assert.deepEqual(sim.mgmt.contexts(), seed.contexts);
    assert.deepEqual(sim.mgmt.volumes(), seed.volumes);
    assert.deepEqual(sim.mgmt.failures(), []);
    assert.deepEqual(sim.mgmt.calls(), []);
    assert.deepEqual(sim.identity.calls(), []);
    assert.deepEqual(sim.mgmt.choices(), choices);
  });
});

describe('setup', () => {
  it('refuses what the model cannot hold, and keeps what it had', () => {
    const before = sim.mgmt.shares();
    assert.throws(() => sim.mgmt.setShares([{ name: 'dup' }, { name: 'DUP' }]), /refused/);
    assert.throws(() => sim.mgmt.setShares([{ name: 'n', nameSpace: -1 }]), TypeError);
    assert.throws(() => sim.mgmt.setVolumes(['V', 'v']), /refused/);
    assert.throws(() => sim.mgmt.setContexts(['a', 5]), TypeError);
    assert.throws(() => sim.identity.set({ supervisr: false }), /unknown key/);
    assert.deepEqual(sim.mgmt.shares(), before);
  });

  it('keeps failure rules in order with their remaining count, and knows only the twenty calls', () => {
    sim.mgmt.fail({ call: 'CIFSLIB_RemoveShare', status: 5, name: 'share1', times: 2 });
    sim.mgmt.fail({ call: 'CIFSLIB_AddUserContext', status: -1 });
    assert.throws(() => sim.mgmt.fail({ call: 'CIFSLIB_RemoveShares', status: 5 }), /refused/);
    assert.deepEqual(sim.mgmt.failures(), [
      { call: 'CIFSLIB_RemoveShare', status: 5, name: 'share1', times: 2 },
      { call: 'CIFSLIB_AddUserContext', status: -1, name: '', times: 0 },
    ]);
  });
});

describe('choices', () => {
  it('default to records apart and a page of slack', () => {
    assert.deepEqual(sim.mgmt.choices(), { shareRecords: 'apart', connectionRecords: 'apart', objectSlack: 4096 });
  });

  it('change only the keys given', () => {
    sim.mgmt.setChoices({ connectionRecords: 'inside' });
    sim.mgmt.setChoices({ objectSlack: 0 });
    assert.deepEqual(sim.mgmt.choices(), { shareRecords: 'apart', connectionRecords: 'inside', objectSlack: 0 });
  });

  it('refuse unknown keys and values with a TypeError, changing nothing', () => {
    const refused = [{ shareRecord: 'inside' }, { shareRecords: 'outside' }, { connectionRecords: true },
      { objectSlack: -1 }, { objectSlack: 1.5 }, { objectSlack: 2 ** 27 }, { objectSlack: 0, extra: 1 }, null];
    for (const choices of refused) assert.throws(() => sim.mgmt.setChoices(choices), TypeError, JSON.stringify(choices));
    assert.throws(() => sim.mgmt.shrinkNextObject(-2), TypeError);
    assert.deepEqual(sim.mgmt.choices(), { shareRecords: 'apart', connectionRecords: 'apart', objectSlack: 4096 });
  });
});
