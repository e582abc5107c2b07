'use strict';
// Hundreds of requests of every operation in flight at once, each naming
// things of its own (a share, a context, a user, a connection), while the
// simulated library sleeps in every call and fails the names of every fifth
// request and the identity library refuses every seventh caller. Every promise
// must resolve with the answer to its own request, and the model must end as
// the successful requests left it.
const { describe, it, beforeEach, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const sim = require('./support/sim');
const { withSimulator, newStateFile, childEnv } = require('./support/sim-process');
const { addonPath } = require('./support/addon');
const { dn, spheres, operations, request } = require('./support/operations');
const { checkEnvelope } = require('./support/envelope');

const PER_OPERATION = 20;
const FAILED = 77;
const guest = 'cn=guest,o=example';
const refused = (i) => i % 7 === 3;
const failing = (i) => i % 5 === 0;

beforeEach(() => sim.reset());
afterEach(() => sim.mgmt.delay(0));

// Connection n: type "T<n>", user "u<n>", one open file, the share "s<n>" mapped.
const connectionNumber = (i) => 100 + i;
function seedModel(serials) {
  sim.mgmt.setShares([...sim.mgmt.shares(), ...serials.flatMap((i) => [`gone${i}`, `s${i}`]).map((name) => ({
    name, volumeName: 'DATA', relativePath: name,
  }))]);
  sim.mgmt.setContexts([...sim.mgmt.contexts(), ...serials.map((i) => `.r${i}.example`)]);
  sim.mgmt.setOpenFiles(serials.flatMap((i) => [
    { shareName: 'DATA', name: `closed${i}.txt`, sessionID: 1 },
    { shareName: `s${i}`, name: `held${i}.txt`, sessionID: connectionNumber(i) },
  ]));
  sim.mgmt.setConnections(serials.map((i) => ({
    connectionNumber: connectionNumber(i), connectionType: `T${i}`, userName: `u${i}`, mappedShares: [`s${i}`],
  })));
  sim.mgmt.setInvalidUsers(serials.map((i) => ({ name: `nobody${i}` })));
}

// Per operation: the request's fields for serial i, the name a failure is
// injected for, and the answer keys only request i can have.
const own = {
  AddCIFSUserContext: { failName: (i) => `.d${i}.example` },
  RemoveCIFSUserContexts: { failName: (i) => `.r${i}.example` },
  CreateCIFSShare: { failName: (i) => `new${i}` },
  RemoveCIFSShare: { failName: (i) => `gone${i}` },
  CloseOpenFile: { failName: (i) => `/DATA/closed${i}.txt` },
  ChangeCIFSShareFeatureConfiguration: { fields: (i) => ({ atmBackup: 'enabled', names: [`s${i}`] }), failName: (i) => `s${i}` },
  FetchCIFSConnectionsList: {
    fields: (i) => ({ ignoreCount: 0, returnCount: 0xffff, advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'connectionType', patterns: [`T${i}`] }] } }),
    mine: (answer, i) => assert.deepEqual(answer.connections.map((c) => c.userName), [`u${i}`]),
  },
  FetchCIFSConnectionDetails: {
    fields: (i) => ({ connectionNumber: connectionNumber(i) }), failName: (i) => String(connectionNumber(i)),
    mine: (answer, i) => assert.equal(answer.connection.userName, `u${i}`),
  },
  FetchCIFSConnectionMappedShares: {
    fields: (i) => ({ connectionNumber: connectionNumber(i) }), failName: (i) => String(connectionNumber(i)),
    mine: (answer, i) => assert.deepEqual(answer.shares.map((s) => s.name), [`s${i}`]),
  },
  FetchCIFSConnectionOpenFiles: {
    fields: (i) => ({ connection: connectionNumber(i), ignoreCount: 0, returnCount: 10 }),
    mine: (answer, i) => assert.deepEqual(answer.openFiles.files.map((f) => f.name), [`held${i}.txt`]),
  },
  AddPermanentInvalidUser: { failName: (i) => `intruder${i}` },
  AddBlockedUser: { failName: (i) => `blocked${i}` },
  MakePermanentInvalidUser: { failName: (i) => `nobody${i}` },
  RemoveInvalidUser: { failName: (i) => `nobody${i}` },
  MakeBlockedUser: { failName: (i) => `nobody${i}` },
  UnblockUser: { failName: (i) => `nobody${i}` },
};

describe('every operation under load', () => {
  it('resolves each of hundreds of overlapping requests once, with its own answer', { timeout: 240000 }, async () => {
    // Serials are spread over the operations so that each has its own names.
    const plan = operations.flatMap((op, o) => Array.from({ length: PER_OPERATION }, (_, k) => ({ op, i: o * PER_OPERATION + k })));
    const namedOps = new Set(['MakePermanentInvalidUser', 'RemoveInvalidUser', 'MakeBlockedUser', 'UnblockUser']);
    seedModel(plan.map(({ i }) => i));
    sim.identity.set({ dn: guest, supervisor: false });
    for (const { op, i } of plan) {
      const failName = own[op.name]?.failName;
      if (failing(i) && !refused(i) && failName) sim.mgmt.fail({ call: op.calls[0], status: FAILED, name: failName(i), times: 1 });
    }
    sim.mgmt.delay(1);

    let settled = 0;
    const inFlight = plan.map(({ op, i }) => {
      const base = request(op, i);
      const fields = own[op.name]?.fields?.(i) ?? {};
      const promise = spheres[op.sphere]({ ...base, ...fields, dn: refused(i) ? guest : dn });
      assert.ok(promise instanceof Promise);
      return promise.then((answer) => { settled += 1; return { op, i, answer }; });
    });
    const answers = await Promise.all(inFlight);
    assert.equal(settled, plan.length);

    const outcomes = new Map();
    for (const { op, i, answer } of answers) {
      checkEnvelope(answer, { op, operation: op.name });
      const ownRule = own[op.name] ?? {};
      if (refused(i)) {
        assert.equal(answer.status, 'failure', `${op.name} ${i} refused`);
        assert.equal((answer.error ?? answer.failedList?.[0]).errorCode, 40031);
        continue;
      }
      const injected = failing(i) && ownRule.failName;
      if (op.batch && injected) {
        assert.deepEqual(answer.failedList, [{ errorCode: FAILED, name: ownRule.failName(i) }], `${op.name} ${i}`);
      } else if (injected) {
        assert.equal(answer.error?.errorCode, FAILED, `${op.name} ${i}`);
      } else {
        assert.equal(answer.status, 'success', `${op.name} ${i}: ${JSON.stringify(answer.error)}`);
        ownRule.mine?.(answer, i);
      }
      outcomes.set(`${op.name}:${i}`, answer.status === 'success');
    }

    // The model holds what the successful requests made and nothing of the failed ones.
    const succeeded = (name) => plan.filter(({ op, i }) => op.name === name && outcomes.get(`${name}:${i}`)).map(({ i }) => i);
    const tried = (name) => plan.filter(({ op, i }) => op.name === name && !refused(i)).map(({ i }) => i);
    const shareNames = new Set(sim.mgmt.shares().map((s) => s.name));
    for (const i of tried('CreateCIFSShare')) assert.equal(shareNames.has(`new${i}`), succeeded('CreateCIFSShare').includes(i));
    for (const i of tried('RemoveCIFSShare')) assert.equal(shareNames.has(`gone${i}`), !succeeded('RemoveCIFSShare').includes(i));
    const contexts = new Set(sim.mgmt.contexts());
    for (const i of tried('AddCIFSUserContext')) {
      assert.ok(contexts.has(`.c${i}.example`));
      assert.equal(contexts.has(`.d${i}.example`), !failing(i));
    }
    for (const i of tried('RemoveCIFSUserContexts')) assert.equal(contexts.has(`.r${i}.example`), failing(i));
    const paths = new Set(sim.mgmt.openFiles().map((f) => f.fullPath));
    for (const i of tried('CloseOpenFile')) assert.equal(paths.has(`/DATA/closed${i}.txt`), failing(i));
    const users = new Map(sim.mgmt.invalidUsers().map((u) => [u.name, u.state]));
    for (const name of ['AddPermanentInvalidUser', 'AddBlockedUser']) {
      const prefix = name === 'AddBlockedUser' ? 'blocked' : 'intruder';
      for (const i of tried(name)) assert.equal(users.has(`${prefix}${i}`), succeeded(name).includes(i));
    }
    for (const name of namedOps) {
      for (const i of tried(name)) {
        const changed = succeeded(name).includes(i);
        const removes = name === 'RemoveInvalidUser' || name === 'UnblockUser';
        assert.equal(users.get(`nobody${i}`), changed ? (removes ? undefined : 1) : 2, `${name} ${i}`);
      }
    }
    assert.deepEqual(sim.mgmt.failures(), [], 'every injected failure was taken');
    sim.noSharedMemoryLeft();
  });
});

describe('process.exit with requests in flight', () => {
  // 20 open files listings fill the pool (each call sleeps); 20 invalid users
  // listings (counted by a failure rule) and 20 context adds wait behind them.
  it('starts no library call after it and leaves no shared memory object behind', () => {
    const state = newStateFile();
    withSimulator(state, `async (simulator) => {
      simulator.setOpenFiles([{ shareName: 'DATA', name: 'a.txt' }]);
      simulator.fail({ call: 'CIFSLIB_ListInvalidUsers', status: 5, times: 1000 });
      simulator.delay(300);
    }`);
    const source = `const cifs = require(${JSON.stringify(addonPath)});
      const dn = '${dn}';
      for (let i = 0; i < 20; i += 1) cifs.cifs_shares_sphere({ operation: 6, dn, volumeName: 'DATA', ignoreCount: 0, returnCount: 10 });
      for (let i = 0; i < 20; i += 1) cifs.cifs_connections_sphere({ operation: 6, dn });
      for (let i = 0; i < 20; i += 1) cifs.cifs_contexts_sphere({ operation: 2, dn, userContexts: ['.late' + i] });
      console.log(process.pid);
      process.exit(0);`;
    // process.exit leaves Node's own heap unreleased, which LeakSanitizer would report.
    const env = childEnv(state, { ASAN_OPTIONS: `${process.env.ASAN_OPTIONS ?? ''}:detect_leaks=0` });
    const child = spawnSync(process.execPath, ['-e', source], { env, encoding: 'utf8' });
    assert.equal(child.status, 0, child.stderr);
    assert.deepEqual(fs.readdirSync('/dev/shm').filter((name) => name.startsWith(`cifssim.${child.stdout.trim()}.`)), []);
    const after = withSimulator(state, 'async (simulator) => [simulator.contexts(), simulator.failures()[0].times]');
    assert.deepEqual(after, [sim.mgmt.contexts(), 1000], 'no context added, no invalid users listed after exit');
  });
});
