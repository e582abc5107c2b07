'use strict';
// The package as another project sees it: its entry point, the error it
// gives when the identity library is missing, the doctor's report, and what
// `npm pack` ships.
const { describe, it } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync, execFileSync } = require('node:child_process');
const path = require('node:path');
const sim = require('./support/sim');

const root = path.join(__dirname, '..');
const { doctor } = require('../lib/doctor');

function nodeWith(env, script) {
  return spawnSync(process.execPath, ['-e', script], { cwd: root, env: { ...process.env, ...env }, encoding: 'utf8' });
}

describe('entry point', () => {
  it('exports the four functions unchanged beside frozen operation numbers', () => {
    const script = `const pkg = require('./'); const addon = require('./build/Release/cifs.node');
      const same = ['native_config_sphere', 'cifs_shares_sphere', 'cifs_connections_sphere', 'cifs_contexts_sphere']
        .every((name) => pkg[name] === addon[name]);
      console.log(JSON.stringify({ same, frozen: [pkg.SHARES, pkg.CONNECTIONS, pkg.CONTEXTS].every(Object.isFrozen),
        counts: [pkg.SHARES, pkg.CONNECTIONS, pkg.CONTEXTS].map((t) => Object.keys(t).length) }))`;
    const child = nodeWith({ LD_LIBRARY_PATH: sim.dir }, script);
    assert.equal(child.status, 0, child.stderr);
    assert.deepEqual(JSON.parse(child.stdout), { same: true, frozen: true, counts: [8, 12, 3] });
  });

  it('names the missing identity library and how to provide it instead of the bare loader error', () => {
    const child = nodeWith({ LD_LIBRARY_PATH: '' }, `try { require('./') } catch (e) {
      console.log(JSON.stringify({ code: e.code, library: e.library, message: e.message, cause: e.cause.message })) }`);
    assert.equal(child.status, 0, child.stderr);
    const error = JSON.parse(child.stdout);
    assert.equal(error.code, 'ERR_CIFS_LIBRARY_MISSING');
    assert.equal(error.library, 'libtoral.so.0');
    assert.match(error.message, /LD_LIBRARY_PATH/);
    assert.ok(error.message.includes(path.join(root, 'build', 'Release', 'sim')));
    assert.match(error.cause, /libtoral\.so\.0: cannot open shared object file/);
  });

  it('loads without the management library, whose absence every request answers', async () => {
    const child = nodeWith({ LD_LIBRARY_PATH: sim.toralOnlyDir }, `require('./').cifs_contexts_sphere({ operation: 1, dn: 'cn=a' })
      .then((answer) => console.log(JSON.stringify(answer)))`);
    assert.equal(child.status, 0, child.stderr);
    assert.equal(JSON.parse(child.stdout).error.errorID, '@@failed-to-load-cifsmgmtclient-library');
  });
});

describe('doctor', () => {
  it('finds both libraries on LD_LIBRARY_PATH without loading them', () => {
    const report = doctor({ env: { LD_LIBRARY_PATH: `/nonexistent:${sim.dir}` } });
    assert.equal(report.ok, true);
    assert.deepEqual(report.libraries.map((l) => [l.name, l.found]), [['libtoral.so.0', true], ['libcifsmgmtclient.so', true]]);
    assert.deepEqual(report.searched.LD_LIBRARY_PATH, ['/nonexistent', sim.dir]);
    assert.deepEqual(report.advice, []);
  });

  it('says which library is missing and where it looked', () => {
    const report = doctor({ env: { LD_LIBRARY_PATH: sim.toralOnlyDir } });
    assert.equal(report.ok, false);
    const missing = report.libraries.filter((l) => !l.found).map((l) => l.name);
    assert.deepEqual(missing, ['libcifsmgmtclient.so']);
    assert.match(report.advice.join('\n'), /libcifsmgmtclient\.so not found/);
    assert.ok(report.searched.defaultDirs.includes('/usr/lib'));
  });

  it('reads an empty LD_LIBRARY_PATH entry as the loader does, as the current folder, and warns of it', () => {
    const report = doctor({ env: { LD_LIBRARY_PATH: `${sim.toralOnlyDir}:` }, cwd: sim.dir });
    const management = report.libraries.find((l) => l.name === 'libcifsmgmtclient.so');
    assert.deepEqual(management, { name: 'libcifsmgmtclient.so', found: true, path: path.join(sim.dir, 'libcifsmgmtclient.so'),
      source: 'LD_LIBRARY_PATH' });
    assert.deepEqual(report.searched.LD_LIBRARY_PATH, [sim.toralOnlyDir, '.']);
    assert.match(report.advice.join('\n'), new RegExp(`empty entry, which the loader reads as the current folder \\(${sim.dir} here\\)`));
  });
});

describe('npm pack', () => {
  it('ships the sources to build the addon, the types and the docs, and no tests, fuzz targets or benchmarks', () => {
    const [packed] = JSON.parse(execFileSync('npm', ['pack', '--dry-run', '--json', '--ignore-scripts'], {
      cwd: root, encoding: 'utf8', env: { ...process.env, LD_PRELOAD: '' },
    }));
    const files = packed.files.map((f) => f.path);
    for (const needed of ['package.json', 'index.js', 'index.d.ts', 'lib/client.js', 'lib/doctor.js', 'scripts/install.js',
      'CMakeLists.txt', 'src/CMakeLists.txt', 'simulator/CMakeLists.txt', 'docs/API.md', 'README.md']) {
      assert.ok(files.includes(needed), needed);
    }
    assert.deepEqual(files.filter((f) => /^(test|fuzz|bench|build|node_modules)\/|^simulator\/tests\//.test(f)), []);
  });
});
