'use strict';
// The simulated platform libraries, through their controls only: what the
// tests that drive them rely on. Reset undoes every change, every list comes
// back as it was set, failure rules keep their order, and the choices start
// at the least convenient ones and take exactly the values they name.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');
const simulator = require('../lib/simulator');

beforeEach(() => sim.reset());

// Every list the controls set, with what each getter hands back.
const lists = ['Volumes', 'Shares', 'OpenFiles', 'Connections', 'InvalidUsers', 'Contexts'];
const everyList = () => Object.fromEntries(lists.map((l) => [l, simulator[l[0].toLowerCase() + l.slice(1)]()]));

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

  it('keeps failure rules in order with their remaining count', () => {
    sim.mgmt.fail({ call: 'CIFSLIB_RemoveShare', status: 5, name: 'share1', times: 2 });
    sim.mgmt.fail({ call: 'CIFSLIB_AddUserContext', status: -1 });
    assert.deepEqual(sim.mgmt.failures(), [
      { call: 'CIFSLIB_RemoveShare', status: 5, name: 'share1', times: 2 },
      { call: 'CIFSLIB_AddUserContext', status: -1, name: '', times: 0 },
    ]);
  });
});

describe('choices', () => {
  it('default to records apart and a page of slack, and change only the keys given', () => {
    const defaults = { shareRecords: 'apart', connectionRecords: 'apart', objectSlack: 4096 };
    assert.deepEqual(sim.mgmt.choices(), defaults);
    sim.mgmt.setChoices({ connectionRecords: 'inside' });
    sim.mgmt.setChoices({ objectSlack: 0 });
    const set = { ...defaults, connectionRecords: 'inside', objectSlack: 0 };
    assert.deepEqual(sim.mgmt.choices(), set);
    assert.deepEqual(sim.mgmt.choices(), set);
  });
});
