'use strict';
// The simulated platform libraries, through their control addon only: what a
// test sets up must read back the same, and reset must undo all of it.
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const sim = require('./support/sim');
const { shareRecord } = require('./support/records');

beforeEach(() => sim.reset());

describe('status codes', () => {
  it('are distinct and non-zero for every refusal', () => {
    const names = ['SHARE_EXISTS', 'NO_SUCH_SHARE', 'NO_SUCH_VOLUME', 'NAME_TAKEN', 'BAD_RECORD', 'CONTEXT_EXISTS',
      'NO_SUCH_CONTEXT', 'EMPTY_CONTEXT', 'NOT_IMPLEMENTED'];
    const values = names.map((n) => sim.status[n]);
    for (const v of values) assert.ok(Number.isInteger(v) && v > 0);
    assert.equal(new Set(values).size, names.length);
    assert.equal(sim.identity.status.BUFFER_TOO_SMALL, -9009);
  });
});

describe('libraries on disk', () => {
  it('sit where LD_LIBRARY_PATH is pointed', () => {
    assert.ok(fs.existsSync(path.join(sim.dir, 'libcifsmgmtclient.so')));
    assert.ok(fs.existsSync(path.join(sim.dir, 'libtoral.so.0')));
    assert.ok(fs.existsSync(path.join(sim.partialDir, 'libcifsmgmtclient.so')));
  });
});

describe('reset', () => {
  it('restores the seed after every kind of change', () => {
    const seed = { shares: sim.mgmt.shares(), contexts: sim.mgmt.contexts(), volumes: sim.mgmt.volumes() };
    sim.mgmt.setShares([]);
    sim.mgmt.setContexts([]);
    sim.mgmt.setVolumes(['X']);
    sim.mgmt.fail({ call: 'CIFSLIB_ListAllShares', status: 9 });
    sim.mgmt.delay(5);
    sim.reset();
    assert.deepEqual(sim.mgmt.shares(), seed.shares);
    assert.deepEqual(sim.mgmt.contexts(), seed.contexts);
    assert.deepEqual(sim.mgmt.volumes(), seed.volumes);
    assert.deepEqual(sim.mgmt.failures(), []);
    assert.deepEqual(sim.mgmt.calls(), []);
    assert.deepEqual(sim.identity.calls(), []);
  });

  it('seeds several share types, name spaces and an admin share', () => {
    const shares = sim.mgmt.shares();
    assert.ok(shares.length >= 5);
    assert.ok(new Set(shares.map((s) => s.type)).size >= 3);
    const admin = shares.find((s) => s.name === '_admin');
    assert.equal(admin.nameSpace, 0xffffffff);
    for (const s of shares) {
      assert.equal(typeof s.comment, 'string');
      assert.ok(sim.mgmt.volumes().includes(s.volumeName));
    }
    assert.ok(shares.some((s) => s.encryption) && shares.some((s) => !s.encryption));
    assert.equal(sim.mgmt.contexts().length, 3);
  });
});

describe('shares', () => {
  it('round-trip with defaults filled in', () => {
    sim.mgmt.setShares([
      { name: 'a', volumeName: 'DATA', relativePath: 'x/y' },
      { name: 'b', volumeName: 'V', relativePath: '', absolutePath: '/elsewhere', comment: 'c', type: 9,
        nameSpace: 3, encryption: true, folderRedirection: true, atmBackup: true, openFilesCount: 4 },
    ]);
    assert.deepEqual(sim.mgmt.shares(), [
      { name: 'a', volumeName: 'DATA', relativePath: 'x/y', absolutePath: '/DATA/x/y', comment: '', type: 0,
        nameSpace: 0, encryption: false, folderRedirection: false, atmBackup: false, openFilesCount: 0 },
      { name: 'b', volumeName: 'V', relativePath: '', absolutePath: '/elsewhere', comment: 'c', type: 9,
        nameSpace: 3, encryption: true, folderRedirection: true, atmBackup: true, openFilesCount: 4 },
    ]);
  });

  it('refuses a list the model cannot hold and keeps the old one', () => {
    const before = sim.mgmt.shares();
    assert.throws(() => sim.mgmt.setShares([{ name: 'dup' }, { name: 'DUP' }]), /refused/);
    assert.throws(() => sim.mgmt.setShares([{ name: '' }]), /refused/);
    assert.throws(() => sim.mgmt.setShares([{ volumeName: 'DATA' }]), /refused/);
    assert.throws(() => sim.mgmt.setShares([{ name: 'n', nameSpace: -1 }]), TypeError);
    assert.throws(() => sim.mgmt.setShares([{ name: 'n', encryption: 'yes' }]), TypeError);
    assert.throws(() => sim.mgmt.setShares('n'), TypeError);
    assert.deepEqual(sim.mgmt.shares(), before);
  });
});

describe('contexts and volumes', () => {
  it('round-trip in order, including unusual texts', () => {
    const texts = ['.b.org', '', 'ünïcode.ctx', '.a.org'];
    sim.mgmt.setContexts(texts);
    assert.deepEqual(sim.mgmt.contexts(), texts);
    sim.mgmt.setVolumes(['VOL1', 'VOL2']);
    assert.deepEqual(sim.mgmt.volumes(), ['VOL1', 'VOL2']);
  });

  it('refuse non-texts and repeated volumes', () => {
    assert.throws(() => sim.mgmt.setContexts(['a', 5]), TypeError);
    assert.throws(() => sim.mgmt.setVolumes(['V', 'v']), /refused/);
  });
});

describe('failure injection', () => {
  it('keeps rules in order with their remaining count', () => {
    sim.mgmt.fail({ call: 'CIFSLIB_RemoveShare', status: 5, name: 'share1', times: 2 });
    sim.mgmt.fail({ call: 'CIFSLIB_AddUserContext', status: -1 });
    assert.deepEqual(sim.mgmt.failures(), [
      { call: 'CIFSLIB_RemoveShare', status: 5, name: 'share1', times: 2 },
      { call: 'CIFSLIB_AddUserContext', status: -1, name: '', times: 0 },
    ]);
  });

  it('rejects a call name the library does not have', () => {
    assert.throws(() => sim.mgmt.fail({ call: 'CIFSLIB_RemoveShares', status: 5 }), /refused/);
    assert.throws(() => sim.mgmt.fail({ call: 'CIFSLIB_RemoveShare' }), TypeError);
    assert.deepEqual(sim.mgmt.failures(), []);
  });
});

describe('argument checks', () => {
  it('reject raw results and identities of the wrong shape', () => {
    assert.throws(() => sim.mgmt.rawShareList(['not a buffer']), TypeError);
    for (const slot of [{}, { end: false }, { outside: 'x' }, { outside: Buffer.alloc(1), end: true }])
      assert.throws(() => sim.mgmt.rawShareList([slot]), TypeError, JSON.stringify(slot));
    assert.throws(() => sim.mgmt.rawShareList([], { count: -1 }), TypeError);
    assert.throws(() => sim.mgmt.rawContexts({ block: 'abc' }), TypeError);
    assert.throws(() => sim.identity.set({ supervisr: false }), /unknown key/);
    assert.throws(() => sim.identity.set({ neededCapacity: 1.5 }), TypeError);
    sim.mgmt.rawShareList([shareRecord({ texts: { name: 'x' } }), null, Buffer.alloc(0), { end: true }, { outside: Buffer.alloc(48) }], { count: 3 });
    sim.mgmt.rawContexts({ count: 2 });
    sim.identity.set({ dn: 'cn=a', supervisor: false, sevStatus: -3 });
  });
});

describe('share record reader', () => {
  const record = (strings, offsets, stringsLength = strings.length) => {
    const buf = Buffer.alloc(48 + strings.length, 0);
    buf.writeUInt32LE(0x3a, 4);
    buf[13] = 1;
    [16, 20, 24, 28, 32, 36].forEach((at, i) => buf.writeUInt32LE(offsets[i] ?? 0xffffffff, at));
    buf.writeUInt32LE(stringsLength, 44);
    buf.write(strings, 48, 'latin1');
    return buf;
  };

  it('reads the fields and texts of a record', () => {
    const parsed = sim.records.parse(record('ab\0V\0dir\0', [0, 3, undefined, 5]));
    assert.equal(parsed.changeMask, 0x3a);
    assert.equal(parsed.folderRedirection, 1);
    assert.deepEqual([parsed.name, parsed.volumeName, parsed.comment, parsed.relativePath], ['ab', 'V', null, 'dir']);
    assert.equal(parsed.offsets.comment, 0xffffffff);
  });

  it('reads texts outside the declared area as missing', () => {
    const parsed = sim.records.parse(record('ab\0V\0', [0, 3, 9], 2));
    assert.equal(parsed.name, null, 'its NUL lies past the declared length');
    assert.equal(parsed.volumeName, null);
    assert.equal(parsed.comment, null);
    assert.equal(parsed.stringsLength, 2);
  });
});
