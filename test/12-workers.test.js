'use strict';
// The addon keeps its cached keys, texts and builders per environment: two
// worker threads load it at once, alongside the main thread, and each gets
// whole, correct answers.
const { describe, it } = require('node:test');
const assert = require('node:assert/strict');
const { Worker } = require('node:worker_threads');
const { cifs, addonPath } = require('./support/addon');

const dn = 'cn=admin,o=example';

const workerScript = `
const { parentPort, workerData } = require('node:worker_threads');
const cifs = require(workerData.addonPath);
const dn = ${JSON.stringify(dn)};
(async () => {
  const answers = [];
  for (let i = 0; i < 50; i += 1) {
    const [contexts, shares, refused] = await Promise.all([
      cifs.cifs_contexts_sphere({ operation: 1, dn }),
      cifs.cifs_shares_sphere({ operation: 1, dn }),
      cifs.cifs_shares_sphere({ operation: 5, dn, names: 'not a list' }),
    ]);
    answers.push([contexts, shares, refused]);
  }
  parentPort.postMessage(answers);
})();
`;

function runWorker() {
  return new Promise((resolve, reject) => {
    const worker = new Worker(workerScript, { eval: true, workerData: { addonPath } });
    worker.once('message', resolve);
    worker.once('error', reject);
  });
}

describe('worker threads', () => {
  it('answers requests in two workers and the main thread at once', async () => {
    const expected = await Promise.all([
      cifs.cifs_contexts_sphere({ operation: 1, dn }),
      cifs.cifs_shares_sphere({ operation: 1, dn }),
      cifs.cifs_shares_sphere({ operation: 5, dn, names: 'not a list' }),
    ]);
    assert.equal(expected[2].error.errorID, '@@failed-to-get-array-length-of-shares');
    const [first, second, main] = await Promise.all([
      runWorker(),
      runWorker(),
      Promise.all(Array.from({ length: 50 }, () => cifs.cifs_shares_sphere({ operation: 1, dn }))),
    ]);
    for (const answers of [first, second]) {
      assert.equal(answers.length, 50);
      for (const triple of answers) assert.deepEqual(triple, expected);
    }
    for (const answer of main) assert.deepEqual(answer, expected[1]);
  });

  it('keeps answering on the main thread after a worker that used the addon has exited', async () => {
    await runWorker();
    assert.deepEqual(Object.keys(await cifs.cifs_shares_sphere({ operation: 1, dn })), ['status', 'operation', 'shares']);
  });
});
