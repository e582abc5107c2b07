'use strict';
// Answers no patched built-in and no polluted prototype can change: each
// child process arms its own globals, makes the same requests as an
// untouched one and reports every answer as its own properties show it.
const { describe, it } = require('node:test');
const assert = require('node:assert/strict');
const { addonPath } = require('./support/addon');
const sim = require('./support/sim');
const { runChild } = require('./support/sim-process');

// A listing of records long enough for runs of them, open files with their
// access modes, outcome lists, user contexts, a connection's security
// equivalences and an error answer; `arm` runs before the first request, or
// after one that compiled the builders. What the child does once armed makes
// no array and calls no method of one: it runs in the world it armed.
const child = (arm, armFirst) => `
  const sim = require(${JSON.stringify(require.resolve('./support/sim'))});
  const cifs = require(${JSON.stringify(addonPath)});
  const dn = 'cn=admin,o=example';
  const ownKeys = Reflect.ownKeys, describe = Object.getOwnPropertyDescriptor, protoOf = Object.getPrototypeOf;
  // "key:<value>" for an own data property, "key:ODD" for anything else.
  const shapeOf = (v) => {
    if (v === null || typeof v !== 'object') return JSON.stringify(v);
    let out = protoOf(v) === Array.prototype ? '[' : protoOf(v) === Object.prototype ? '{' : 'OTHER{';
    for (const k of ownKeys(v)) {
      const d = describe(v, k);
      const data = 'value' in d && d.writable && (d.enumerable || k === 'length');
      out += String(k) + (data ? ':' + shapeOf(d.value) : ':ODD') + ' ';
    }
    return out + '}';
  };
  sim.reset();
  sim.mgmt.setShares(Array.from({ length: 40 }, (_, i) => ({ name: 's' + i, volumeName: 'DATA', relativePath: 'p' + i })));
  sim.mgmt.setOpenFiles(Array.from({ length: 40 }, (_, i) => ({ shareName: 's0', name: 'f' + i, fullPath: '/DATA/f' + i, sessionID: 1, ID: 100 + i, accessMask: i * 0x1000003, lockLevel: i % 12 })));
  const calls = { setters: '' };
  (async () => {
    if (!${armFirst}) await cifs.cifs_contexts_sphere({ operation: 1, dn });
    (${arm})(calls);
    let answers = '';
    for (const request of [
      () => cifs.cifs_shares_sphere({ operation: 1, dn }),
      () => cifs.cifs_shares_sphere({ operation: 6, dn, volumeName: 'DATA', ignoreCount: 0, returnCount: 40 }),
      () => cifs.cifs_shares_sphere({ operation: 5, dn, names: ['s1', 'nosuch', 's2'] }),
      () => cifs.cifs_contexts_sphere({ operation: 1, dn }),
      () => cifs.cifs_connections_sphere({ operation: 3, dn, connectionNumber: 1 }),
      () => cifs.cifs_shares_sphere({ operation: 2, dn }),
    ]) answers += shapeOf(await request()) + '\\n';
    console.log(JSON.stringify({ answers, setters: calls.setters }));
  })();
`;

const untouched = () => {};
const patchBuiltins = () => {
  const concat = Array.prototype.concat;
  Array.prototype.concat = function (...lists) { return concat.apply(this, lists).reverse(); };
  Map.prototype.get = () => ['PATCHED'];
  Map.prototype.set = function () { return this; };
  Object.defineProperty(Array, Symbol.species, { get: () => function Species() { return { patched: true }; } });
};
const pollutePrototypes = (calls) => {
  for (const [proto, key] of [[Object.prototype, 'shares'], [Object.prototype, 'userContexts'], [Array.prototype, 0]]) {
    Object.defineProperty(proto, key, { set() { calls.setters += `${String(key)} `; }, get: () => 'HIJACKED', configurable: true });
  }
};

const run = (arm, armFirst = true) => runChild(child(arm, armFirst), { libraryPath: sim.dir });

describe('answers in a process that patched built-ins or polluted prototypes', () => {
  const reference = run(untouched);

  it('answers what an untouched process answers, every key and element an own data property', () => {
    const { answers } = reference;
    assert.equal(answers.split('\n').length, 7);
    for (const text of ['s39', 'accessModes', 'successfulList', 'failedList', 'userContexts', 'securityEquivalence', 'errorID']) {
      assert.ok(answers.includes(`${text}:`) || answers.includes(`"${text}"`), `the requests reach ${text}`);
    }
    assert.ok(!answers.includes('ODD') && !answers.includes('OTHER'), 'no accessor, hidden property or odd prototype');
  });

  it('is not changed by concat, Map get and set or Array[Symbol.species] patched before the first request or after', () => {
    assert.deepEqual(run(patchBuiltins), reference);
    assert.deepEqual(run(patchBuiltins, false), reference);
  });

  it('runs no setter of Object.prototype or Array.prototype and loses no key or element to one', () => {
    assert.deepEqual(run(pollutePrototypes), reference);
  });
});
