'use strict';
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');
const logs = require('./support/logs');
const { shares } = require('./support/operations');

const config = (operation, fields = {}) =>
  shares(operation, {
    name: 'proj', volumeName: 'DATA', relativePath: 'work/proj',
    encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'enabled', ...fields,
  });
const hex = (text) => Buffer.from(text.replace(/\s+/g, ''), 'hex');

beforeEach(() => sim.reset());

describe('CreateCIFSShare and ChangeCIFSShareConfiguration records', () => {
  it('sends the record byte for byte without comment and new name', async () => {
    assert.deepEqual(await config(2), { status: 'success', operation: 'CreateCIFSShare' });
    const [call] = sim.mgmt.calls();
    assert.equal(call.call, 'CIFSLIB_CreateShare');
    assert.deepEqual(call.record, hex(`
      0000 0000  3a000000  00000000  01 00 01 00
      00000000  05000000  ffffffff  0a000000
      00000000  ffffffff  00000000  14000000
      70726f6a00 4441544100 776f726b2f70726f6a00`));
  });

  it('adds the comment and then the new name, with mask 0x3F', async () => {
    sim.mgmt.setShares([{ name: 'proj', volumeName: 'DATA', relativePath: 'work/proj', absolutePath: '/DATA/work/proj', comment: '', type: 0, nameSpace: 4, encryption: false, folderRedirection: false, atmBackup: false, openFilesCount: 0 }]);
    const answer = await config(3, { comment: 'hi', newName: 'project' });
    assert.deepEqual(answer, { status: 'success', operation: 'ChangeCIFSShareConfiguration' });
    const { record } = sim.mgmt.calls()[0];
    assert.equal(record.readUInt32LE(4), 0x3f);
    assert.equal(record.readUInt32LE(24), 20, 'comment after the relative path');
    assert.equal(record.readUInt32LE(36), 23, 'new name last');
    assert.equal(record.readUInt32LE(44), 31);
    assert.equal(record.subarray(48 + 23).toString(), 'project\0');
    assert.ok(sim.mgmt.shares().some((s) => s.name === 'project' && s.comment === 'hi'));
  });

  it('carries texts of any length', async () => {
    const comment = 'c'.repeat(100000);
    assert.equal((await config(2, { comment })).status, 'success');
    assert.equal(sim.mgmt.calls()[0].record.readUInt32LE(44), 5 + 5 + 10 + 100001);
  });

  it('passes the library refusals through with their own texts and tags', async () => {
    const existing = sim.mgmt.shares()[0];
    const created = await config(2, { name: existing.name });
    assert.deepEqual(created.error, { errorCode: sim.status.SHARE_EXISTS, description: 'Failed to create new CIFS share', errorID: '@@failed-to-create-cifs-share' });
    const changed = await config(3, { name: 'no-such-share' });
    assert.deepEqual(changed.error, {
      errorCode: sim.status.NO_SUCH_SHARE,
      description: 'Failed to change configuration of the share',
      errorID: '@@failed-to-change-cifs-share-configuration',
    });
    const [a, b] = sim.mgmt.shares();
    const renamed = await config(3, { name: a.name, volumeName: a.volumeName, newName: b.name });
    assert.equal(renamed.error.errorCode, sim.status.NAME_TAKEN);
    assert.equal((await config(2, { volumeName: 'NOVOL' })).error.errorCode, sim.status.NO_SUCH_VOLUME);
  });
});

describe('share configuration parser', () => {
  const extractFailure = (key, code = 40011) => ({
    errorCode: code, description: `Failed to extract/convert: ${key}`, errorID: '@@failed-to-extract-convert', args: key,
  });

  it('reads the keys in order, stops at the first failure and logs it with the operation', async () => {
    const mark = logs.mark();
    assert.deepEqual((await config(2, { name: undefined })).error, extractFailure('name'));
    assert.deepEqual((await config(2, { newName: 7 })).error, extractFailure('newName'));
    assert.deepEqual((await config(2, { volumeName: undefined, comment: 5 })).error, extractFailure('volumeName'));
    assert.deepEqual((await config(3, { relativePath: null })).error, extractFailure('relativePath'));
    assert.deepEqual((await config(2, { comment: false })).error, extractFailure('comment'));
    assert.deepEqual((await config(2, { encryption: undefined, atmBackup: 'x' })).error, extractFailure('encryption'));
    const lastFeature = await config(2, { atmBackup: undefined });
    assert.equal(lastFeature.operation, 'CreateCIFSShare');
    assert.deepEqual(lastFeature.error, extractFailure('atmBackup'));
    assert.deepEqual(sim.mgmt.calls(), []);
    assert.ok(logs.since(mark).map(logs.message).includes('Failed to get data for fetching share configuration, error: 40011'));
  });

  it('accepts only "enabled" and "disabled", exactly', async () => {
    for (const value of ['Enabled', 'enabled ', 'on', '', 'x'.repeat(100)]) {
      const answer = await config(2, { encryption: value });
      assert.deepEqual(answer.error, {
        errorCode: 40018,
        description: `Received invalid configuration value for: encryption <${value.slice(0, 63)}>`.slice(0, 128),
        errorID: '@@invalid-config-value',
        args: 'encryption',
      }, value);
    }
  });
});
