'use strict';
// The client as a management server uses it, against the simulator (whose
// delay control makes library calls slow): calls bounded by a signal or a
// timeout, at most maxInFlight at once, drained by close; each call on the
// tracing channel; failures in categories; a share updated in part. Every
// case asserts by state (rejections, counts, the model), never by time.
const { describe, it, beforeEach, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const diagnostics = require('node:diagnostics_channel');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');
const { createClient, CifsError, errorCategory } = require('../lib/client');

const dn = 'cn=admin,o=example';
const settled = (promise) => promise.then((answer) => answer.status, (error) => error.name);

beforeEach(() => sim.reset());
afterEach(() => sim.mgmt.delay(0));

// The real module behind a counter of the library calls in flight at once,
// which keeps the requests in the order they were sent.
function counted() {
  const seen = { now: 0, most: 0, sent: [] };
  const wrap = (sphere) => (request) => {
    seen.sent.push(request);
    seen.most = Math.max(seen.most, ++seen.now);
    return cifs[sphere](request).finally(() => { seen.now -= 1; });
  };
  const module = { native_config_sphere: cifs.native_config_sphere };
  for (const sphere of ['cifs_shares_sphere', 'cifs_connections_sphere', 'cifs_contexts_sphere']) module[sphere] = wrap(sphere);
  return { module, seen };
}

describe('calls bounded, queued and drained', () => {
  it('reject at once with the signal\'s reason, a running call keeping its place until its library call returns', async () => {
    sim.mgmt.delay(100);
    const client = createClient({ dn, module: cifs, maxInFlight: 1 });
    const controller = new AbortController();
    const running = client.contexts.list({ signal: controller.signal });
    const queued = new AbortController();
    const waiting = [client.contexts.list({ signal: queued.signal }), client.shares.list({ timeout: 10 }), client.contexts.list()];
    assert.deepEqual([client.inFlight, client.queued], [1, 3]);
    queued.abort();
    await assert.rejects(waiting[0], { name: 'AbortError' });
    await assert.rejects(waiting[1], { name: 'TimeoutError' });
    assert.deepEqual([client.inFlight, client.queued], [1, 1]);
    controller.abort();
    await assert.rejects(running, { name: 'AbortError' });
    assert.deepEqual([client.inFlight, client.queued], [1, 1], 'the aborted call still holds its thread');
    assert.equal((await waiting[2]).status, 'success');
    await assert.rejects(createClient({ dn, module: cifs, timeout: 10 }).contexts.list(), { name: 'TimeoutError' });
    assert.equal(sim.mgmt.calls().filter((c) => c.call === 'CIFSLIB_ListAllShares').length, 0, 'a call timed out in the queue was never sent');
  });

  it('end an iteration between pages when aborted or out of time, sending no further page', async () => {
    const pagesSent = () => sim.mgmt.calls().filter((c) => c.call === 'CIFSLIB_ListOpenFiles').length;
    const client = createClient({ dn, module: cifs });
    const controller = new AbortController();
    const seen = [];
    await assert.rejects((async () => {
      for await (const file of client.openFiles('DATA', { pageSize: 5, signal: controller.signal })) {
        seen.push(file);
        if (seen.length === 5) controller.abort();
      }
    })(), { name: 'AbortError' });
    assert.deepEqual([seen.length, pagesSent()], [5, 1]);
    await assert.rejects((async () => {
      for await (const file of client.invalidUsers({ pageSize: 1, timeout: 20 })) await new Promise((resolve) => setTimeout(resolve, 40, file));
    })(), { name: 'TimeoutError' });
    assert.equal(sim.mgmt.calls().filter((c) => c.call === 'CIFSLIB_ListInvalidUsers').length, 1);
  });

  it('run at most maxInFlight calls at once, the rest in order, and size the default from the thread pool', async () => {
    sim.mgmt.delay(20);
    const { module, seen } = counted();
    const client = createClient({ dn, module, maxInFlight: 3 });
    const calls = Array.from({ length: 20 }, (_, i) => client.contexts.add([`.c${i}.example`]));
    assert.deepEqual([client.inFlight, client.queued], [3, 17]);
    assert.ok((await Promise.all(calls)).every((a) => a.status === 'success'));
    assert.deepEqual([seen.most, client.inFlight, client.queued], [3, 0, 0]);
    assert.deepEqual(seen.sent.map((r) => r.userContexts[0]), calls.map((_, i) => `.c${i}.example`));
    const saved = process.env.UV_THREADPOOL_SIZE;
    try {
      const pool = (size) => {
        if (size === undefined) delete process.env.UV_THREADPOOL_SIZE; else process.env.UV_THREADPOOL_SIZE = size;
        return createClient({ dn, module }).maxInFlight;
      };
      assert.deepEqual([undefined, '8', '0', 'many', ' 2x', '-1', '5000'].map(pool), [3, 7, 1, 1, 1, 1023, 1023]);
    } finally {
      if (saved === undefined) delete process.env.UV_THREADPOOL_SIZE; else process.env.UV_THREADPOOL_SIZE = saved;
    }
  });

  it('close: refuse new calls and let the rest finish, or with abort reject them, resolving once no call is left', async () => {
    sim.mgmt.delay(50);
    const client = createClient({ dn, module: cifs, maxInFlight: 1 });
    const calls = [client.contexts.list(), client.contexts.list()];
    const closed = client.close();
    await assert.rejects(client.shares.list(), { code: 'ERR_CIFS_CLIENT_CLOSED' });
    await assert.rejects(client.setLogLevel('info'), { code: 'ERR_CIFS_CLIENT_CLOSED' });
    await closed;
    assert.deepEqual([await Promise.all(calls.map(settled)), client.inFlight, client.queued], [['success', 'success'], 0, 0]);

    const aborted = createClient({ dn, module: cifs, maxInFlight: 1 });
    const cut = [aborted.contexts.list(), aborted.contexts.list()].map(settled);
    const draining = aborted.close({ abort: true });
    assert.deepEqual([await Promise.all(cut), aborted.inFlight, aborted.queued], [['AbortError', 'AbortError'], 1, 0]);
    await draining;
    assert.equal(aborted.inFlight, 0);
  });

  it('refuse call options they cannot use, and a call option given a place too far', async () => {
    const client = createClient({ dn, module: cifs });
    await assert.rejects(client.contexts.list({ signal: 'stop' }), { code: 'ERR_INVALID_ARG_TYPE', message: /'signal' must be an AbortSignal/ });
    await assert.rejects(client.contexts.list({ timeout: -1 }), { code: 'ERR_OUT_OF_RANGE' });
    await assert.rejects(client.contexts.list({ retries: 2 }), { code: 'ERR_INVALID_ARG_VALUE', message: /takes no key 'retries'/ });
    await assert.rejects(client.shares.list({}, { timeout: 5 }), { message: /shares\.list takes 0 arguments and call options, not 2/ });
    assert.throws(() => createClient({ dn, module: cifs, maxInFlight: 0 }), { code: 'ERR_OUT_OF_RANGE' });
  });
});

describe('tracing', () => {
  it('publishes start, end and the async events of each call with its request, and the answer\'s status and errorCode', async () => {
    const events = [];
    const handlers = Object.fromEntries(['start', 'end', 'asyncStart', 'asyncEnd', 'error'].map((name) => [name, (context) =>
      events.push([name, context.sphere, context.operation, context.request?.dn ?? null, context.status ?? null, context.errorCode ?? null])]));
    const channel = diagnostics.tracingChannel('cifs-native:request');
    channel.subscribe(handlers);
    const client = createClient({ dn, module: cifs });
    try {
      await client.contexts.list();
      await createClient({ dn: 'cn=guest,o=example', module: cifs }).shares.remove(['projects']);
      await client.connections.details('1').catch(() => {});
    } finally {
      channel.unsubscribe(handlers);
    }
    const call = (sphere, operation, caller, status, errorCode, error) => [
      ['start', sphere, operation, caller, null, null], ['end', sphere, operation, caller, null, null],
      ...(error ? [['error', sphere, operation, caller, null, null]] : []),
      ['asyncStart', sphere, operation, caller, status, errorCode], ['asyncEnd', sphere, operation, caller, status, errorCode]];
    assert.deepEqual(events, [
      ...call('cifs_contexts_sphere', 'FetchCIFSUserContexts', dn, 'success', null),
      ...call('cifs_shares_sphere', 'RemoveCIFSShare', 'cn=guest,o=example', 'failure', 40031),
      ...call('cifs_connections_sphere', 'FetchCIFSConnectionDetails', null, null, null, true),
    ]);
  });
});

describe('failure categories', () => {
  it('name every failure by what it means to a server', async () => {
    const strict = createClient({ dn, module: cifs, throwOnFailure: true });
    const category = (promise) => promise.then(() => 'none', (error) => (error instanceof CifsError ? error.category : error.code));
    sim.mgmt.fail({ call: 'CIFSLIB_ListUserContexts', status: 5, times: 1 });
    const tooMany = { matchType: 'any', filters: Array.from({ length: 256 }, () => ({ filterBy: 'type', patterns: ['a'] })) };
    const raw = (request) => cifs.cifs_shares_sphere({ dn, ...request }).then((answer) => errorCategory(answer.error));
    assert.deepEqual([
      await category(createClient({ dn: 'cn=guest,o=example', module: cifs, throwOnFailure: true }).contexts.list()),
      await category(createClient({ dn: 'cn=nobody', module: cifs, throwOnFailure: true }).contexts.list()),
      await category(strict.contexts.list()),
      await raw({ operation: 6, ignoreCount: 0, returnCount: 1 }),
      await raw({ operation: 6, volumeName: 'DATA', ignoreCount: 0, returnCount: 1, advancedFiltersInfo: tooMany }),
      errorCategory({ errorCode: 41451, errorID: '@@failed-to-load-cifsmgmtclient-library' }),
      errorCategory({ errorCode: 9, description: 'a Node-API status, as the module answers one while building a success' }),
      errorCategory(undefined),
    ], ['unauthorized', 'unauthorized', 'library', 'invalid', 'too-large', 'unavailable', 'internal', 'internal']);
  });
});

describe('shares.update', () => {
  it('changes what it is given and keeps the rest as listed, finding the share without regard to case', async () => {
    const before = sim.mgmt.shares().find((s) => s.name === 'projects');
    const answer = await createClient({ dn, module: cifs }).shares.update('PROJECTS', { comment: 'x', atmBackup: 'enabled' });
    assert.deepEqual([answer.status, answer.operation], ['success', 'ChangeCIFSShareConfiguration']);
    assert.deepEqual(sim.mgmt.shares().find((s) => s.name === 'projects'), { ...before, comment: 'x', atmBackup: true });
  });

  it('rejects a share the listing does not hold or a key it cannot change, and answers a failed listing', async () => {
    const client = createClient({ dn, module: cifs });
    await assert.rejects(client.shares.update('nosuch', { comment: 'x' }), { code: 'ERR_CIFS_NO_SUCH_SHARE', message: /no share named "nosuch"/ });
    await assert.rejects(client.shares.update('projects', { type: 'Disk Directory Tree' }), { code: 'ERR_INVALID_ARG_VALUE' });
    sim.mgmt.fail({ call: 'CIFSLIB_ListAllShares', status: 7, times: 1 });
    const failed = await client.shares.update('projects', { comment: 'x' });
    assert.deepEqual([failed.operation, failed.error.errorCode], ['FetchCIFSShares', 7]);
    assert.equal(sim.mgmt.calls().filter((c) => c.call === 'CIFSLIB_ChangeShareConfiguration').length, 0);
  });
});
