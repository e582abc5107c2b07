'use strict';
// npm's install step: builds the release addon and the simulated platform
// libraries when the package is installed into another project (from a path
// or a packed tarball). A clone's own `npm install`/`npm ci` builds nothing:
// its npm scripts build the presets they need.
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const root = path.join(__dirname, '..');
const buildDir = path.join(root, 'build', 'Release');
// What a user of the package needs: the addon and the simulator's two libraries.
const TARGETS = ['cifs_node', 'toral', 'cifsmgmtclient', 'simctl', 'syslog_stderr'];

function installedIntoAnotherProject() {
  const from = process.env.INIT_CWD;
  return !from || fs.realpathSync(from) !== fs.realpathSync(root);
}

function run(command, args) {
  console.log(`cifs-native: ${command} ${args.join(' ')}`);
  execFileSync(command, args, { cwd: root, stdio: 'inherit' });
}

function need(command, hint) {
  try {
    execFileSync(command, ['--version'], { stdio: 'ignore' });
  } catch {
    throw new Error(`cifs-native: building the addon needs ${command} (${hint})`);
  }
}

function main() {
  if (!installedIntoAnotherProject()) {
    console.log('cifs-native: a development checkout; "npm run build" or "npm test" builds the addon');
    return;
  }
  need('cmake', 'version 3.21 or later, e.g. apt-get install cmake');
  need('g++', 'a C++20 compiler, e.g. apt-get install g++');
  const headers = path.join(path.dirname(require.resolve('node-api-headers/package.json')), 'include');
  const jobs = String(os.availableParallelism ? os.availableParallelism() : os.cpus().length);
  // An existing build tree (a clone installed by path) keeps its own settings.
  if (!fs.existsSync(path.join(buildDir, 'CMakeCache.txt'))) {
    run('cmake', ['-S', root, '-B', buildDir, '-DCMAKE_BUILD_TYPE=Release', '-DCIFS_BUILD_TESTS=OFF',
      `-DCIFS_NAPI_INCLUDE_DIR=${headers}`]);
  }
  run('cmake', ['--build', buildDir, '-j', jobs, '--target', ...TARGETS]);
}

try {
  main();
} catch (error) {
  console.error(error.message);
  process.exitCode = 1;
}
