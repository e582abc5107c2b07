'use strict';
// Big answers: the main-thread time the module spends building an answer,
// against JSON.parse of the same answer's JSON text, and the heap each holds.
// Run: npm run bench (node --expose-gc); node --expose-gc bench/answers.js
// <word> measures only the answers whose title holds the word.
const { performance } = require('node:perf_hooks');
const { cifs, sim, interleaved, ratio } = require('./harness');
const { SHARES, CONNECTIONS } = require('../lib/operations');

const dn = 'cn=admin,o=example';
const pause = new Int32Array(new SharedArrayBuffer(4));

// The completion runs on the JavaScript thread as one callback. The thread is
// kept asleep until the worker has surely finished, so the time from waking
// to the resolved answer is the completion's own work.
async function completionTime(request, workerMs) {
  const answer = request();
  Atomics.wait(pause, 0, 0, workerMs);
  const started = performance.now();
  await answer;
  return performance.now() - started;
}

function parseTime(text) {
  const started = performance.now();
  JSON.parse(text);
  return performance.now() - started;
}

// Heap bytes one answer holds once the garbage is collected: the growth from
// holding one answer to holding five, over four, so that a stale reference
// the engine keeps to an earlier value does not count.
async function heldBytes(make) {
  const holding = async (copies) => {
    global.gc();
    const before = process.memoryUsage().heapUsed;
    const held = [];
    for (let i = 0; i < copies; i += 1) held.push(await make());
    global.gc();
    const bytes = process.memoryUsage().heapUsed - before;
    return held.length ? bytes : 0;
  };
  return ((await holding(5)) - (await holding(1))) / 4;
}

function shares(count) {
  return Array.from({ length: count }, (_, i) => ({
    name: `share${i}`, volumeName: `VOL${i % 7}`, relativePath: `projects/p${i}`, absolutePath: `/VOL${i % 7}/projects/p${i}`,
    comment: i % 3 ? `comment for share ${i}` : '', type: [0, 2, 3, 4, 5][i % 5], nameSpace: [0, 1, 2, 4][i % 4],
    encryption: i % 2 === 0, folderRedirection: i % 3 === 0, atmBackup: i % 5 === 0, openFilesCount: 0,
  }));
}

function openFiles(count) {
  const users = ['alice', 'bob', 'carol', 'dave'];
  const types = ['docx', 'xlsx', 'pdf', 'txt', 'tar.gz'];
  return Array.from({ length: count }, (_, i) => ({
    shareName: 'DATA', name: `file${i}.${types[i % 5]}`, fullPath: `/DATA/projects/p${i % 97}/file${i}.${types[i % 5]}`,
    sessionID: 1 + (i % 13), ID: 1000 + i, accessMask: [0x1, 0x3, 0x60000003, 0x8][i % 4], lockLevel: i % 11,
    userName: users[i % 4], clientIPAddress: `10.0.${i % 7}.${i % 250}`,
  }));
}

// Every connection passes the three filters of connectionsRequest.
function connections(count) {
  return Array.from({ length: count }, (_, i) => ({
    connectionNumber: i + 1, userName: `user${i % 500}`, ipAddress: `10.${i >> 16}.${(i >> 8) & 255}.${i & 255}`,
    connectionType: 'SMB 3.1.1', status: 'Active', privileges: i % 3 ? 'User' : 'Supervisor', channels: 1 + (i % 4),
    isEncrypted: i % 2 === 0, totalRequests: i * 7, totalBytesRead: i * 4096, totalBytesWritten: i * 1024,
    loginTime: 1700000000 + i,
  }));
}

const connectionsRequest = (count) => () => cifs.cifs_connections_sphere({
  operation: CONNECTIONS.FetchCIFSConnectionsList, dn, ignoreCount: 0, returnCount: count,
  advancedFiltersInfo: {
    matchType: 'all',
    filters: [
      { filterBy: 'status', patterns: ['Active'] },
      { filterBy: 'connectionType', patterns: ['SMB 3.1.1'] },
      { filterBy: 'loginTime', patterns: ['1', '0'] }, // from 1 on, no upper bound
    ],
  },
});

// Each answer: how to seed the simulator, and the request that lists it.
const answers = [
  ...[100, 1000, 10000].map((count) => ({
    title: `${count} shares`, count,
    seed: () => sim.mgmt.setShares(shares(count)),
    request: () => cifs.cifs_shares_sphere({ operation: SHARES.FetchCIFSShares, dn }),
  })),
  ...[10000, 200000].map((count) => ({
    title: `a page of ${count} open files`, count,
    seed: () => sim.mgmt.setOpenFiles(openFiles(count)),
    request: () => cifs.cifs_shares_sphere({
      operation: SHARES.ListOpenFilesOfShare, dn, volumeName: 'DATA', ignoreCount: 0, returnCount: count,
    }),
  })),
  {
    title: '65535 connections, three filters', count: 65535,
    seed: () => {
      // Records apart stay kept until reset: dozens of rounds of 27 MB each would pile up.
      sim.mgmt.setChoices({ connectionRecords: 'inside' });
      sim.mgmt.setConnections(connections(65535));
    },
    request: connectionsRequest(65535),
  },
];

async function main() {
  if (typeof global.gc !== 'function') throw new Error('run with node --expose-gc');
  console.log('| answer | build (ms) | JSON.parse (ms) | ratio | heap held: module / JSON.parse |');
  console.log('|---|---|---|---|---|');
  const only = process.argv[2];
  for (const { title, count, seed, request } of answers.filter((a) => !only || a.title.includes(only))) {
    sim.reset();
    seed();
    const text = JSON.stringify(await request());
    const workerMs = Math.max(10, Math.ceil(count / 50));
    for (let i = 0; i < 5; i += 1) { await completionTime(request, workerMs); parseTime(text); } // warm-up
    // The largest answers wait seconds for their worker in each round.
    const rounds = count > 100000 ? 9 : count >= 10000 ? 31 : 101;
    const medians = await interleaved(rounds, {
      build: () => completionTime(request, workerMs),
      parse: async () => parseTime(text),
    });
    const moduleHeap = await heldBytes(request);
    const parsedHeap = await heldBytes(async () => JSON.parse(text));
    console.log(`| ${title} (${(text.length / 1e6).toFixed(2)} MB of JSON) | ${medians.build.toFixed(2)} | ${medians.parse.toFixed(2)} | ${ratio(medians.build, medians.parse)} | ${(moduleHeap / 1e6).toFixed(2)} MB / ${(parsedHeap / 1e6).toFixed(2)} MB |`);
  }
}

module.exports = { connections, connectionsRequest };

if (require.main === module) main();
