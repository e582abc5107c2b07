'use strict';
// index.d.ts against test/types: tsc must accept the correct requests and
// answers and reject every line marked @ts-expect-error.
const { it } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const path = require('node:path');

const root = path.join(__dirname, '..');

it('the declarations accept correct requests and reject wrong ones', () => {
  const tsc = path.join(root, 'node_modules', 'typescript', 'bin', 'tsc');
  const run = spawnSync(process.execPath, [tsc, '-p', path.join(root, 'test', 'types')], {
    cwd: root, encoding: 'utf8', env: { ...process.env, LD_PRELOAD: '' },  // the compiler needs no sanitizer runtime
  });
  assert.equal(run.status, 0, `tsc found errors:\n${run.stdout}${run.stderr}`);
});
