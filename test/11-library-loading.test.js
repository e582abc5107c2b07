'use strict';
// Each case runs in a fresh node process: a library, once loaded, stays loaded.
const { describe, it } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { addonPath } = require('./support/addon');
const sim = require('./support/sim');
const logs = require('./support/logs');
const { runChild } = require('./support/sim-process');

// Runs `body` (an async function source taking cifs and a helper object) in a child.
const childScript = (body) => `
  const fs = require('node:fs');
  const cifs = require(${JSON.stringify(addonPath)});
  (async () => {
    const result = await (${body})(cifs, { fs, args: process.argv.slice(1) });
    console.log(JSON.stringify({ pid: process.pid, result }));
  })().catch((e) => { console.error(e); process.exit(1); });
`;

const dn = 'cn=admin,o=example';

describe('management library loading', () => {
  it('answers 41451 while the library is absent, retrying on each call, and recovers when it appears', () => {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'cifs-libs-'));
    try {
      fs.copyFileSync(path.join(sim.dir, 'libtoral.so.0'), path.join(dir, 'libtoral.so.0'));
      const { pid, result } = runChild(
        childScript(`async (cifs, { fs, args }) => {
          cifs.native_config_sphere({ logLevel: 'info' });
          const before = [
            await cifs.cifs_contexts_sphere({ operation: 1, dn: ${JSON.stringify(dn)} }),
            await cifs.cifs_shares_sphere(),
            await cifs.cifs_connections_sphere(null),
          ];
          fs.copyFileSync(args[0], args[1]);
          const after = await cifs.cifs_contexts_sphere({ operation: 1, dn: ${JSON.stringify(dn)} });
          return { before, after };
        }`),
        { libraryPath: dir, args: [path.join(sim.dir, 'libcifsmgmtclient.so'), path.join(dir, 'libcifsmgmtclient.so')] },
      );
      for (const answer of result.before) {
        assert.deepEqual(answer, {
          status: 'failure',
          operation: '',
          error: {
            errorCode: 41451,
            description: "CIFSMGMTCLIENT library couldn't be loaded to execute CIFS operations",
            errorID: '@@failed-to-load-cifsmgmtclient-library',
          },
        });
      }
      assert.equal(result.after.status, 'success');
      assert.ok(Array.isArray(result.after.userContexts));
      const lines = logs.since(0, pid).map(logs.message);
      const failures = lines.filter((l) => l.startsWith('Failed to load libcifsmgmtclient.so library due to error: '));
      assert.equal(failures.length, 3, 'one failed open per call');
      assert.equal(lines.filter((l) => l === 'Successfully loaded library: libcifsmgmtclient.so').length, 1);
    } finally {
      fs.rmSync(dir, { recursive: true, force: true });
    }
  });

  it('writes the loader information lines only at info level or above', () => {
    const { pid } = runChild(
      childScript(`async (cifs) => cifs.cifs_contexts_sphere({ operation: 1, dn: ${JSON.stringify(dn)} })`),
      { libraryPath: sim.dir },
    );
    const lines = logs.since(0, pid);
    assert.equal(lines.filter((l) => l.priority === 6).length, 0, 'level error right after loading');
  });

  it('answers a clear error, not a crash, for a call the library lacks', () => {
    const { pid, result } = runChild(
      childScript(`async (cifs) => [
        await cifs.cifs_contexts_sphere({ operation: 2, dn: ${JSON.stringify(dn)}, userContexts: ['.a.example', '.b.example'] }),
        await cifs.cifs_shares_sphere({ operation: 5, dn: ${JSON.stringify(dn)}, names: ['docs'] }),
        await cifs.cifs_contexts_sphere({ operation: 1, dn: ${JSON.stringify(dn)} }),
      ]`),
      { libraryPath: `${sim.partialDir}:${sim.dir}` },
    );
    const [add, remove, list] = result;
    assert.deepEqual(add, {
      status: 'failure',
      operation: 'AddCIFSUserContext',
      error: {
        errorCode: 41451,
        description: 'CIFSMGMTCLIENT library function CIFSLIB_AddUserContext is not available',
        errorID: '@@failed-to-load-cifsmgmtclient-library',
      },
      failedCount: '2',
      failedList: [
        { errorCode: 41451, name: '.a.example' },
        { errorCode: 41451, name: '.b.example' },
      ],
    });
    assert.equal(remove.error.description, 'CIFSMGMTCLIENT library function CIFSLIB_RemoveShare is not available');
    assert.equal(list.status, 'success', 'the calls that exist still work');
    const lines = logs.since(0, pid).map(logs.message);
    for (const symbol of ['CIFSLIB_AddUserContext', 'CIFSLIB_RemoveShare'])
      assert.ok(
        lines.some((l) => l.startsWith(`Failed to load ${symbol} function from libcifsmgmtclient.so library due to error: `)),
        symbol,
      );
  });
});
