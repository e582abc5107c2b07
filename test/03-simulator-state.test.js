'use strict';
// The simulator's state file: what one process changes the next one sees,
// processes working at once lose nothing, and a file it cannot read is
// neither used nor overwritten.
const { describe, it } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const { admin, withSimulator, startWithSimulator, newStateFile } = require('./support/sim-process');

// Texts that a line-based file must carry through: separators, escapes, non-ASCII.
const awkward = 'tab\there\nnew line \\x41 back\\slash é';

describe('simulator state file', () => {
  it('carries every part of the model from one process to the next', () => {
    const state = newStateFile();
    const written = withSimulator(state, `async (simulator) => {
      simulator.setVolumes(['DATA', ${JSON.stringify(awkward)}]);
      simulator.setShares([{ name: 'DATA', volumeName: 'DATA' }, { name: 'odd', volumeName: ${JSON.stringify(awkward)},
        relativePath: 'p', comment: ${JSON.stringify(awkward)}, type: 5, nameSpace: 0xffffffff, atmBackup: true }]);
      simulator.setOpenFiles([{ shareName: 'odd', name: 'a.txt', sessionID: 9, ID: 4294967295, accessMask: 3, lockLevel: 11,
        userName: ${JSON.stringify(awkward)} }]);
      simulator.setConnections([{ connectionNumber: 9, userName: 'u', totalBytesRead: 2n ** 64n - 1n, loginTime: 1,
        securityEquivalence: ['.a', ''], mappedShares: ['odd'] }]);
      simulator.setInvalidUsers([{ name: 'eve', state: 1, lastAuthAttemptTime: -5 }]);
      simulator.setContexts([${JSON.stringify(awkward)}, '']);
      simulator.setSupervisor('cn=guest', false);
      simulator.fail({ call: 'CIFSLIB_RemoveShare', status: 7, name: 'odd', times: 2 });
      simulator.delay(1);
      return read(simulator);
      function read(s) {
        return { volumes: s.volumes(), shares: s.shares(), openFiles: s.openFiles(), connections: s.connections(),
          invalidUsers: s.invalidUsers(), contexts: s.contexts(), identities: s.identity.entries(), failures: s.failures() };
      }
    }`);
    const reread = withSimulator(state, `async (s) => ({ volumes: s.volumes(), shares: s.shares(), openFiles: s.openFiles(),
      connections: s.connections(), invalidUsers: s.invalidUsers(), contexts: s.contexts(), identities: s.identity.entries(),
      failures: s.failures() })`);
    assert.deepEqual(reread, written);
    assert.equal(written.connections[0].totalBytesRead, String(2n ** 64n - 1n));
  });

  it('keeps the choices with the process that made them', () => {
    const state = newStateFile();
    withSimulator(state, `async (simulator) => simulator.setChoices({ shareRecords: 'inside', objectSlack: 0 })`);
    assert.deepEqual(withSimulator(state, 'async (simulator) => simulator.choices()'),
      { shareRecords: 'apart', connectionRecords: 'apart', objectSlack: 4096 });
  });

  it('loses no change when several processes change the server at once', async () => {
    const state = newStateFile();
    const writers = [0, 1, 2, 3].map((w) => startWithSimulator(state, `async (simulator, cifs) => {
      for (let i = 0; i < 15; ++i) {
        const answer = await cifs.cifs_contexts_sphere({ operation: 2, dn: 'cn=admin', userContexts: ['.w${w}.' + i] });
        if (answer.status !== 'success') throw new Error(JSON.stringify(answer));
      }
    }`));
    await Promise.all(writers);
    const contexts = withSimulator(state, 'async (simulator) => simulator.contexts()');
    for (let w = 0; w < 4; ++w) for (let i = 0; i < 15; ++i) assert.ok(contexts.includes(`.w${w}.${i}`), `.w${w}.${i}`);
    assert.equal(contexts.length, 3 + 60);
  });

  it('neither uses nor overwrites a file it cannot read, and says so', () => {
    const state = newStateFile();
    const broken = 'mgmt\tshare\tonly-a-name\n';
    fs.writeFileSync(state, broken);
    const created = admin(state, ['shares', 'create', 'x', '--volume', 'DATA', '--path', 'x']);
    assert.equal(created.status, 0);
    assert.match(created.stderr, /state file .*not readable/);
    const mgmtLines = fs.readFileSync(state, 'utf8').split('\n').filter((line) => line.startsWith('mgmt'));
    assert.deepEqual(mgmtLines, [broken.trimEnd()], 'the other library still keeps its own lines');
    assert.ok(!admin(state, ['shares', 'list']).json().shares.some((s) => s.name === 'x'));
  });
});
