'use strict';
// npm's install step. Installed into another project (from a packed tarball
// or a clone's path), the package uses the prebuilt addon of its platform when
// one matches and works here; otherwise it compiles the addon and the
// simulator with CMake, saying so on stderr with how long it took. When it
// can do neither it fails with one line that says what to install. A clone's
// own `npm install`/`npm ci` builds nothing: its npm scripts build what they
// need.
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const root = path.join(__dirname, '..');
const buildDir = path.join(root, 'build', 'Release');
// What a user of the package needs: the addon and the simulator's libraries.
const TARGETS = ['cifs_node', 'toral', 'cifsmgmtclient', 'simctl', 'syslog_stderr'];

const say = (text) => process.stderr.write(`cifs-native: ${text}\n`);

class CannotInstall extends Error {}

function installedIntoAnotherProject() {
  const from = process.env.INIT_CWD;
  return !from || fs.realpathSync(from) !== fs.realpathSync(root);
}

function resolvable(name) {
  try {
    require.resolve(`${name}/package.json`, { paths: [root] });
    return true;
  } catch {
    return false;
  }
}

// npm links a clone installed by its path and installs nothing into it, so a
// fresh clone lacks the packages it loads the addon with and compiles with:
// they go into the clone's own node_modules, as `npm ci` would put them.
function ensureOwnDependencies() {
  const { dependencies = {} } = JSON.parse(fs.readFileSync(path.join(root, 'package.json'), 'utf8'));
  const missing = Object.keys(dependencies).filter((name) => !resolvable(name));
  if (missing.length === 0) return;
  say(`${root} is linked, not copied, and lacks ${missing.join(', ')}: installing its dependencies there`);
  // The outer npm's settings name the project being installed into, not this folder.
  const env = Object.fromEntries(Object.entries(process.env).filter(([key]) => !/^npm_/i.test(key)));
  const npm = process.env.npm_execpath ? [process.execPath, process.env.npm_execpath] : ['npm'];
  const result = spawnSync(npm[0], [...npm.slice(1), 'install', '--omit=dev', '--ignore-scripts', '--no-save',
    '--no-audit', '--no-fund'], { cwd: root, env, stdio: ['ignore', 2, 2] });
  if (result.status !== 0) {
    throw new CannotInstall(`installing ${missing.join(', ')} into ${root} failed (see above): run "npm ci" there, ` +
      'then "npm rebuild cifs-native" here');
  }
}

// Loads the prebuilt addon and the simulator's control addon in a child with
// the prebuilt simulator on its library search path, and asks one request:
// tags can match a machine whose C or C++ runtime is too old for the files.
// The loader splits LD_LIBRARY_PATH at ':' and ';', so the simulator's
// folder cannot be named there when its path holds either: the child starts
// in that folder and the search path names it as ".", the current folder.
// Whatever the path, the child then checks where the two platform
// libraries it mapped come from: only the simulator's answer the check, so a
// system library never passes for the simulator. Returns null when all
// works, else the reason.
function prebuildProblem(addon, simulatorDir) {
  const script = `
    const fs = require('node:fs');
    const path = require('node:path');
    const { mapped, IDENTITY_LIBRARY, MANAGEMENT_LIBRARY } = require(process.argv[4]);
    try {
      require(process.argv[2]);
      require(process.argv[1]).cifs_contexts_sphere({ operation: 1, dn: 'cn=admin,o=example' }).then((answer) => {
        if (answer.status !== 'success') { console.error(answer.error.description); process.exitCode = 1; return; }
        for (const name of [IDENTITY_LIBRARY, MANAGEMENT_LIBRARY]) {
          const expected = fs.realpathSync(path.join(process.argv[3], name));
          const file = mapped(name) ?? undefined;
          if (file !== expected) { console.error(\`\${name} was loaded from \${file}, not from \${expected}\`); process.exitCode = 1; }
        }
      });
    } catch (error) { console.error(error.message.split('\\n')[0]); process.exitCode = 1; }`;
  const env = { ...process.env, LD_LIBRARY_PATH: '.' };
  delete env.LD_PRELOAD;
  delete env.CIFS_SIM_STATE;
  const child = spawnSync(process.execPath,
    ['-e', script, addon, path.join(simulatorDir, 'simctl.node'), simulatorDir, path.join(__dirname, '..', 'lib', 'doctor.js')],
    { cwd: simulatorDir, env, encoding: 'utf8' });
  return child.status === 0 ? null : (child.stderr.trim() || `exit status ${child.status}`);
}

function runs(command) {
  return spawnSync(command, ['--version'], { stdio: 'ignore' }).status === 0;
}

function step(command, args) {
  const result = spawnSync(command, args, { cwd: root, stdio: ['ignore', 2, 2] });
  if (result.status !== 0) {
    throw new CannotInstall(`compiling failed (${command} exited with ${result.status ?? result.signal}; its output ` +
      'is above): fix what it reports and run "npm rebuild cifs-native"');
  }
}

function compile(reason) {
  const missing = [['cmake', 'cmake 3.21 or later'], ['g++', 'g++ with C++20']].filter(([command]) => !runs(command));
  if (missing.length > 0) {
    throw new CannotInstall(`${reason}, and compiling one needs ${missing.map(([, what]) => what).join(' and ')}: ` +
      `install ${missing.length > 1 ? 'them' : 'it'} (on Debian: sudo apt-get install ${missing.map(([c]) => c).join(' ')}) ` +
      'and run "npm rebuild cifs-native"');
  }
  say(`${reason}: compiling the addon and the simulator from source with CMake (about two minutes on two cores)`);
  const started = process.hrtime.bigint();
  const headers = path.join(path.dirname(require.resolve('node-api-headers/package.json', { paths: [root] })), 'include');
  // An existing build tree (a clone installed by path) keeps its own settings.
  if (!fs.existsSync(path.join(buildDir, 'CMakeCache.txt'))) {
    step('cmake', ['-S', root, '-B', buildDir, '-DCMAKE_BUILD_TYPE=Release', '-DCIFS_BUILD_TESTS=OFF',
      `-DCIFS_NAPI_INCLUDE_DIR=${headers}`]);
  }
  const jobs = String(os.availableParallelism ? os.availableParallelism() : os.cpus().length);
  step('cmake', ['--build', buildDir, '-j', jobs, '--target', ...TARGETS]);
  say(`compiled in ${Math.round(Number(process.hrtime.bigint() - started) / 1e9)} s into ${buildDir}`);
}

function main() {
  if (!installedIntoAnotherProject()) {
    console.log('cifs-native: a development checkout; "npm run build" or "npm test" builds the addon');
    return;
  }
  ensureOwnDependencies();
  const { addonPath, isPrebuilt, platformTuple, prebuiltSimulatorDir } = require('../lib/locate');
  const libc = process.report.getReport().header.glibcVersionRuntime ? 'glibc' : 'musl';
  if (fs.existsSync(path.join(buildDir, 'CMakeCache.txt'))) {
    compile(`${buildDir} holds a build, which the package loads before any prebuilt addon`);
    return;
  }
  const prebuilt = addonPath();
  if (!isPrebuilt(prebuilt)) {
    compile(`no prebuilt addon matches ${platformTuple} (${libc})`);
    return;
  }
  const problem = prebuildProblem(prebuilt, prebuiltSimulatorDir);
  if (problem) {
    compile(`the prebuilt addon for ${platformTuple} does not work here (${problem})`);
    return;
  }
  say(`using the prebuilt addon ${path.relative(root, prebuilt)} and simulator ${path.relative(root, prebuiltSimulatorDir)}; ` +
    'nothing to compile');
}

if (require.main === module) {
  try {
    main();
  } catch (error) {
    if (!(error instanceof CannotInstall)) throw error;
    say(error.message);
    process.exitCode = 1;
  }
}

module.exports = { prebuildProblem };
