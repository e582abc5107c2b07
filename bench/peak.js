'use strict';
// Peak resident memory while the 65,535-connection list (three filters) is
// fetched and converted, above the process's baseline, against the size of
// the answer's JSON text; and the same for JSON.parse of that text. Each
// figure is taken in a process of its own: the kernel's high-water mark is
// reset (/proc/self/clear_refs) at the baseline and read after the answer.
// Run: node --expose-gc bench/peak.js (LD_LIBRARY_PATH=build/Release/sim)
const fs = require('node:fs');
const { execFileSync } = require('node:child_process');
const { sim } = require('./harness');
const { connections, connectionsRequest } = require('./answers');

const COUNT = 65535;
const RECORD = 418; // the library's copy of each examined record
const mb = (bytes) => (bytes / 1e6).toFixed(1);

function residentKb(field) {
  const line = fs.readFileSync('/proc/self/status', 'utf8').split('\n').find((l) => l.startsWith(`${field}:`));
  return Number(line.split(/\s+/)[1]) * 1024;
}

// The baseline after gc, then the peak of `work` above it.
async function peakAbove(work) {
  global.gc();
  const baseline = residentKb('VmRSS');
  fs.writeFileSync('/proc/self/clear_refs', '5');
  const kept = await work();
  const peak = residentKb('VmHWM');
  return { growth: peak - baseline, kept };
}

async function measure(what) {
  sim.mgmt.setConnections(connections(10));
  await connectionsRequest(10)(); // compiles the answer builders
  sim.mgmt.setConnections(connections(COUNT));
  if (what === 'module') {
    const { growth, kept } = await peakAbove(connectionsRequest(COUNT));
    if (kept.connections.length !== COUNT) throw new Error('not every connection passed the filters');
    return { growth, textBytes: Buffer.byteLength(JSON.stringify(kept)) };
  }
  const text = JSON.stringify(await connectionsRequest(COUNT)());
  const { growth } = await peakAbove(async () => JSON.parse(text));
  return { growth, textBytes: Buffer.byteLength(text) };
}

async function main() {
  if (process.argv[2]) {
    process.stdout.write(JSON.stringify(await measure(process.argv[2])));
    return;
  }
  const child = (what) => JSON.parse(execFileSync(process.execPath, ['--expose-gc', __filename, what], { encoding: 'utf8' }));
  const module = child('module');
  const parse = child('parse');
  const allowed = 2 * module.textBytes + COUNT * RECORD;
  console.log(`65535 connections, three filters: JSON text ${mb(module.textBytes)} MB; peak RSS above the baseline ` +
    `${mb(module.growth)} MB while fetching and converting (target at most 2 x text + ${COUNT} x ${RECORD} B = ` +
    `${mb(allowed)} MB: ${(module.growth / allowed).toFixed(2)} of it); JSON.parse of the text: ${mb(parse.growth)} MB`);
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
