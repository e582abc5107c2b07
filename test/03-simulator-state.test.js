'use strict';
// The simulator's state file: what one process changes the next one sees,
// processes working at once lose nothing, and a file it cannot read (or that
// is no state file) is neither used nor overwritten.
const { describe, it } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { spawn, spawnSync } = require('node:child_process');
const { admin, withSimulator, startWithSimulator, newStateFile, newStateDir, childEnv, adminPath } = require('./support/sim-process');

// The first line of every state file the simulator writes, which it reads
// as the mark of one.
const HEADER = '# cifs simulator state: one line per item, fields separated by tabs\n';
// Texts that a line-based file must carry through: separators, escapes, non-ASCII.
const awkward = 'tab\there\nnew line \\x41 back\\slash é';

describe('simulator state file', () => {
  it('carries every part of the model from one process to the next', () => {
    const state = newStateFile();
    const read = `async (s) => ({ volumes: s.volumes(), shares: s.shares(), openFiles: s.openFiles(), connections: s.connections(),
      invalidUsers: s.invalidUsers(), contexts: s.contexts(), identities: s.identity.entries(), failures: s.failures() })`;
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
      return (${read})(simulator);
    }`);
    const reread = withSimulator(state, read);
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
        const answer = await cifs.cifs_contexts_sphere({ operation: 2, dn: 'cn=admin,o=example', userContexts: ['.w${w}.' + i] });
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
    fs.writeFileSync(state, HEADER + broken);
    const created = admin(state, ['shares', 'create', 'x', '--volume', 'DATA', '--path', 'x']);
    assert.equal(created.status, 0);
    assert.match(created.stderr, /state file .*not readable/);
    const mgmtLines = fs.readFileSync(state, 'utf8').split('\n').filter((line) => line.startsWith('mgmt'));
    assert.deepEqual(mgmtLines, [broken.trimEnd()], 'the other library still keeps its own lines');
    assert.ok(!admin(state, ['shares', 'list']).json().shares.some((s) => s.name === 'x'));
  });
});

// What others can do to a state file in a shared folder such as /tmp. The
// children run with a guard far beyond any bound they are given, so that a
// simulator that waits for ever fails here instead of hanging the suite.
describe('simulator state file under attack', () => {
  const run = (state, args, { env, shell } = {}) => {
    const argv = [adminPath, ...args];
    const child = shell
      ? spawnSync('/bin/sh', ['-c', `${shell} && exec "$@"`, 'sh', process.execPath, ...argv], { env: childEnv(state, env), encoding: 'utf8', timeout: 120000 })
      : spawnSync(process.execPath, argv, { env: childEnv(state, env), encoding: 'utf8', timeout: 120000 });
    assert.equal(child.signal, null, `${args.join(' ')} did not finish: ${child.stderr}`);
    return child;
  };
  const contexts = (state) => JSON.parse(run(state, ['contexts', 'list']).stdout).userContexts;

  it('follows no symbolic link planted where it writes its temporary file or its lock', () => {
    const dir = newStateDir();
    const state = path.join(dir, 'server.state');
    const victim = path.join(dir, 'victim');
    fs.writeFileSync(victim, 'precious\n');
    // The shell's pid is the pid of the node it becomes, so the link sits at
    // the temporary name a predictable scheme would pick.
    const added = run(state, ['contexts', 'add', '.mine'], { shell: `ln -s ${JSON.stringify(victim)} "${state}.tmp.$$"` });
    assert.equal(added.status, 0, added.stderr);
    assert.equal(fs.readFileSync(victim, 'utf8'), 'precious\n');
    assert.ok(fs.lstatSync(state).isFile());
    assert.ok(contexts(state).includes('.mine'));

    const elsewhere = path.join(dir, 'created-elsewhere');
    fs.rmSync(`${state}.lock`);
    fs.symlinkSync(elsewhere, `${state}.lock`);
    const refused = run(state, ['contexts', 'add', '.other']);
    assert.equal(refused.status, 0, refused.stderr);
    assert.match(refused.stderr, /lock file .*server\.state\.lock: it is a symbolic link, which is not followed/);
    assert.ok(!fs.existsSync(elsewhere));
    assert.ok(!fs.readFileSync(state, 'utf8').includes('.other'));
  });

  it('waits a bounded time for a lock another process holds, names it, and answers without the file', async () => {
    const state = newStateFile();
    run(state, ['contexts', 'add', '.saved']);
    const holder = spawn('flock', [`${state}.lock`, '-c', 'echo held; read line'], { stdio: ['pipe', 'pipe', 'inherit'] });
    await new Promise((resolve) => holder.stdout.once('data', resolve));
    try {
      const blocked = run(state, ['contexts', 'list'], { env: { CIFS_SIM_LOCK_WAIT_MS: '200' } });
      assert.equal(blocked.status, 0, blocked.stderr);
      assert.match(blocked.stderr, new RegExp(`lock .*server\\.state\\.lock is held by process ${holder.pid} \\(flock\\) and ` +
        'was not free within 200 ms \\(CIFS_SIM_LOCK_WAIT_MS\\); this call answers from this process\'s copy of the server'));
      assert.ok(!JSON.parse(blocked.stdout).userContexts.includes('.saved'), 'the file was not read');
    } finally {
      holder.stdin.end();
      await new Promise((resolve) => holder.once('exit', resolve));
    }
    assert.ok(contexts(state).includes('.saved'));
  });

  it('uses no section that holds a value its controls would refuse, and says so', () => {
    const refused = [
      ['mgmt', 'mgmt\tdelay\t4294967295\n'],
      ['mgmt', 'mgmt\tdelay\t60001\n'],
      ['mgmt', 'mgmt\tvolume\tDATA\nmgmt\tvolume\tdata\n'],
      ['mgmt', 'mgmt\tfailure\tCIFSLIB_FormatDisk\t5\t\t1\t0\n'],
      ['identity', 'identity\tdn\tcn=admin,o=example\t1\t2\t0\t0\t0\t0\t0\n'],
    ];
    for (const [section, lines] of refused) {
      const state = newStateFile();
      fs.writeFileSync(state, `${HEADER}${lines}mgmt\tcontext\t.planted\n`);
      const listed = run(state, ['contexts', 'list']);
      assert.equal(listed.status, 0, listed.stderr);
      assert.match(listed.stderr, new RegExp(`\\(${section}\\): .*hold values the simulator's controls refuse`), lines);
      if (section === 'mgmt') assert.ok(!JSON.parse(listed.stdout).userContexts.includes('.planted'), lines);
    }
  });

  it('reads no file that is no state file or is too large, and never rewrites it', () => {
    const dir = newStateDir();
    const foreign = path.join(dir, 'notes.txt');
    fs.writeFileSync(foreign, 'my notes\n', { mode: 0o644 });
    const large = path.join(dir, 'large.state');
    fs.writeFileSync(large, HEADER);
    fs.truncateSync(large, 64 * 2 ** 20 + 1);
    for (const [state, reason] of [[foreign, /does not start with the state file's first line/], [large, /larger than the 67108864 bytes/]]) {
      const before = fs.statSync(state);
      assert.match(run(state, ['contexts', 'list']).stderr, reason);
      const after = fs.statSync(state);
      assert.deepEqual([after.ino, after.mode, after.size, after.mtimeMs], [before.ino, before.mode, before.size, before.mtimeMs]);
    }
    assert.equal(fs.readFileSync(foreign, 'utf8'), 'my notes\n');
  });

  it('keeps its lock file to its own user: mode 0600, and another user\'s refused', () => {
    const state = newStateFile();
    fs.writeFileSync(`${state}.lock`, '', { mode: 0o644 });
    run(state, ['contexts', 'add', '.mine']);
    assert.equal(fs.statSync(`${state}.lock`).mode & 0o777, 0o600);
    if (process.getuid() !== 0) return;  // only root can give the lock file away
    fs.chownSync(`${state}.lock`, 65534, 65534);
    const refused = run(state, ['contexts', 'add', '.other']);
    assert.match(refused.stderr, /lock file .*server\.state\.lock belongs to user 65534/);
    assert.ok(!fs.readFileSync(state, 'utf8').includes('.other'));
  });

  it('uses no state file in a folder everyone may write to, unless its sticky bit is set', () => {
    for (const [mode, used] of [[0o777, false], [0o1777, true]]) {
      const dir = newStateDir();
      fs.chmodSync(dir, mode);
      const state = path.join(dir, 'server.state');
      const added = run(state, ['contexts', 'add', '.mine']);
      assert.equal(added.status, 0, added.stderr);
      assert.equal(fs.existsSync(state), used, mode.toString(8));
      if (!used) assert.match(added.stderr, /folder .* is writable by everyone and has no sticky bit.*the state file is not used/);
    }
  });
});
