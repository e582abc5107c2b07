'use strict';
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');
const logs = require('./support/logs');
const { shares } = require('./support/operations');

const seedNames = () => sim.mgmt.shares().map((s) => s.name);

beforeEach(() => sim.reset());

// The per-name record: 48-byte header, the name and its NUL.
function nameRecord(name, { mask = 0, features = [0, 0, 0] } = {}) {
  const header = Buffer.alloc(48);
  header.writeUInt32LE(mask, 4);
  header[12] = features[0];
  header[13] = features[1];
  header[14] = features[2];
  header.writeUInt32LE(Buffer.byteLength(name) + 1, 44);
  return Buffer.concat([header, Buffer.from(`${name}\0`)]);
}

describe('ChangeCIFSShareFeatureConfiguration', () => {
  it('switches only the first feature present, one record per share', async () => {
    const [first, second] = seedNames();
    const answer = await shares(4, { encryption: 'disabled', atmBackup: 'enabled', names: [first, second] });
    assert.deepEqual(answer, {
      status: 'success',
      operation: 'ChangeCIFSShareFeatureConfiguration',
      successfulCount: '2',
      successfulList: [{ name: first }, { name: second }],
    });
    assert.deepEqual(sim.mgmt.calls().map((c) => c.record), [nameRecord(first, { mask: 0x08 }), nameRecord(second, { mask: 0x08 })]);
    await shares(4, { folderRedirection: 'enabled', names: [first] });
    await shares(4, { atmBackup: 'enabled', names: [first] });
    assert.deepEqual(sim.mgmt.calls().slice(2).map((c) => c.record), [
      nameRecord(first, { mask: 0x10, features: [0, 1, 0] }),
      nameRecord(first, { mask: 0x20, features: [0, 0, 1] }),
    ]);
    assert.equal(sim.mgmt.shares().find((s) => s.name === first).atmBackup, true);
  });

  it('needs a feature key before it looks at the names, and a value of enabled or disabled', async () => {
    assert.deepEqual(await shares(4, { names: 5 }), {
      status: 'failure',
      operation: 'ChangeCIFSShareFeatureConfiguration',
      error: { errorCode: 40018, description: 'Received invalid feature key in request', errorID: '@@invalid-share-feature-input' },
    });
    assert.deepEqual((await shares(4, { folderRedirection: 'on', names: ['x'] })).error, {
      errorCode: 40018,
      description: 'Received invalid configuration value for: folderRedirection <on>',
      errorID: '@@invalid-config-value',
      args: 'folderRedirection',
    });
  });

  it('succeeds when some shares change, and fails as a whole when none does', async () => {
    const [first] = seedNames();
    const partly = await shares(4, { encryption: 'enabled', names: ['ghost1', first, 'ghost2'] });
    assert.equal(partly.status, 'success');
    assert.equal(partly.successfulCount, '1');
    assert.deepEqual(partly.failedList, [
      { errorCode: sim.status.NO_SUCH_SHARE, name: 'ghost1' },
      { errorCode: sim.status.NO_SUCH_SHARE, name: 'ghost2' },
    ]);
    const empty = await shares(4, { encryption: 'enabled', names: [] });
    assert.deepEqual(empty.error, {
      errorCode: 41452,
      description: 'Failed to change configuration of all the specified shares',
      errorID: '@@failed-to-change-all-cifs-shares-configuration',
    });
  });
});

describe('RemoveCIFSShare', () => {
  it('removes in request order and reports each name', async () => {
    const [first, second] = seedNames();
    sim.mgmt.fail({ call: 'CIFSLIB_RemoveShare', status: 5, name: second });
    const mark = logs.mark();
    const answer = await shares(5, { names: [first, second, 'ghost', first] });
    assert.deepEqual(answer, {
      status: 'success',
      operation: 'RemoveCIFSShare',
      successfulCount: '1',
      successfulList: [{ name: first }],
      failedCount: '3',
      failedList: [
        { errorCode: 5, name: second },
        { errorCode: sim.status.NO_SUCH_SHARE, name: 'ghost' },
        { errorCode: sim.status.NO_SUCH_SHARE, name: first },
      ],
    });
    assert.deepEqual(sim.mgmt.calls().map((c) => c.record), [first, second, 'ghost', first].map((n) => nameRecord(n)));
    assert.ok(!seedNames().includes(first));
    assert.ok(logs.since(mark).map(logs.message).includes(`Failed to remove share: ${second}, error: 5`));
  });

  it('fails as a whole for an empty list or when every removal fails', async () => {
    const expected = { errorCode: 41453, description: 'Failed to remove all the specified shares', errorID: '@@failed-to-remove-all-cifs-shares' };
    assert.deepEqual(await shares(5, { names: [] }), { status: 'failure', operation: 'RemoveCIFSShare', error: expected });
    const many = Array.from({ length: 3000 }, (_, i) => `ghost${i}`);
    const answer = await shares(5, { names: many });
    assert.deepEqual(answer.error, expected);
    assert.equal(answer.failedCount, '3000');
    assert.equal(answer.failedList[2999].name, 'ghost2999');
  });

  it('needs an array of strings, and removes nothing otherwise', async () => {
    assert.deepEqual(await shares(5, {}), {
      status: 'failure',
      operation: 'RemoveCIFSShare',
      error: { errorCode: 40022, description: 'Failed to get array length of names list', errorID: '@@failed-to-get-array-length-of-shares' },
    });
    assert.deepEqual((await shares(5, { names: [seedNames()[0], 3] })).error, {
      errorCode: 40004, description: "Failed to extract/convert: 'names'", errorID: '@@failed-to-extract-convert', args: 'names',
    });
    assert.deepEqual(sim.mgmt.calls(), []);
  });
});

describe('share names that do not fit the per-name record', () => {
  it('fails such a name without sending it, and sends one of 81 bytes', async () => {
    const fits = 'n'.repeat(81);
    const tooLong = 'n'.repeat(82);
    const multibyte = '\u00e9'.repeat(41); // 82 bytes
    const answer = await shares(5, { names: [tooLong, fits, multibyte] });
    assert.deepEqual(answer.failedList.map((e) => [e.name, e.errorCode]), [
      [tooLong, 40018],
      [fits, sim.status.NO_SUCH_SHARE],
      [multibyte, 40018],
    ]);
    assert.equal(answer.error.errorCode, 41453);
    assert.deepEqual(sim.mgmt.calls().map((c) => c.record), [nameRecord(fits)]);
    const feature = await shares(4, { encryption: 'enabled', names: ['x'.repeat(5000)] });
    assert.equal(feature.failedList[0].errorCode, 40018);
    assert.equal(sim.mgmt.calls().length, 1);
  });
});
