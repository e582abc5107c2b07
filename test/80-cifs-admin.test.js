'use strict';
// cifs-admin as a user runs it: one child process per command, all of them
// sharing one simulated server through a state file. The request each
// command line sends is the cifs-admin requests suite's.
const { describe, it } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const sim = require('./support/sim');
const { admin, withSimulator, newStateFile, newStateDir, childEnv, adminPath, root } = require('./support/sim-process');
const { addonPath } = require('./support/addon');
const { run } = require('../lib/cli/main');
const { commands } = require('../lib/cli/commands');

// Runs cifs-admin in this process, for what loads no module (help, usage errors).
async function inProcess(args) {
  let stdout = '';
  let stderr = '';
  const stream = (append) => ({ write: (text) => { append(text); return true; } });
  const status = await run(args, { env: {}, out: stream((t) => { stdout += t; }), err: stream((t) => { stderr += t; }) })
    .catch((error) => ({ error }));
  return { status, stdout, stderr };
}

describe('one server across runs', () => {
  it('lists in one run the share created in another, then changes and removes it', () => {
    const state = newStateFile();
    assert.equal(admin(state, ['shares', 'create', 'reports', '--volume', 'DATA', '--path', 'monthly', '--comment', 'Reports',
      '--encryption', 'on']).status, 0);
    const listed = admin(state, ['shares', 'list']).json().shares.find((s) => s.name === 'reports');
    assert.deepEqual([listed.absolutePath, listed.comment, listed.encryption, listed.atmBackup],
      ['/DATA/monthly', 'Reports', 'enabled', 'disabled']);

    assert.equal(admin(state, ['shares', 'enable', 'atm-backup', 'reports']).status, 0);
    const removed = admin(state, ['shares', 'remove', 'reports', 'nowhere']);
    assert.equal(removed.status, 0, 'a batch with one success succeeds');
    assert.deepEqual(removed.json().failedList, [{ errorCode: sim.status.NO_SUCH_SHARE, name: 'nowhere' }]);
    const again = admin(state, ['shares', 'remove', 'reports']);
    assert.equal(again.status, 1, 'every name failed: the answer is a failure');
    assert.equal(again.json().status, 'failure');
  });

  it('pages through open files with the cookie an earlier run got', () => {
    const state = newStateFile();
    const first = admin(state, ['files', 'list', '--volume', 'DATA', '--return', '2']).json().openFiles;
    const next = admin(state, ['files', 'list', '--volume', 'DATA', '--return', '2', '--cookie', first.cookie]).json().openFiles;
    assert.equal(next.count, 2);
    const seen = [...first.files, ...next.files].map((f) => f.ID);
    assert.equal(new Set(seen).size, 4, 'the second page starts after the first');
  });

  it('applies a caller and failure rules that a setup script stored, the counted rule only once', () => {
    const state = newStateFile();
    withSimulator(state, `async (simulator) => {
      simulator.setSupervisor('cn=guest,o=example', false);
      simulator.fail({ call: 'CIFSLIB_ListUserContexts', status: 5, times: 1 });
    }`);
    const guest = admin(state, ['contexts', 'list', '--dn', 'cn=guest,o=example']);
    assert.equal(guest.status, 1);
    assert.equal(guest.json().error.errorCode, 40031);
    assert.equal(admin(state, ['contexts', 'list']).json().error.errorCode, 5);
    assert.equal(admin(state, ['contexts', 'list']).status, 0);
  });

  it('prints a batch as a table of one row per name', () => {
    const state = newStateFile();
    const added = admin(state, ['contexts', 'add', '.sales.example', '.users.org', '--table']).stdout.split('\n');
    assert.deepEqual(added.slice(0, 3).map((l) => l.split(/\s{2,}/)),
      [['name', 'result'], ['.sales.example', 'done'], ['.users.org', `failed (${sim.status.CONTEXT_EXISTS})`]]);
  });

  it('changes a share by what it is given, keeping the rest of its configuration', () => {
    const state = newStateFile();
    const data = () => admin(state, ['shares', 'list']).json().shares.find((s) => s.name === 'DATA');
    const before = data();
    assert.equal(admin(state, ['shares', 'change', 'DATA', '--comment', 'New', '--folder-redirection', 'on']).status, 0);
    assert.deepEqual(data(), { ...before, comment: 'New', folderRedirection: 'enabled' });
    const missing = admin(state, ['shares', 'change', 'nosuch', '--comment', 'x']);
    assert.deepEqual([missing.status, missing.stdout], [1, '']);
    assert.match(missing.stderr, /no share named "nosuch" is listed/);
  });

  it('follows every page with --all, and examines every connection in one request', () => {
    const state = newStateFile();
    const all = admin(state, ['files', 'list', '--volume', 'DATA', '--return', '0']).json().openFiles.files;
    const paged = admin(state, ['files', 'list', '--volume', 'DATA', '--all', '--return', '5']).json();
    assert.deepEqual(paged.openFiles, { count: all.length, cookie: '', files: all });
    const users = admin(state, ['users', 'list', '--all', '--return', '2', '--table']).stdout.trimEnd().split('\n');
    assert.deepEqual([users.length, users.at(-1)], [sim.mgmt.invalidUsers().length + 2, 'count: 5  cookie: (last page)']);
    const idle = admin(state, ['connections', 'list', '--all', '--filter', 'status=Idle']).json().connections;
    assert.deepEqual(idle.map((c) => c.connectionNumber), [7, 12]);
  });
});

describe('server texts on the terminal', () => {
  // Names an unauthenticated client chooses by failing to log on: rows forged
  // with CR/LF, cursor moves, a window title, hidden text, C1 controls, line
  // separators, a backslash that would pass for an escape, a name shown
  // backwards by a bidirectional control, and spaces that pass for columns.
  const names = [
    'eve\r\nroot              Blocked',
    '\x1b[1A\x1b[2Kmallory',
    '\x1b]0;owned\x07\x1b[8mhidden',
    '\u009b2J\u009d0;t\u009c',
    'line\u2028sep\u2029end',
    'back\\x1b\x7f',
    'alice\u202e1gpj.exe\u200b\u00ad',
    ' root  Blocked\u00a0',
  ];
  const state = newStateFile();
  withSimulator(state, `async (simulator) => simulator.setInvalidUsers(${JSON.stringify(names)}.map((name, i) =>
    ({ name, state: i === 1 ? 1 : 2, clientIPAddress: '10.0.0.9', lastAuthAttemptTime: 1 })))`);

  it('are escaped in a table (format characters too), quoted where spaces could pass for columns, in columns as wide as what is shown', () => {
    const listed = admin(state, ['users', 'list', '--return', '0', '--table']);
    assert.equal(listed.status, 0, listed.stderr);
    assert.equal(listed.stdout, [
      'name                                type     clientIPAddress  lastAuthAttemptTime',
      '"eve\\r\\nroot              Blocked"  Invalid  10.0.0.9         1970-01-01T00:00:01Z',
      '\\x1b[1A\\x1b[2Kmallory               Blocked  10.0.0.9         1970-01-01T00:00:01Z',
      '\\x1b]0;owned\\x07\\x1b[8mhidden       Invalid  10.0.0.9         1970-01-01T00:00:01Z',
      '\\x9b2J\\x9d0;t\\x9c                   Invalid  10.0.0.9         1970-01-01T00:00:01Z',
      'line\\u2028sep\\u2029end              Invalid  10.0.0.9         1970-01-01T00:00:01Z',
      'back\\\\x1b\\x7f                       Invalid  10.0.0.9         1970-01-01T00:00:01Z',
      'alice\\u202e1gpj.exe\\u200b\\xad       Invalid  10.0.0.9         1970-01-01T00:00:01Z',
      '" root  Blocked\\u00a0"              Invalid  10.0.0.9         1970-01-01T00:00:01Z',
      'count: 8  cookie: (last page)',
      '',
    ].join('\n'));
  });

  it('are JSON escapes in JSON, which parses back to the exact names', () => {
    const listed = admin(state, ['users', 'list', '--return', '0']);
    assert.equal(listed.status, 0, listed.stderr);
    assert.doesNotMatch(listed.stdout, /[\x00-\x09\x0b-\x1f\x7f-\x9f\u2028\u2029]/);
    for (const escaped of ['"eve\\r\\nroot              Blocked"', '"\\u001b[1A\\u001b[2Kmallory"', '"\\u009b2J\\u009d0;t\\u009c"',
      '"line\\u2028sep\\u2029end"', '"back\\\\x1b\\u007f"', '"alice\\u202e1gpj.exe\\u200b\\u00ad"']) {
      assert.ok(listed.stdout.includes(`"name": ${escaped}`), escaped);
    }
    assert.deepEqual(listed.json().invalidUsers.users.map((u) => u.name), names);
  });
});

// A stream as cifs-admin writes to it, on a terminal or not.
const stream = (isTTY) => {
  const s = { isTTY, text: '', write: (t) => { s.text += t; return true; } };
  return s;
};

describe('command line', () => {
  it('prints a table on a terminal, coloured unless NO_COLOR says not, and JSON elsewhere or when asked', async () => {
    const print = async (isTTY, env, args = []) => {
      const out = stream(isTTY);
      assert.equal(await run(['contexts', 'list', ...args], { env: { CIFS_DN: 'cn=admin,o=example', ...env }, out, err: stream(false) }), 0);
      return out.text;
    };
    assert.equal(await print(true, {}), '\x1b[1muserContext\x1b[0m\n.users.org\n.staff.users.org\n.admins.org\n');
    for (const text of [await print(true, { NO_COLOR: '1' }), await print(false, {}, ['--table'])]) {
      assert.equal(text, 'userContext\n.users.org\n.staff.users.org\n.admins.org\n');
    }
    for (const text of [await print(false, {}), await print(true, {}, ['--json'])]) assert.equal(JSON.parse(text).userContexts.length, 3);
  });

  it('tells its version, and completes commands, options and their values in bash and zsh', () => {
    const version = admin(undefined, ['--version']);
    assert.deepEqual([version.status, version.stdout], [0, `cifs-admin ${require('../package.json').version}\n`]);
    const cases = [['shares c', 'create change'], ['files list --vo', '--volume'], ['users list --match a', 'all any'],
      ['shares enable f', 'folder-redirection'], ['log-level w', 'warn'], ['completion ', 'bash zsh']];
    const shells = {
      bash: 't(){ COMP_WORDS=(cifs-admin $1 "$2"); COMP_CWORD=$((${#COMP_WORDS[@]}-1)); _cifs_admin; echo "${COMPREPLY[*]}"; }',
      // zsh's completion system needs a terminal; its builtins are stood in for.
      zsh: 'compdef(){}; compadd(){ shift; local w; for w in "$@"; do [[ $w == $PREFIX* ]] && r+=($w); done; }\n' +
        't(){ r=(); words=(cifs-admin ${=1} "$2"); CURRENT=$#words; PREFIX=$2; _cifs_admin; echo "${r[*]}"; }',
    };
    for (const [shell, define] of Object.entries(shells)) {
      const script = admin(undefined, ['completion', shell]).stdout;
      const calls = cases.map(([line]) => { const words = line.split(' '); return `t '${words.slice(0, -1).join(' ')}' '${words.at(-1)}'`; });
      const ran = spawnSync(shell, ['-c', `${define}\n${script}\n${calls.join('\n')}`], { encoding: 'utf8' });
      if (ran.error && ran.error.code === 'ENOENT') continue;  // a machine without that shell
      assert.deepEqual([ran.status, ran.stderr], [0, ''], shell);
      assert.deepEqual(ran.stdout.trimEnd().split('\n'), cases.map(([, expected]) => expected), shell);
    }
  });

  it('refuses what cannot make a request with status 2 and a reason', async () => {
    const cases = [
      [['shares', 'list'], /CIFS_DN/],
      [['files', 'list', '--dn', 'x'], /--volume is required/],
      [['files', 'list', '--dn', 'x', '--volume', 'V', '--ignore', 'ten'], /--ignore must be a whole number/],
      [['connections', 'list', '--dn', 'x', '--filter', 'status'], /KEY=PATTERN/],
      [['connections', 'list', '--dn', 'x', '--match', 'most'], /--match takes all, any or none/],
      [['users', 'list', '--dn', 'x', '--filter', 'status=Idle'], /no filter key 'status' here; the keys are type, search-name/],
      [['connections', 'list', '--dn', 'x', '--filter', 'loginTime=yesterday', '--filter', 'loginTime=0'], /\(loginTime\) must be a whole number of seconds/],
      [['files', 'list', '--dn', 'x', '--volume', 'V', '--cookie', 'c'.repeat(32)], /'cookie' must be at most 31 bytes/],
      [['shares', 'list', '--dn', 'x', '--volume', 'V'], /takes no --volume/],
      [['shares', 'remove', '--dn', 'x'], /usage: cifs-admin shares remove NAME\.\.\./],
      [['shares', 'enable', 'speed', 'DATA', '--dn', 'x'], /unknown feature 'speed'/],
      [['shares', 'enable', 'hasOwnProperty', 'DATA', '--dn', 'x'], /unknown feature 'hasOwnProperty'/],
      [['shares', 'create', 'n', '--dn', 'x', '--volume', 'V', '--path', 'p', '--encryption', 'constructor'], /enabled or disabled/],
      [['shares', 'change', 'n', '--dn', 'x', '--atm-backup', '__proto__'], /enabled or disabled/],
      [['shares', 'create', 'n', '--dn', 'x', '--volume', 'V', '--path', 'p', '--encryption', 'maybe'], /enabled or disabled/],
      [['volumes', 'list'], /unknown command 'volumes'/],
      [['log-level', 'verbose'], /debug, info, warn, error/],
      [['contexts', 'list', '--dn', 'x', '--json', '--table'], /--json and --table exclude each other/],
      [['files', 'list', '--dn', 'x', '--volume', 'V', '--all', '--cookie', 'k'], /--all takes no --cookie/],
      [['connections', 'list', '--dn', 'x', '--all', '--return', '5'], /--all takes no --return/],
      [['shares', 'list', '--dn', 'x', '--all'], /takes no --all/],
      [['connections', 'show', '65536', '--dn', 'x'], /from 0 to 65535, not '65536'/],
      [['shares', 'change', 'n', '--dn', 'x', '--encryption', 'maybe'], /enabled or disabled/],
      [['completion', 'fish'], /completion bash\|zsh/],
      [['shares', 'list', '--bogus'], /Unknown option '--bogus'/],
    ];
    for (const [args, reason] of cases) {
      const child = spawnSync(process.execPath, [adminPath, ...args], { env: childEnv(undefined, { CIFS_DN: undefined }), encoding: 'utf8' });
      assert.equal(child.status, 2, args.join(' '));
      assert.match(child.stderr, reason, args.join(' '));
    }
  });

  it('gives every command its help, with the warning that the dn is not authenticated', async () => {
    for (const c of commands) {
      const { status, stdout } = await inProcess([...c.words, '--help']);
      assert.equal(status, 0, c.words.join(' '));
      assert.match(stdout, new RegExp(`Usage: cifs-admin ${c.words.join(' ')}`));
      assert.match(stdout, /does not authenticate/);
    }
    const general = (await inProcess(['--help'])).stdout;
    for (const c of commands) assert.ok(general.includes(c.words.join(' ')), c.words.join(' '));
    assert.match(general, /does not authenticate/);
  });

  it('mirrors the module\'s syslog lines to stderr under cifs-sim-run and simulator.env(), from any build folder', () => {
    const state = newStateFile();
    const built = path.dirname(addonPath);
    // The same build seen through folders whose names the loader's lists split.
    const through = (name) => {
      const dir = path.join(newStateDir(), name);
      fs.mkdirSync(dir);
      for (const entry of ['sim', 'cifs.node']) fs.symlinkSync(path.join(built, entry), path.join(dir, entry));
      return dir;
    };
    const args = [adminPath, '--log-level', 'info', 'contexts', 'list'];
    const simRun = (buildDir, env = {}) => spawnSync(path.join(root, 'bin', 'cifs-sim-run'), ['--state', state, process.execPath, ...args],
      { env: childEnv(undefined, { CIFS_BUILD_DIR: buildDir, ...env }), encoding: 'utf8' });
    const envOf = (buildDir) => spawnSync(process.execPath, ['-e', `console.log(JSON.stringify(require(${JSON.stringify(
      path.join(root, 'lib', 'simulator'))}).env({ mirrorSyslog: true, stateFile: ${JSON.stringify(state)} })))`],
    { env: childEnv(undefined, { CIFS_BUILD_DIR: buildDir }), encoding: 'utf8' });

    for (const buildDir of [built, through('build dir')]) {
      const viaEnv = envOf(buildDir);
      assert.equal(viaEnv.status, 0, viaEnv.stderr);
      const env = { ...JSON.parse(viaEnv.stdout), CIFS_BUILD_DIR: buildDir };
      for (const child of [simRun(buildDir), spawnSync(process.execPath, args, { env, encoding: 'utf8' })]) {
        assert.equal(child.status, 0, child.stderr);
        assert.doesNotMatch(child.stderr, /cannot be preloaded/);
        assert.match(child.stderr, /^syslog info: TARVO-REST: <[^>]+> User: cn=admin,o=example Supervisor: 1$/m, buildDir);
      }
    }

    const unnameable = through('build:dir');
    // Here bash itself exits, not the node it would have become: under the
    // instrumented run its own leaks are no finding of ours.
    const refused = simRun(unnameable, { ASAN_OPTIONS: `${process.env.ASAN_OPTIONS ?? ''}:detect_leaks=0` });
    assert.equal(refused.status, 2, refused.stderr);
    for (const child of [refused, envOf(unnameable)]) assert.match(child.stderr, /holds ':' or ';', which split LD_LIBRARY_PATH/);
  });

  it('says which platform library is missing and where the loader looked', () => {
    const withoutMgmt = { LD_LIBRARY_PATH: sim.toralOnlyDir };
    const doctor = admin(undefined, ['doctor'], withoutMgmt);
    assert.equal(doctor.status, 1);
    const report = doctor.json();
    assert.deepEqual(report.libraries.filter((l) => !l.found).map((l) => l.name), ['libcifsmgmtclient.so']);
    assert.match(report.advice.join('\n'), /libcifsmgmtclient\.so not found/);
    assert.deepEqual(report.searched.LD_LIBRARY_PATH, [sim.toralOnlyDir]);
    assert.equal(admin(undefined, ['doctor']).status, 0);

    const unloadable = admin(undefined, ['contexts', 'list'], { LD_LIBRARY_PATH: undefined });
    assert.equal(unloadable.status, 3);
    assert.match(unloadable.stderr, /libtoral\.so\.0: missing \(looked in /);
  });
});

describe('a library that pages as it likes', () => {
  const list = async (args, pages) => {
    const [out, err] = [stream(false), stream(false)];
    const status = await run(['files', 'list', '--volume', 'DATA', ...args],
      { env: { CIFS_DN: 'cn=admin,o=example' }, out, err, module: require('./support/lying-pages').lyingOpenFiles(pages).module });
    return { status, stdout: out.text, stderr: err.text };
  };

  it('ends --all with status 1 after the rows it got when a cookie comes round again or a page is cut, and shows one cut page so', async () => {
    const circle = await list(['--all', '--table'], [{ cookie: 'c0', names: ['a'] }, { cookie: 'c1', names: ['b'] }, { cookie: 'c0', names: ['c'] }]);
    assert.deepEqual([circle.status, circle.stdout.split('\n').slice(1, -1).map((line) => line.split(/ +/)[2])], [1, ['a', 'b', 'c']]);
    assert.match(circle.stderr, /page 3 hands back the cookie "c0", which page 1 handed out/);
    const cut = await list(['--all'], [{ cookie: 'c0', names: ['a'] }, { cookie: 'c1', names: ['b', 'c'], count: 5000 }]);
    const { status, error, openFiles } = JSON.parse(cut.stdout);
    assert.deepEqual([cut.status, status, error.code, openFiles.files.map((f) => f.name)], [1, 'failure', 'ERR_CIFS_PAGING', ['a', 'b', 'c']]);
    assert.match(error.description, /page 2 holds 2 of the 5000 records its count gives/);
    const page = await list(['--table'], [{ cookie: 'c0', names: ['a', 'b'], count: 5000 }]);
    assert.deepEqual([page.status, page.stdout.split('\n').at(-2)], [0, '2 of 5000 records  cookie: c0']);
  });
});
