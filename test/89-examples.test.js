'use strict';
// The programs in examples/ as a reader runs them: through bin/cifs-sim-run,
// each on its own simulated server from the seed, requiring the package by
// its name.
const { it } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const path = require('node:path');
const { childEnv, root } = require('./support/sim-process');

const run = (example, args = []) => spawnSync(path.join(root, 'bin', 'cifs-sim-run'),
  ['--quiet', process.execPath, path.join(root, 'examples', example), ...args], { env: childEnv(undefined), encoding: 'utf8' });

// [example, arguments, status, what stdout holds, what stderr holds]
const runs = [
  ['page-open-files.js', ['DATA', '5'], 0, /^\/DATA\/report\.pdf\talice\tRD\tbatch\n(.*\n){11}12 open files on DATA\n$/],
  ['page-open-files.js', ['NOVOL'], 1, /^$/, /ListOpenFilesOfShare failed: .*NOVOL \(errorCode 19/],
  ['close-file.js', ['DATA', '.pdf'], 0, /^closed \/DATA\/report\.pdf\n$/],
  ['close-file.js', ['home', '.pst'], 0, /^closed \/HOME\/users\/alice\/mail\.pst\n$/],
  ['block-user.js', ['eve'], 0, /^eve: Blocked\nunblocked eve\neve: not listed\n$/],
  ['block-user.js', ['mallory'], 1, /^$/, /AddBlockedUser failed/],
  ['connection-details.js', ['7'], 0, /^connection 7: carol from fe80::7, SMB 2\.1 Idle since 2023-11-15T00:13:20\.000Z\n(.*\n)(mapped .*\n){3}(open .*\n){5}$/],
  ['connection-details.js', ['70000'], 1, /^$/, /'connectionNumber' must be an integer from 0 to 65535, not 70000/],
];

it('the examples run against the simulator and print what the seed server holds', () => {
  for (const [example, args, status, stdout, stderr = /^$/] of runs) {
    const child = run(example, args);
    const what = `${example} ${args.join(' ')}`;
    assert.equal(child.status, status, `${what}: ${child.stderr}`);
    assert.match(child.stdout, stdout, what);
    assert.match(child.stderr, stderr, what);
  }
});
