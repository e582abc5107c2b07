'use strict';
const { describe, it, beforeEach, after } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const { cifs, addonPath } = require('./support/addon');
const sim = require('./support/sim');
const logs = require('./support/logs');
const { dn } = require('./support/operations');

const spheres = {
  shares: { call: cifs.cifs_shares_sphere, last: 8, unknownText: 'cifs share operation' },
  connections: { call: cifs.cifs_connections_sphere, last: 12, unknownText: 'cifs connection operation' },
  contexts: { call: cifs.cifs_contexts_sphere, last: 3, unknownText: 'cifs user contexts operation' },
};

beforeEach(() => sim.reset());
after(() => cifs.native_config_sphere({ logLevel: 'error' }));

describe('module registration', () => {
  it('exports the four spheres in order, as functions', () => {
    assert.deepEqual(Object.getOwnPropertyNames(cifs), [
      'native_config_sphere',
      'cifs_connections_sphere',
      'cifs_shares_sphere',
      'cifs_contexts_sphere',
    ]);
    for (const name of Object.getOwnPropertyNames(cifs)) assert.equal(typeof cifs[name], 'function');
  });
});

describe('native_config_sphere', () => {
  const infoLinesOfOneRequest = async () => {
    const mark = logs.mark();
    await cifs.cifs_contexts_sphere({ operation: 1, dn });
    return logs.since(mark).filter((line) => line.priority === 6);
  };

  it('accepts the four levels in any case and gates information lines', async () => {
    for (const level of ['DEBUG', 'Info']) {
      assert.equal(cifs.native_config_sphere({ logLevel: level }), undefined);
      const info = await infoLinesOfOneRequest();
      assert.ok(info.some((line) => logs.message(line) === `User: ${dn} Supervisor: 1`), level);
    }
    for (const level of ['warn', 'ERROR']) {
      cifs.native_config_sphere({ logLevel: level });
      assert.deepEqual(await infoLinesOfOneRequest(), [], level);
    }
  });

  it('keeps the level and logs why for values it refuses, as errors of the function', async () => {
    cifs.native_config_sphere({ logLevel: 'info' });
    const cases = [
      [{ logLevel: 'verbose' }, 'Log level string size is more than expected: 6 <7>'],
      [{ logLevel: 'trace' }, 'Read invalid log level from prod.env file: trace'],
      [{ logLevel: '' }, 'Read invalid log level from prod.env file: '],
      [{ logLevel: 7 }, /^Failed to get log level string length, error: \d+$/],
      [{}, /^Failed to get log level string length, error: \d+$/],
      [null, /^Failed to read native configuration, error: \d+$/],
      [undefined, /^Failed to read native configuration, error: \d+$/],
    ];
    for (const [config, expected] of cases) {
      const mark = logs.mark();
      assert.equal(cifs.native_config_sphere(config), undefined);
      const lines = logs.since(mark);
      assert.equal(lines.length, 1, JSON.stringify(config));
      assert.equal(lines[0].priority, 3);
      assert.match(lines[0].text, /^TARVO-REST: <native_config_sphere:\d+> /, 'the function name and source line');
      if (expected instanceof RegExp) assert.match(logs.message(lines[0]), expected);
      else assert.equal(logs.message(lines[0]), expected);
    }
    assert.notDeepEqual(await infoLinesOfOneRequest(), [], 'the level is still info');
    assert.equal(cifs.native_config_sphere(), undefined);
  });
});

describe('request cycle: failures before an operation runs', () => {
  const operationFailure = (sphere) => ({
    errorCode: 40002,
    description:
      sphere === 'contexts' ? 'Failed to extract/convert operation. Retry.' : "Failed to extract/convert: 'operation'",
    errorID: '@@failed-to-extract-convert',
    args: 'operation',
  });

  for (const [name, sphere] of Object.entries(spheres)) {
    it(`${name}: a missing or non-object request answers 40002 for "operation"`, async () => {
      for (const args of [[], [undefined], [null]]) {
        const answer = await sphere.call(...args);
        assert.deepEqual(Object.keys(answer), ['status', 'operation', 'error']);
        assert.equal(answer.status, 'failure');
        assert.equal(answer.operation, '');
        assert.deepEqual(answer.error, operationFailure(name), JSON.stringify(args));
        assert.deepEqual(Object.keys(answer.error), ['errorCode', 'description', 'errorID', 'args']);
      }
    });

    it(`${name}: a missing or unreadable dn is answered with the sphere's own rule`, async () => {
      const throwing = { operation: 1 };
      Object.defineProperty(throwing, 'dn', { enumerable: true, get() { throw new Error('no dn for you'); } });
      const cases = [
        ['no dn', { operation: 1 }, 40016, 'Data received does not contain dn'],
        ['number dn', { operation: 1, dn: 5 }, 40011, 'Failed to extract/convert dn'],
        ['null dn', { operation: 1, dn: null }, 40011, 'Failed to extract/convert dn'],
        ['undefined dn', { operation: 1, dn: undefined }, 40011, 'Failed to extract/convert dn'],
        ['throwing dn', throwing, 40002, 'Failed to extract/convert dn'],
      ];
      for (const [label, request, contextsCode, contextsText] of cases) {
        const answer = await sphere.call(request);
        const expected =
          name === 'contexts'
            ? { errorCode: contextsCode, description: contextsText }
            : { errorCode: -1, description: "Failed to extract/convert: 'dn'" };
        assert.deepEqual(
          answer,
          { status: 'failure', operation: '', error: { ...expected, errorID: '@@failed-to-extract-convert', args: 'dn' } },
          label,
        );
      }
      assert.deepEqual(sim.identity.calls(), [], 'no identity lookup without a dn');
    });

    it(`${name}: tests that dn is present, then reads it once, inherited ones included`, async () => {
      for (const value of [dn, undefined]) {
        const traps = [];
        const trap = (kind) => (target, key) => { traps.push(`${kind}:${String(key)}`); return Reflect[kind](target, key); };
        await sphere.call(new Proxy({ operation: 1, dn: value }, { has: trap('has'), get: trap('get') }));
        assert.deepEqual(traps.filter((t) => t.endsWith('dn') || t.endsWith('operation')), ['get:operation', 'has:dn', 'get:dn']);
      }
      assert.equal((await sphere.call(Object.create({ operation: 1, dn }))).status, 'success');
    });

    it(`${name}: unknown operation numbers yield undefined and a log line only`, () => {
      for (const operation of [0, -1, sphere.last + 1, 1000, 2 ** 31 - 1]) {
        const mark = logs.mark();
        assert.equal(sphere.call({ operation, dn }), undefined);
        assert.deepEqual(logs.messagesSince(mark), [`A request has been received for an unknown ${sphere.unknownText}: ${operation}`]);
      }
      for (const operation of ['1', undefined, null, {}]) assert.equal(sphere.call({ operation, dn }), undefined);
      assert.deepEqual(sim.mgmt.calls(), []);
    });
  }

  it('an operation read failure is reported before a missing dn', async () => {
    const request = new Proxy({}, { get() { throw new Error('trap'); } });
    const answer = await cifs.cifs_shares_sphere(request);
    assert.equal(answer.error.args, 'operation');
    assert.equal(answer.error.errorCode, 40002);
  });

  it('logs the tag lookup of every answer that carries an error id', async () => {
    const mark = logs.mark();
    await cifs.cifs_contexts_sphere({ operation: 1 });
    assert.ok(logs.messagesSince(mark).includes('get_err_tag_from_index: error id: 2'));
  });
});

describe('CIFS_NATIVE_LOG: where the lines go', () => {
  // Children without the syslog capture: this machine has no syslog socket,
  // so only what reaches standard error is seen.
  it('stderr and both write each line whole, prefixed with its priority; a typo says so and means both', () => {
    const preload = (process.env.LD_PRELOAD || '').split(/[ :]+/).filter((e) => e && !e.includes('syslog_capture'));
    const source = `const cifs = require(${JSON.stringify(addonPath)});
      cifs.native_config_sphere({ logLevel: 'tra\\nx' });
      cifs.native_config_sphere({ logLevel: 'info' });
      cifs.cifs_contexts_sphere({ operation: 1, dn: ${JSON.stringify(dn)} });`;
    const lines = [
      '<3>TARVO-REST: <native_config_sphere> Read invalid log level from prod.env file: tra\\nx',
      '<6>TARVO-REST: <load_cifsmgmtclient_functions> Successfully loaded library: libcifsmgmtclient.so',
      `<6>TARVO-REST: <get_user_info_by_dn> User: ${dn} Supervisor: 1`,
    ];
    const typo = "<3>TARVO-REST: <choose_log_destination> CIFS_NATIVE_LOG is 'stdrr', not syslog, stderr or both: the module's lines go to both";
    for (const [choice, expected] of [['stderr', lines], ['BOTH', lines], ['', []], ['syslog', []], ['stdrr', [typo, ...lines]]]) {
      const env = { ...process.env, LD_PRELOAD: preload.join(' '), CIFS_NATIVE_LOG: choice };
      const { stderr, status } = spawnSync(process.execPath, ['-e', source], { env, encoding: 'utf8' });
      assert.equal(status, 0, stderr);
      assert.deepEqual(stderr.split('\n').filter(Boolean).map((l) => l.replace(/<(\w+):\d+>/, '<$1>')), expected, choice);
    }
  });
});
