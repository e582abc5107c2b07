'use strict';
// Shared pieces of the benchmarks: the addon under test, the bundled
// simulator's control, and interleaved rounds compared by their medians.
const path = require('node:path');

const buildDir = process.env.CIFS_BUILD_DIR || path.join(__dirname, '../build/Release');
process.env.CIFS_BUILD_DIR = buildDir;
const cifs = require(path.join(buildDir, 'cifs.node'));
const sim = require('../test/support/sim');

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
};

// Runs each named measurement once per round, in turn, so drift in the
// machine's speed touches all of them alike; returns each one's median.
async function interleaved(rounds, measurements) {
  const samples = Object.fromEntries(Object.keys(measurements).map((name) => [name, []]));
  for (let round = 0; round < rounds; round += 1) {
    for (const [name, measure] of Object.entries(measurements)) samples[name].push(await measure());
  }
  return Object.fromEntries(Object.entries(samples).map(([name, values]) => [name, median(values)]));
}

const ratio = (value, base) => (value / base).toFixed(2);

module.exports = { cifs, sim, buildDir, interleaved, median, ratio };
