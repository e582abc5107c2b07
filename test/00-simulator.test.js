'use strict';
// The simulated platform libraries, through their control addon only: a setup
// the model cannot hold is refused whole, failure rules and raw results take
// only what they can use, and reset undoes all of it.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');
const { shareRecord } = require('./support/records');

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
  it('restores the seed after every kind of change', () => {
    const seed = { shares: sim.mgmt.shares(), contexts: sim.mgmt.contexts(), volumes: sim.mgmt.volumes() };
    sim.mgmt.setShares([]);
    sim.mgmt.setContexts([]);
    sim.mgmt.setVolumes(['X']);
    sim.mgmt.fail({ call: 'CIFSLIB_ListAllShares', status: 9 });
    sim.mgmt.delay(5);
    sim.reset();
    assert.deepEqual(sim.mgmt.shares(), seed.shares);
    assert.deepEqual(sim.mgmt.contexts(), seed.contexts);
    assert.deepEqual(sim.mgmt.volumes(), seed.volumes);
    assert.deepEqual(sim.mgmt.failures(), []);
    assert.deepEqual(sim.mgmt.calls(), []);
    assert.deepEqual(sim.identity.calls(), []);
  });
});

describe('shares', () => {
  it('refuses a list the model cannot hold and keeps the old one', () => {
    const before = sim.mgmt.shares();
    assert.throws(() => sim.mgmt.setShares([{ name: 'dup' }, { name: 'DUP' }]), /refused/);
    assert.throws(() => sim.mgmt.setShares([{ name: '' }]), /refused/);
    assert.throws(() => sim.mgmt.setShares([{ volumeName: 'DATA' }]), /refused/);
    assert.throws(() => sim.mgmt.setShares([{ name: 'n', nameSpace: -1 }]), TypeError);
    assert.throws(() => sim.mgmt.setShares([{ name: 'n', encryption: 'yes' }]), TypeError);
    assert.throws(() => sim.mgmt.setShares('n'), TypeError);
    assert.deepEqual(sim.mgmt.shares(), before);
  });
});

describe('contexts and volumes', () => {
  it('refuse non-texts and repeated volumes', () => {
    assert.throws(() => sim.mgmt.setContexts(['a', 5]), TypeError);
    assert.throws(() => sim.mgmt.setVolumes(['V', 'v']), /refused/);
  });
});

describe('failure injection', () => {
  it('keeps rules in order with their remaining count', () => {
    sim.mgmt.fail({ call: 'CIFSLIB_RemoveShare', status: 5, name: 'share1', times: 2 });
    sim.mgmt.fail({ call: 'CIFSLIB_AddUserContext', status: -1 });
    assert.deepEqual(sim.mgmt.failures(), [
      { call: 'CIFSLIB_RemoveShare', status: 5, name: 'share1', times: 2 },
      { call: 'CIFSLIB_AddUserContext', status: -1, name: '', times: 0 },
    ]);
  });

  it('rejects a call name the library does not have', () => {
    assert.throws(() => sim.mgmt.fail({ call: 'CIFSLIB_RemoveShares', status: 5 }), /refused/);
    assert.throws(() => sim.mgmt.fail({ call: 'CIFSLIB_RemoveShare' }), TypeError);
    assert.deepEqual(sim.mgmt.failures(), []);
  });
});

describe('argument checks', () => {
  it('reject raw results and identities of the wrong shape', () => {
    assert.throws(() => sim.mgmt.rawShareList(['not a buffer']), TypeError);
    for (const slot of [{}, { end: false }, { outside: 'x' }, { outside: Buffer.alloc(1), end: true }])
      assert.throws(() => sim.mgmt.rawShareList([slot]), TypeError, JSON.stringify(slot));
    assert.throws(() => sim.mgmt.rawShareList([], { count: -1 }), TypeError);
    assert.throws(() => sim.mgmt.rawContexts({ block: 'abc' }), TypeError);
    assert.throws(() => sim.identity.set({ supervisr: false }), /unknown key/);
    assert.throws(() => sim.identity.set({ neededCapacity: 1.5 }), TypeError);
    sim.mgmt.rawShareList([shareRecord({ texts: { name: 'x' } }), null, Buffer.alloc(0), { end: true }, { outside: Buffer.alloc(48) }], { count: 3 });
    sim.mgmt.rawContexts({ count: 2 });
    sim.identity.set({ dn: 'cn=a', supervisor: false, sevStatus: -3 });
  });
});
