'use strict';
// How answers are made: no patched built-in and no polluted prototype can
// change them (each child process arms its own globals, makes the same
// requests as an untouched one and reports every answer as its own
// properties show it), and the short texts every answer shares never mix.
const { describe, it } = require('node:test');
const assert = require('node:assert/strict');
const { addonPath, cifs } = require('./support/addon');
const sim = require('./support/sim');
const { runChild } = require('./support/sim-process');
const { dn } = require('./support/operations');

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
    const disarm = (${arm})(calls);
    let answers = '';
    for (const request of [
      () => cifs.cifs_shares_sphere({ operation: 1, dn }),
      () => cifs.cifs_shares_sphere({ operation: 6, dn, volumeName: 'DATA', ignoreCount: 0, returnCount: 40 }),
      () => cifs.cifs_shares_sphere({ operation: 5, dn, names: ['s1', 'nosuch', 's2'] }),
      () => cifs.cifs_contexts_sphere({ operation: 1, dn }),
      () => cifs.cifs_connections_sphere({ operation: 3, dn, connectionNumber: 1 }),
      () => cifs.cifs_shares_sphere({ operation: 2, dn }),
    ]) answers += shapeOf(await request()) + '\\n';
    if (disarm) disarm(); // what prints the report is the process's own code
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
// Each arm is sent to its child as source text: no closure over this file.
const pollutePrototypes = (calls) => {
  for (const [proto, key] of [[Object.prototype, 'shares'], [Object.prototype, 'userContexts'], [Array.prototype, 0]]) {
    Object.defineProperty(proto, key, { set() { calls.setters += `${String(key)} `; }, get: () => 'HIJACKED', configurable: true });
  }
};
// Indexes every array reaches through Object.prototype alone: one that short
// answers hold, one that only the listings of 40 reach.
const polluteObjectIndexes = (calls) => {
  for (const key of [1, 35]) {
    Object.defineProperty(Object.prototype, key, { set() { calls.setters += `${key} `; }, get: () => 'HIJACKED', configurable: true });
  }
  return () => { delete Object.prototype[1]; delete Object.prototype[35]; };
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
    assert.deepEqual(run(polluteObjectIndexes), reference);
    assert.deepEqual(run(polluteObjectIndexes, false), reference);
  });
});

describe('short texts that answers share', () => {
  it('answers every list as it is while lists recur in other orders and new texts wrap the table', async () => {
    sim.reset();
    sim.mgmt.setShares([{ name: 's0', volumeName: 'DATA', relativePath: 'p' }]);
    // Each round half recurs (a permutation of a pool, its order shifting)
    // and half is new: 14 rounds pass the 262,144 texts the table holds.
    const mixed = (round, count, pool, fresh) => Array.from({ length: count }, (_, i) =>
      (i % 2 ? fresh(i) : `r${(i * 13 + round * 101) % pool}`));
    for (let round = 0; round < 14; round += 1) {
      const contexts = mixed(round, 40000, 20011, (i) => `.n${round}-${i}`);
      sim.mgmt.setContexts(contexts);
      assert.deepEqual((await cifs.cifs_contexts_sphere({ operation: 1, dn })).userContexts, contexts);
      // Open files are made in runs of records, each run from the slots handed out for it.
      const names = mixed(round, 3000, 3001, (i) => `f${round}-${i}`);
      const users = names.map((name, i) => names[(i + 7) % 3000].toUpperCase());
      sim.mgmt.setOpenFiles(names.map((name, i) => ({
        shareName: 's0', name, fullPath: `/${name}`, userName: users[i], clientIPAddress: `10.${round}.${i >> 8}.${i & 255}`, sessionID: 1, ID: i,
      })));
      const { openFiles } = await cifs.cifs_shares_sphere({ operation: 6, dn, volumeName: 'DATA', ignoreCount: 0, returnCount: 3000 });
      assert.deepEqual(openFiles.files.map((f) => [f.name, f.userName, f.clientIPAddress]),
        names.map((name, i) => [name, users[i], `10.${round}.${i >> 8}.${i & 255}`]), `round ${round}`);
    }
  });
});
