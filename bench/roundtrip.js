'use strict';
// The fixed cost of a request: small requests through the whole cycle
// against a bare Node-API round trip (a promise, empty async work, a small
// object resolved), with 1 and with 64 requests in flight. Run: npm run bench
const path = require('node:path');
const { performance } = require('node:perf_hooks');
const { cifs, sim, buildDir, interleaved, ratio } = require('./harness');
const { SHARES, CONTEXTS } = require('../lib/operations');

const bare = require(path.join(buildDir, 'bench', 'bare.node'));
const dn = 'cn=admin,o=example';

// Microseconds per request for `total` requests kept `inFlight` at a time.
async function perRequest(makeRequest, total, inFlight) {
  let next = 0;
  const worker = async () => {
    while (next < total) {
      next += 1;
      await makeRequest();
    }
  };
  const started = performance.now();
  await Promise.all(Array.from({ length: inFlight }, worker));
  return ((performance.now() - started) * 1000) / total;
}

// The simulated libraries log every call; a fresh model before each
// measurement keeps their logs short, so their bookkeeping does not grow
// into the module's figures.
function freshModel() {
  sim.reset();
  sim.mgmt.setShares([{ name: 'DATA', volumeName: 'DATA', relativePath: '', absolutePath: '/DATA', comment: 'Department data', type: 0, nameSpace: 4, encryption: false, folderRedirection: false, atmBackup: false, openFilesCount: 0 }]);
  sim.mgmt.setContexts(['.sales.example', '.hr.example', '.it.example']);
}

async function main() {
  freshModel();
  const requests = {
    bare: () => bare.roundTrip({ operation: 1, dn }),
    FetchCIFSUserContexts: () => cifs.cifs_contexts_sphere({ operation: CONTEXTS.FetchCIFSUserContexts, dn }),
    'FetchCIFSShares (one share)': () => cifs.cifs_shares_sphere({ operation: SHARES.FetchCIFSShares, dn }),
  };
  console.log('| request | in flight | µs per request | ratio to bare |');
  console.log('|---|---|---|---|');
  for (const inFlight of [1, 64]) {
    const total = inFlight === 1 ? 1000 : 5000;
    for (const make of Object.values(requests)) await perRequest(make, total, inFlight); // warm-up
    const medians = await interleaved(41, Object.fromEntries(
      Object.entries(requests).map(([name, make]) => [name, () => {
        freshModel();
        return perRequest(make, total, inFlight);
      }]),
    ));
    for (const [name, micros] of Object.entries(medians)) {
      console.log(`| ${name} | ${inFlight} | ${micros.toFixed(2)} | ${ratio(micros, medians.bare)} |`);
    }
  }
}

main();
