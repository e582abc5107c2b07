'use strict';
// The client's own cost per call, with nobody subscribed to its tracing
// channel and with a subscriber: a call of the client against a stand-in
// module whose sphere resolves at once, less that sphere called directly,
// is what the client adds (checks, snapshot, gate, trace); the same against
// the module on the simulator puts it beside a real round trip. One call at
// a time, interleaved rounds, medians. Run: npm run bench
const diagnostics = require('node:diagnostics_channel');
const { performance } = require('node:perf_hooks');
const { cifs, sim, interleaved } = require('./harness');
const { createClient } = require('../lib/client');
const { CHANNEL } = require('../lib/tracing');

const dn = 'cn=admin,o=example';
const CALLS = 20000;
const answer = { status: 'success', operation: 'FetchCIFSUserContexts', userContexts: ['.a.example'] };
const stub = { native_config_sphere() {}, cifs_shares_sphere: () => Promise.resolve(answer),
  cifs_connections_sphere: () => Promise.resolve(answer), cifs_contexts_sphere: () => Promise.resolve(answer) };

const channel = diagnostics.tracingChannel(CHANNEL);
const handlers = { start() {}, end() {}, asyncStart() {}, asyncEnd() {}, error() {} };

// Microseconds per call of `call`, one at a time; `traced` subscribes around it.
const perCall = (call, calls, traced = false) => async () => {
  if (traced) channel.subscribe(handlers);
  const started = performance.now();
  for (let i = 0; i < calls; i += 1) await call();
  const micros = ((performance.now() - started) * 1000) / calls;
  if (traced) channel.unsubscribe(handlers);
  return micros;
};

async function main() {
  sim.reset();
  const onStub = createClient({ dn, module: stub });
  const onModule = createClient({ dn, module: cifs });
  const measured = await interleaved(21, {
    stub: perCall(() => stub.cifs_contexts_sphere({ operation: 1, dn }), CALLS),
    clientOnStub: perCall(() => onStub.contexts.list(), CALLS),
    clientOnStubTraced: perCall(() => onStub.contexts.list(), CALLS, true),
    module: perCall(() => cifs.cifs_contexts_sphere({ operation: 1, dn }), CALLS / 10),
    clientOnModule: perCall(() => onModule.contexts.list(), CALLS / 10),
    clientOnModuleTraced: perCall(() => onModule.contexts.list(), CALLS / 10, true),
  });
  const row = (title, value) => console.log(`${title.padEnd(58)} ${value.toFixed(2).padStart(7)} µs`);
  row('FetchCIFSUserContexts on a stand-in sphere, called directly', measured.stub);
  row('  through the client, nobody subscribed', measured.clientOnStub);
  row('  through the client, a subscriber on every event', measured.clientOnStubTraced);
  row('the client\'s own cost per call, nobody subscribed', measured.clientOnStub - measured.stub);
  row('the client\'s own cost per call, subscribed', measured.clientOnStubTraced - measured.stub);
  row('FetchCIFSUserContexts on the simulator, called directly', measured.module);
  row('  through the client, nobody subscribed', measured.clientOnModule);
  row('  through the client, a subscriber on every event', measured.clientOnModuleTraced);
}

main();
