'use strict';
// The package as another project sees it: its entry point, the error it
// gives when the identity library is missing, the doctor's report, the
// install step's check of a prebuilt addon, and the packed tarball installed
// into a scratch project.
const { describe, it, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync, execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
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
    assert.ok(error.message.includes(sim.dir), 'the simulator of the build the suites run against');
    assert.match(error.cause, /libtoral\.so\.0: cannot open shared object file/);
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

  it('reads an empty LD_LIBRARY_PATH entry as the loader does, as the current folder, and warns of it', () => {
    const report = doctor({ env: { LD_LIBRARY_PATH: `${sim.toralOnlyDir}:` }, cwd: sim.dir });
    const management = report.libraries.find((l) => l.name === 'libcifsmgmtclient.so');
    assert.deepEqual(management, { name: 'libcifsmgmtclient.so', found: true, path: path.join(sim.dir, 'libcifsmgmtclient.so'),
      source: 'LD_LIBRARY_PATH' });
    assert.deepEqual(report.searched.LD_LIBRARY_PATH, [sim.toralOnlyDir, '.']);
    assert.match(report.advice.join('\n'), new RegExp(`empty entry, which the loader reads as the current folder \\(${sim.dir} here\\)`));
  });
});

// npm pack runs the prebuild (prepack) from the release tree, so the tarball
// is checked once, in the run against that tree.
const releaseRun = !process.env.CIFS_BUILD_DIR || path.resolve(process.env.CIFS_BUILD_DIR) === path.join(root, 'build', 'Release');

// Its child loads the addon without a preloaded sanitizer runtime, as an install does.
describe('install step', { skip: !releaseRun && 'the release build\'s' }, () => {
  it('checks the prebuilt addon on the simulator\'s own libraries, even from a folder whose path holds \':\'', () => {
    const simulatorDir = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'cifs-install-')), 'a:b;c');
    fs.mkdirSync(simulatorDir);
    for (const file of ['libtoral.so.0', 'libcifsmgmtclient.so', 'simctl.node']) fs.symlinkSync(path.join(sim.dir, file), path.join(simulatorDir, file));
    const check = () => require('../scripts/install').prebuildProblem(require('./support/addon').addonPath, simulatorDir);
    assert.equal(check(), null);
    fs.rmSync(path.join(simulatorDir, 'libcifsmgmtclient.so'));
    assert.match(check(), /CIFSMGMTCLIENT library couldn't be loaded/);
    fs.rmSync(path.dirname(simulatorDir), { recursive: true, force: true });
  });
});

// The environment of a new shell: nothing of this run's npm, simulator or preloads.
function cleanEnv(extra = {}) {
  const env = Object.fromEntries(Object.entries(process.env)
    .filter(([key]) => !/^(npm_|INIT_CWD$|LD_PRELOAD$|LD_LIBRARY_PATH$|CIFS_)/i.test(key)));
  return { ...env, ...extra };
}

describe('the packed tarball, installed into another project', { skip: !releaseRun && 'packed in the release run' }, () => {
  let scratch;
  let project;
  let installed;
  let install;
  let packed;
  const tuple = `${process.platform}-${process.arch}`;
  const addonFile = `prebuilds/${tuple}/cifs-native.napi.glibc.node`;
  const simulatorFiles = ['libcifsmgmtclient.so', 'libsyslog_stderr.so', 'libtoral.so.0', 'simctl.node'];

  before(() => {
    scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'cifs-package-'));
    execFileSync('npm', ['pack', '--pack-destination', scratch], { cwd: root, env: cleanEnv(), stdio: ['ignore', 'ignore', 'pipe'] });
    const tarball = path.join(scratch, fs.readdirSync(scratch).find((f) => f.endsWith('.tgz')));
    packed = execFileSync('tar', ['tzf', tarball], { encoding: 'utf8' }).trim().split('\n').map((f) => f.replace(/^package\//, ''));
    project = path.join(scratch, 'project');
    fs.mkdirSync(project);
    fs.writeFileSync(path.join(project, 'package.json'), '{ "name": "scratch", "private": true }');
    install = spawnSync('npm', ['install', '--foreground-scripts', '--prefer-offline', '--no-audit', '--no-fund', tarball],
      { cwd: project, env: cleanEnv(), encoding: 'utf8' });
    installed = path.join(project, 'node_modules', 'cifs-native');
  });
  after(() => fs.rmSync(scratch, { recursive: true, force: true }));

  const inProject = (script, env) => spawnSync(process.execPath, ['-e', script], { cwd: project, env: cleanEnv(env), encoding: 'utf8' });

  it('ships the prebuilt files and the sources to compile, and no tests, fuzz targets or benchmarks', () => {
    for (const needed of ['package.json', 'index.js', 'index.mjs', 'index.d.ts', 'lib/client.js', 'lib/client.mjs', 'lib/doctor.js', 'scripts/install.js',
      'CMakeLists.txt', 'src/CMakeLists.txt', 'simulator/CMakeLists.txt', 'docs/API.md', 'README.md', 'bin/cifs-sim-run',
      'CHANGELOG.md', 'examples/page-open-files.js',
      addonFile, ...simulatorFiles.map((f) => `prebuilds-sim/${tuple}/${f}`)]) {
      assert.ok(packed.includes(needed), needed);
    }
    assert.deepEqual(packed.filter((f) => /^(test|fuzz|bench|build|node_modules)\/|^simulator\/tests\//.test(f)), []);
    // A loader picks a prebuild by its tags, whatever its name: the addon must be alone there.
    assert.deepEqual(packed.filter((f) => f.startsWith('prebuilds/')), [addonFile]);
  });

  it('installs from the prebuild, compiling nothing, and says so', () => {
    assert.equal(install.status, 0, install.stderr);
    assert.match(install.stderr, new RegExp(`cifs-native: using the prebuilt addon ${addonFile}`));
    assert.equal(fs.existsSync(path.join(installed, 'build')), false);
  });

  it('gives prebuilt files no RPATH/RUNPATH and no need of a glibc newer than 2.34', () => {
    for (const [file, needsIdentity] of [[addonFile, true], ...simulatorFiles.map((f) => [`prebuilds-sim/${tuple}/${f}`, f === 'simctl.node'])]) {
      const dynamic = execFileSync('readelf', ['-d', path.join(installed, file)], { encoding: 'utf8' });
      assert.doesNotMatch(dynamic, /RPATH|RUNPATH/, file);
      assert.equal(/NEEDED.*\[libtoral\.so\.0\]/.test(dynamic), needsIdentity, file);
      const glibc = execFileSync('objdump', ['-T', path.join(installed, file)], { encoding: 'utf8' })
        .split('\n').filter((l) => l.includes('*UND*')).flatMap((l) => /\(GLIBC_2\.(\d+)\)/.exec(l)?.[1] ?? []).map(Number);
      assert.ok(Math.max(...glibc) <= 34, `${file} needs GLIBC_2.${Math.max(...glibc)}`);
    }
  });

  const request = `require('cifs-native').cifs_contexts_sphere({ operation: 1, dn: 'cn=a' })
    .then((a) => console.log(JSON.stringify({ errorCode: a.error && a.error.errorCode })))`;
  const loadError = `try { require('cifs-native'); console.log('{}') } catch (e) {
    console.log(JSON.stringify({ code: e.code, library: e.library, message: e.message })) }`;
  for (const { name, env, script, expect } of [
    { name: 'names the identity library when neither platform library is on the search path',
      env: {}, script: loadError, expect: { code: 'ERR_CIFS_LIBRARY_MISSING', library: 'libtoral.so.0' } },
    { name: 'never reaches the simulator by itself: with only the identity library, requests answer 41451',
      env: { LD_LIBRARY_PATH: sim.toralOnlyDir }, script: request, expect: { errorCode: 41451 } },
    { name: 'says that it is not built when no prebuild matches the platform',
      env: { npm_config_arch: 'arm64' }, script: loadError, expect: { code: 'ERR_CIFS_ADDON_NOT_BUILT' } },
  ]) {
    it(name, () => {
      const child = inProject(script, env);
      assert.equal(child.status, 0, child.stderr);
      const { message, ...result } = JSON.parse(child.stdout);
      assert.deepEqual(result, expect);
      if (expect.library) assert.ok(message.includes(path.join(installed, 'prebuilds-sim', tuple)), message);
    });
  }

  it('runs a program against the prebuilt simulator through cifs-sim-run', () => {
    const child = spawnSync(path.join(project, 'node_modules', '.bin', 'cifs-sim-run'), ['--quiet', process.execPath, '-e', `
      const simulator = require('cifs-native/simulator');
      simulator.setContexts(['.only.org']);
      require('cifs-native').cifs_contexts_sphere({ operation: 1, dn: 'cn=admin,o=example' }).then((answer) => {
        const mapped = require('node:fs').readFileSync('/proc/self/maps', 'utf8');
        const from = (name) => { const line = mapped.split('\\n').find((l) => l.endsWith('/' + name)); return line.slice(line.indexOf('/')); };
        console.log(JSON.stringify({ answer, addon: from('cifs-native.napi.glibc.node'), library: from('libcifsmgmtclient.so') }));
      });`], { cwd: project, env: cleanEnv(), encoding: 'utf8' });
    assert.equal(child.status, 0, child.stderr);
    const { answer, addon, library } = JSON.parse(child.stdout);
    assert.deepEqual(answer.userContexts, ['.only.org']);
    assert.equal(addon, fs.realpathSync(path.join(installed, addonFile)));
    assert.equal(library, fs.realpathSync(path.join(installed, 'prebuilds-sim', tuple, 'libcifsmgmtclient.so')));
  });

  it('fails its install step with one line saying what to install when no prebuild matches and cmake is missing', () => {
    const bin = fs.mkdtempSync(path.join(scratch, 'bin-'));
    fs.symlinkSync(process.execPath, path.join(bin, 'node'));
    const child = spawnSync(process.execPath, [path.join(installed, 'scripts', 'install.js')],
      { cwd: installed, env: cleanEnv({ PATH: bin, INIT_CWD: project, npm_config_arch: 'arm64' }), encoding: 'utf8' });
    assert.equal(child.status, 1);
    assert.match(child.stderr, /^cifs-native: no prebuilt addon matches linux-arm64 \(glibc\), and compiling one needs cmake 3\.21 or later and g\+\+ with C\+\+20: install them \(on Debian: sudo apt-get install cmake g\+\+\) and run "npm rebuild cifs-native"\n$/);
  });
});
