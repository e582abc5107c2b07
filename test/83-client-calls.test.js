'use strict';
// The client as a management server uses it, against the simulator (whose
// delay control makes library calls slow): calls bounded, queued and
// drained, traced, their failures in categories, a share updated in part.
// Every case asserts by state (rejections, counts, the model), not by time.
const { describe, it, beforeEach, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const diagnostics = require('node:diagnostics_channel');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');
const { createClient, CifsError, errorCategory } = require('../lib/client');

const dn = 'cn=admin,o=example';
const outcome = (promise) => promise.then((answer) => answer.status, (error) => error.name);
const sent = (call) => sim.mgmt.calls().filter((c) => c.call === call).map((c) => c.text);

beforeEach(() => sim.reset());
afterEach(() => sim.mgmt.delay(0));

describe('calls bounded, queued and drained', () => {
  it('reject at once with the signal\'s reason, a running call keeping its place until its library call returns', async () => {
    sim.mgmt.delay(100);
    const client = createClient({ dn, module: cifs, maxInFlight: 1 });
    const [running, queued] = [new AbortController(), new AbortController()];
    const calls = [client.contexts.list({ signal: running.signal }), client.contexts.list({ signal: queued.signal }),
      client.shares.list({ timeout: 10 }), client.contexts.list()];
    assert.deepEqual([client.inFlight, client.queued], [1, 3]);
    queued.abort();
    assert.deepEqual(await Promise.all(calls.slice(1, 3).map(outcome)), ['AbortError', 'TimeoutError']);
    running.abort();
    assert.deepEqual([await outcome(calls[0]), client.inFlight, client.queued], ['AbortError', 1, 1], 'the aborted call holds its thread');
    assert.deepEqual([await outcome(calls[3]), sent('CIFSLIB_ListAllShares')], ['success', []], 'nothing timed out in the queue was sent');
    assert.equal(await outcome(createClient({ dn, module: cifs, timeout: 10 }).contexts.list()), 'TimeoutError');
  });

  it('end an iteration between pages when aborted or out of time, sending no further page', async () => {
    const controller = new AbortController();
    const client = createClient({ dn, module: cifs });
    const read = async (files) => { for await (const file of files) if (file.ID === 104) controller.abort(); else await new Promise((r) => setTimeout(r, 30)); };
    assert.equal(await outcome(read(client.openFiles('DATA', { pageSize: 5, signal: controller.signal }))), 'AbortError');
    assert.equal(await outcome(read(client.invalidUsers({ pageSize: 1, timeout: 20 }))), 'TimeoutError');
    assert.deepEqual([sent('CIFSLIB_ListOpenFiles').length, sent('CIFSLIB_ListInvalidUsers').length], [1, 1]);
  });

  it('run at most maxInFlight calls at once, the rest in the order given, and size the default from the thread pool', async () => {
    sim.mgmt.delay(20);
    let [now, most] = [0, 0];
    const started = [];  // the order calls leave the queue; the pool's threads may reach the library in another
    const module = { ...cifs, cifs_contexts_sphere: (r) => { started.push(r.userContexts[0]); most = Math.max(most, ++now); return cifs.cifs_contexts_sphere(r).finally(() => { now -= 1; }); } };
    const client = createClient({ dn, module, maxInFlight: 3 });
    const names = Array.from({ length: 20 }, (_, i) => `.c${i}.example`);
    const calls = names.map((name) => client.contexts.add([name]));
    assert.deepEqual([client.inFlight, client.queued], [3, 17]);
    assert.deepEqual(await Promise.all(calls.map(outcome)), names.map(() => 'success'));
    assert.deepEqual([most, client.inFlight, started, sent('CIFSLIB_AddUserContext').sort()], [3, 0, names, [...names].sort()]);
    const saved = process.env.UV_THREADPOOL_SIZE;
    const pool = (size) => Object.assign(process.env, { UV_THREADPOOL_SIZE: size }) && createClient({ dn, module }).maxInFlight;
    try {
      assert.deepEqual(['8', '0', 'many', ' 2x', '-1', '5000'].map(pool), [7, 1, 1, 1, 1023, 1023]);
      delete process.env.UV_THREADPOOL_SIZE;
      assert.equal(createClient({ dn, module }).maxInFlight, 3);
    } finally {
      if (saved !== undefined) process.env.UV_THREADPOOL_SIZE = saved;
    }
  });

  it('close: refuse new calls and let the rest finish, or with abort reject them, resolving once no call is left', async () => {
    sim.mgmt.delay(50);
    for (const abort of [false, true]) {
      const client = createClient({ dn, module: cifs, maxInFlight: 1 });
      const calls = [client.contexts.list(), client.contexts.list()].map(outcome);
      const closed = client.close({ abort });
      await assert.rejects(client.shares.list(), { code: 'ERR_CIFS_CLIENT_CLOSED' });
      if (abort) assert.deepEqual([await Promise.all(calls), client.inFlight], [['AbortError', 'AbortError'], 1]);
      await closed;
      assert.deepEqual([await Promise.all(calls), client.inFlight, client.queued], [abort ? ['AbortError', 'AbortError'] : ['success', 'success'], 0, 0]);
    }
  });

  it('refuse call options they cannot use, and call options given a place too far', async () => {
    const client = createClient({ dn, module: cifs });
    const codes = await Promise.all([{ signal: 'stop' }, { timeout: -1 }, { retries: 2 }].map((call) => client.contexts.list(call).catch((e) => e.code)));
    assert.deepEqual(codes, ['ERR_INVALID_ARG_TYPE', 'ERR_OUT_OF_RANGE', 'ERR_INVALID_ARG_VALUE']);
    await assert.rejects(client.shares.list({}, { timeout: 5 }), { message: /shares\.list takes 0 arguments and call options, not 2/ });
  });
});

describe('tracing', () => {
  it('publishes each call with its request as sent, and at its end the answer\'s status and errorCode', async () => {
    const events = [];
    const handlers = Object.fromEntries(['start', 'end', 'asyncStart', 'asyncEnd', 'error'].map((name) => [name, (c) =>
      events.push([name, `${c.sphere} ${c.operation}`, c.request?.dn, c.status, c.errorCode])]));
    const channel = diagnostics.tracingChannel('cifs-native:request');
    channel.subscribe(handlers);
    try {
      await createClient({ dn, module: cifs }).contexts.list();
      await createClient({ dn: 'cn=guest,o=example', module: cifs }).shares.remove(['projects']);
      await createClient({ dn, module: cifs }).connections.details('1').catch(() => {});
    } finally {
      channel.unsubscribe(handlers);
    }
    assert.equal(events.map(([name]) => name).join(' '), `${'start end asyncStart asyncEnd '.repeat(2)}start end error asyncStart asyncEnd`);
    const [contexts, remove, details] = ['cifs_contexts_sphere FetchCIFSUserContexts', 'cifs_shares_sphere RemoveCIFSShare', 'cifs_connections_sphere FetchCIFSConnectionDetails'];
    assert.deepEqual(events.filter(([name]) => name === 'start' || name === 'asyncEnd').map((event) => event.slice(1)), [
      [contexts, dn, undefined, undefined], [contexts, dn, 'success', undefined], [remove, 'cn=guest,o=example', undefined, undefined],
      [remove, 'cn=guest,o=example', 'failure', 40031], [details, undefined, undefined, undefined], [details, undefined, undefined, undefined]]);
  });
});

describe('failure categories', () => {
  it('name every failure by what it means to a server', async () => {
    const category = (caller, call) => call(createClient({ dn: caller, module: cifs, throwOnFailure: true })).catch((e) => (e instanceof CifsError ? e.category : e));
    const raw = (request) => cifs.cifs_shares_sphere({ dn, ...request }).then((answer) => errorCategory(answer.error));
    sim.mgmt.fail({ call: 'CIFSLIB_ListUserContexts', status: 5, times: 1 });
    const tooMany = { matchType: 'any', filters: Array.from({ length: 256 }, () => ({ filterBy: 'type', patterns: ['a'] })) };
    assert.deepEqual([
      await category('cn=guest,o=example', (c) => c.contexts.list()), await category('cn=nobody', (c) => c.contexts.list()),
      await category(dn, (c) => c.contexts.list()), await raw({ operation: 6, ignoreCount: 0, returnCount: 1 }),
      await raw({ operation: 6, volumeName: 'DATA', ignoreCount: 0, returnCount: 1, advancedFiltersInfo: tooMany }),
      errorCategory({ errorCode: 41451, errorID: '@@failed-to-load-cifsmgmtclient-library' }), errorCategory({ errorCode: 9 }), errorCategory(undefined),
    ], ['unauthorized', 'unauthorized', 'library', 'invalid', 'too-large', 'unavailable', 'internal', 'internal']);
  });
});

describe('shares.update', () => {
  it('changes what it is given, keeps the rest as listed, and finds the share without regard to case', async () => {
    const before = sim.mgmt.shares().find((s) => s.name === 'projects');
    assert.equal((await createClient({ dn, module: cifs }).shares.update('PROJECTS', { comment: 'x', atmBackup: 'enabled' })).status, 'success');
    assert.deepEqual(sim.mgmt.shares().find((s) => s.name === 'projects'), { ...before, comment: 'x', atmBackup: true });
  });

  it('rejects a share the listing does not hold or a key it cannot change, and answers a failed listing, changing nothing', async () => {
    const client = createClient({ dn, module: cifs });
    await assert.rejects(client.shares.update('nosuch', { comment: 'x' }), { code: 'ERR_CIFS_NO_SUCH_SHARE', message: /no share named "nosuch"/ });
    await assert.rejects(client.shares.update('projects', { type: 'Disk Directory Tree' }), { code: 'ERR_INVALID_ARG_VALUE' });
    sim.mgmt.fail({ call: 'CIFSLIB_ListAllShares', status: 7, times: 1 });
    assert.deepEqual((await client.shares.update('projects', { comment: 'x' })).error.errorCode, 7);
    assert.deepEqual(sent('CIFSLIB_ChangeShareConfiguration'), []);
  });
});
