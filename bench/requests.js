'use strict';
// Request throughput through the whole cycle (parse, supervisor check, library
// call, answer) against the bundled simulator. Run: npm run bench
const { performance } = require('node:perf_hooks');
const path = require('node:path');

const buildDir = process.env.CIFS_BUILD_DIR || path.join(__dirname, '../build/Release');
const cifs = require(path.join(buildDir, 'cifs.node'));
const { SHARES, CONTEXTS } = require('../lib/operations');

const dn = 'cn=admin,o=example';

async function measure(title, makeRequest, { total = 20000, inFlight = 64 } = {}) {
  for (let i = 0; i < 500; i += 1) await makeRequest(i); // warm-up
  const started = performance.now();
  let next = 0;
  const worker = async () => {
    while (next < total) await makeRequest(next++);
  };
  await Promise.all(Array.from({ length: inFlight }, worker));
  const seconds = (performance.now() - started) / 1000;
  console.log(`${title.padEnd(48)} ${Math.round(total / seconds).toString().padStart(8)} requests/s  (${total} requests, ${inFlight} in flight)`);
}

async function main() {
  await measure('FetchCIFSUserContexts', () => cifs.cifs_contexts_sphere({ operation: CONTEXTS.FetchCIFSUserContexts, dn }));
  await measure('FetchCIFSShares', () => cifs.cifs_shares_sphere({ operation: SHARES.FetchCIFSShares, dn }));
  const names = Array.from({ length: 100 }, (_, i) => `.bench${i}.example`);
  await measure('AddCIFSUserContext, 100 names', () => cifs.cifs_contexts_sphere({ operation: CONTEXTS.AddCIFSUserContext, dn, userContexts: names }), { total: 2000 });
  await measure('early failure (missing dn)', () => cifs.cifs_shares_sphere({ operation: SHARES.FetchCIFSShares }));
}

main();
