'use strict';
// index.d.ts against test/types: tsc must accept the correct requests and
// answers and reject every line marked @ts-expect-error. And the package as
// an ES module: named imports in a .mjs program, the very instance require
// gives, and the types of a "type": "module" TypeScript project.
const { it } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const sim = require('./support/sim');

const root = path.join(__dirname, '..');
const tsc = (project) => spawnSync(process.execPath, [path.join(root, 'node_modules', 'typescript', 'bin', 'tsc'), '-p', project], {
  cwd: root, encoding: 'utf8', env: { ...process.env, LD_PRELOAD: '' },  // the compiler needs no sanitizer runtime
});

it('the declarations accept correct requests and reject wrong ones', () => {
  const run = tsc(path.join(root, 'test', 'types'));
  assert.equal(run.status, 0, `tsc found errors:\n${run.stdout}${run.stderr}`);
});

it('an ES module imports the exports by name, from the instance require gives, and its types resolve under nodenext', () => {
  const project = fs.mkdtempSync(path.join(os.tmpdir(), 'cifs-esm-'));
  const write = (file, text) => fs.writeFileSync(path.join(project, file), text);
  try {
    fs.mkdirSync(path.join(project, 'node_modules'));
    fs.symlinkSync(root, path.join(project, 'node_modules', 'cifs-native'));
    write('package.json', '{ "type": "module" }');
    write('tsconfig.json', JSON.stringify({ compilerOptions: { strict: true, noEmit: true, module: 'nodenext', target: 'es2022', types: [] }, files: ['main.ts'] }));
    const imports = `import cifs, { createClient, SHARES, cifs_contexts_sphere, errorCategory } from 'cifs-native';
      import { createClient as fromClient } from 'cifs-native/client';
      import simulator, { setContexts } from 'cifs-native/simulator';`;
    write('main.ts', `${imports}\nexport const uses = [cifs.SHARES === SHARES, createClient({ dn: 'cn=a' }).shares.update, fromClient, setContexts,
      simulator.reset, cifs_contexts_sphere, errorCategory(undefined)];`);
    write('program.mjs', `${imports}\nimport { createRequire } from 'node:module';
      const require = createRequire(import.meta.url);
      setContexts(['.esm.org']);
      console.log(JSON.stringify([(await createClient({ dn: 'cn=admin,o=example' }).contexts.list()).userContexts,
        cifs_contexts_sphere === require('cifs-native').cifs_contexts_sphere && fromClient === require('cifs-native/client').createClient &&
        simulator === require('cifs-native/simulator'), Object.keys(await import('cifs-native')).sort(), ['default', ...Object.keys(require('cifs-native'))].sort()]));`);
    const types = tsc(project);
    assert.equal(types.status, 0, `tsc found errors:\n${types.stdout}${types.stderr}`);
    const child = spawnSync(process.execPath, ['program.mjs'], { cwd: project, encoding: 'utf8', env: { ...process.env, LD_LIBRARY_PATH: sim.dir } });
    assert.equal(child.status, 0, child.stderr);
    const [contexts, same, named, required] = JSON.parse(child.stdout);
    assert.deepEqual([contexts, same, named], [['.esm.org'], true, required]);
  } finally {
    fs.rmSync(project, { recursive: true, force: true });
  }
});
