'use strict';
// The simulated platform libraries, through their controls only: what the
// tests that drive them rely on. Statuses tell refusals apart, reset undoes
// every change, every list comes back as it was set, a setup the model cannot
// hold fails at its own line, and the choices take exactly the values they name.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const { inspect } = require('node:util');
const sim = require('./support/sim');
const simulator = require('../lib/simulator');

beforeEach(() => sim.reset());

// Every list the controls set, with what each getter hands back.
const lists = ['Volumes', 'Shares', 'OpenFiles', 'Connections', 'InvalidUsers', 'Contexts'];
const everyList = () => Object.fromEntries(lists.map((l) => [l, simulator[l[0].toLowerCase() + l.slice(1)]()]));

describe('status codes', () => {
  it('are distinct, and non-zero for every refusal, so an answer names the refusal it got', () => {
    const values = Object.values(sim.status);
    assert.equal(new Set(values).size, values.length);
    for (const [name, value] of Object.entries(sim.status)) if (name !== 'OK') assert.ok(value > 0, name);
  });
});

describe('reset', () => {
  it('restores the seed, the default choices and an empty log after every kind of change', () => {
    const seed = { lists: everyList(), identities: sim.identity.entries(), choices: sim.mgmt.choices() };
    for (const l of lists) simulator[`set${l}`]([]);
    sim.identity.set({ dn: 'cn=x', userinfoStatus: 5 });
    sim.mgmt.fail({ call: 'CIFSLIB_ListAllShares', status: 9 });
    sim.mgmt.delay(5);
    sim.mgmt.setChoices({ shareRecords: 'inside', connectionRecords: 'inside', objectSlack: 0 });
    sim.mgmt.shrinkNextObject(3);
    sim.reset();
    assert.deepEqual({ lists: everyList(), identities: sim.identity.entries(), choices: sim.mgmt.choices() }, seed);
    assert.deepEqual(sim.mgmt.failures(), []);
    assert.deepEqual(sim.mgmt.calls(), []);
    assert.deepEqual(sim.identity.calls(), []);
  });
});

describe('setup', () => {
  it('takes back every list as its getter hands it out, so a read-modify-write keeps the rest', () => {
    const before = everyList();
    for (const l of lists) simulator[`set${l}`](before[l]);
    sim.identity.set(sim.identity.entries()[0]);
    assert.deepEqual(everyList(), before);
  });

  it('refuses a list the model cannot hold at its own line, and keeps what it had', () => {
    const refused = [
      ['Shares', [{ name: 'dup' }, { name: 'DUP' }], /refused/],
      ['Shares', [{ volumeName: 'DATA' }], /refused/],
      ['Shares', [{ name: 'n', nameSpace: -1 }], TypeError],
      ['Volumes', ['V', 'v'], /refused/],
      ['Contexts', ['a', 5], TypeError],
      ['OpenFiles', [{ shareName: 'nope', name: 'a' }], /refused/],
      ['OpenFiles', [{ shareName: 'home' }], /refused/],
      ['OpenFiles', [{ shareName: 'home', name: 'a', ID: -1 }], TypeError],
      ['Connections', [{ connectionNumber: 1 }, { connectionNumber: 1 }], /refused/],
      ['Connections', [{ ipAddress: '1234567890123456' }], /refused/],
      ['Connections', [{ mappedShares: ['nope'] }], /refused/],
      ['Connections', [{ totalBytesRead: 2n ** 64n }], TypeError],
      ['InvalidUsers', [{ name: 'a' }, { name: 'A' }], /refused/],
      ['InvalidUsers', [{ name: 'a', state: -1 }], TypeError],
      ['InvalidUsers', 'a', TypeError],
    ];
    const before = everyList();
    for (const [list, value, error] of refused) {
      assert.throws(() => simulator[`set${list}`](value), error, `set${list}(${inspect(value)})`);
    }
    assert.throws(() => sim.identity.set({ supervisr: false }), /unknown key/);
    assert.throws(() => sim.mgmt.delay(60001), /refused/);
    assert.deepEqual(everyList(), before);
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
  it('default to records apart and a page of slack, change only the keys given, and refuse others with a TypeError', () => {
    const defaults = { shareRecords: 'apart', connectionRecords: 'apart', objectSlack: 4096 };
    assert.deepEqual(sim.mgmt.choices(), defaults);
    sim.mgmt.setChoices({ connectionRecords: 'inside' });
    sim.mgmt.setChoices({ objectSlack: 0 });
    const set = { ...defaults, connectionRecords: 'inside', objectSlack: 0 };
    assert.deepEqual(sim.mgmt.choices(), set);
    const refused = [{ shareRecord: 'inside' }, { shareRecords: 'outside' }, { connectionRecords: true },
      { objectSlack: -1 }, { objectSlack: 1.5 }, { objectSlack: 2 ** 27 }, { objectSlack: 1, extra: 1 }, null];
    for (const choices of refused) assert.throws(() => sim.mgmt.setChoices(choices), TypeError, JSON.stringify(choices));
    assert.throws(() => sim.mgmt.shrinkNextObject(-2), TypeError);
    assert.deepEqual(sim.mgmt.choices(), set);
  });
});
