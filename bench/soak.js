'use strict';
// Soak: 1,000,000 requests mixed over every operation of the three spheres,
// up to IN_FLIGHT at a time, with the simulated library failing every call
// in every other phase. Prints the resident memory after each phase; after
// the warm-up it must stay flat. Every answer is checked for its envelope.
// The simulator logs each call and keeps what a library keeps (result
// headers, records apart from their blocks) until it is reset, so it is reset
// (with nothing in flight) between phases of PHASE requests, and the memory
// is sampled after that reset: what stays is the module's and Node's.
// Run: node bench/soak.js [requests] (LD_LIBRARY_PATH=build/Release/sim)
const { sim } = require('./harness');
const { operations, send } = require('../test/support/operations');
const { checkEnvelope } = require('../test/support/envelope');

const TOTAL = Number(process.argv[2] ?? 1e6);
const IN_FLIGHT = 64;
const PHASE = 20000;
const WARM_UP = 0.5; // the first half: V8's heap and the allocator settle

const mb = (bytes) => (bytes / 2 ** 20).toFixed(1);

// The simulator is as the previous phase's end left it: reset, failing nowhere.
async function phase(first, count, failing) {
  if (failing) for (const call of new Set(operations.flatMap((op) => op.calls))) sim.mgmt.fail({ call, status: 5 });
  let next = first;
  const end = first + count;
  const statuses = { success: 0, failure: 0 };
  const worker = async () => {
    while (next < end) {
      const serial = next;
      next += 1;
      const op = operations[serial % operations.length];
      const answer = await send(op, serial);
      checkEnvelope(answer, { op, operation: op.name });
      statuses[answer.status] += 1;
    }
  };
  await Promise.all(Array.from({ length: IN_FLIGHT }, worker));
  return statuses;
}

async function main() {
  const samples = [];
  const started = process.hrtime.bigint();
  let totals = { success: 0, failure: 0 };
  console.log('| requests | RSS (MB) | heap used (MB) | external (MB) |');
  console.log('|---|---|---|---|');
  sim.reset();
  for (let done = 0, k = 0; done < TOTAL; k += 1) {
    const count = Math.min(PHASE, TOTAL - done);
    const statuses = await phase(done, count, k % 2 === 1);
    totals = { success: totals.success + statuses.success, failure: totals.failure + statuses.failure };
    done += count;
    sim.reset();
    const { rss, heapUsed, external } = process.memoryUsage();
    samples.push({ done, rss });
    if (k % 5 === 4 || done === TOTAL) console.log(`| ${done} | ${mb(rss)} | ${mb(heapUsed)} | ${mb(external)} |`);
  }
  const seconds = Number(process.hrtime.bigint() - started) / 1e9;
  const settled = samples.filter((s) => s.done > TOTAL * WARM_UP).map((s) => s.rss);
  const low = Math.min(...settled);
  const high = Math.max(...settled);
  console.log(`\n${TOTAL} requests (${totals.success} success, ${totals.failure} failure) in ${seconds.toFixed(1)} s, ` +
    `${IN_FLIGHT} in flight; RSS after warm-up ${mb(low)} to ${mb(high)} MB (spread ${mb(high - low)} MB), ` +
    `at the end ${mb(samples.at(-1).rss)} MB`);
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
