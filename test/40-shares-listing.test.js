'use strict';
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');
const { shareRecord } = require('./support/records');
const logs = require('./support/logs');
const { shares } = require('./support/operations');

const fetchShares = () => shares(1);
const share = (fields) => ({
  volumeName: 'DATA', relativePath: 'p', absolutePath: '/DATA/p', comment: '', type: 0, nameSpace: 0,
  encryption: false, folderRedirection: false, atmBackup: false, openFilesCount: 0, ...fields,
});

beforeEach(() => sim.reset());

describe('FetchCIFSShares', () => {
  it('lists every share with its type, texts, name space and features, in order', async () => {
    sim.mgmt.setShares([
      share({ name: 'docs', relativePath: 'pub/docs', absolutePath: '/DATA/pub/docs', comment: 'Documents', nameSpace: 4, encryption: true, atmBackup: true }),
      share({ name: 'SYS', volumeName: 'SYS', type: 2, nameSpace: 0 }),
      share({ name: 'IPC$', type: 3, nameSpace: 2 }),
      share({ name: 'custom', type: 4, nameSpace: 1, folderRedirection: true }),
      share({ name: 'dfs', type: 5, nameSpace: 0 }),
    ]);
    const answer = await fetchShares();
    assert.deepEqual(Object.keys(answer), ['status', 'operation', 'shares']);
    assert.equal(answer.operation, 'FetchCIFSShares');
    assert.deepEqual(answer.shares[0], {
      name: 'docs', type: 'Disk Directory Tree', comment: 'Documents', volumeName: 'DATA', relativePath: 'pub/docs',
      nameSpace: 'long', absolutePath: '/DATA/pub/docs', encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'enabled',
    });
    assert.deepEqual(Object.keys(answer.shares[0]), [
      'name', 'type', 'comment', 'volumeName', 'relativePath', 'nameSpace', 'absolutePath', 'encryption', 'folderRedirection', 'atmBackup',
    ]);
    assert.deepEqual(answer.shares.map((s) => [s.name, s.type, s.nameSpace]), [
      ['docs', 'Disk Directory Tree', 'long'],
      ['SYS', 'System', 'dos'],
      ['IPC$', 'Inter Process Communication', 'unix'],
      ['custom', 'Custom Data Share', 'mac'],
      ['dfs', 'Global DFS namespace', 'dos'],
    ]);
    assert.equal(answer.shares[3].folderRedirection, 'enabled');
  });

  it('names no type for 1 or above 5, and gives an unknown name space only to the admin share', async () => {
    sim.mgmt.setShares([
      share({ name: 'ADMIN', type: 1, nameSpace: 0xffffffff }),
      share({ name: '_Admin', type: 9, nameSpace: 0xffffffff }),
      share({ name: 'data', nameSpace: 0xffffffff }),
      share({ name: 'three', nameSpace: 3 }),
    ]);
    const { shares } = await fetchShares();
    assert.deepEqual(shares.map((s) => [s.type, s.nameSpace]), [['', 'long'], ['', 'long'], ['Disk Directory Tree', undefined], ['Disk Directory Tree', undefined]]);
    assert.ok(!('nameSpace' in shares[2]));
  });

  it('answers a library failure with its status', async () => {
    sim.mgmt.fail({ call: 'CIFSLIB_ListAllShares', status: 4 });
    assert.deepEqual(await fetchShares(), {
      status: 'failure',
      operation: 'FetchCIFSShares',
      error: { errorCode: 4, description: 'Failed to get the list of cifs shares', errorID: '@@failed-to-get-the-list-of-cifs-shares' },
    });
  });
});

describe('FetchCIFSShares on malformed library results', () => {
  const good = { name: 'ok', volumeName: 'V', comment: 'c', relativePath: 'r', absolutePath: '/V/r' };

  it('treats any non-zero feature byte as enabled, and an absent comment as empty text', async () => {
    sim.mgmt.rawShareList([shareRecord({ texts: { ...good, comment: undefined }, features: [2, 0, 255] })]);
    const [listed] = (await fetchShares()).shares;
    assert.deepEqual([listed.encryption, listed.folderRedirection, listed.atmBackup], ['enabled', 'disabled', 'enabled']);
    assert.equal(listed.comment, '');
  });

  it('answers a null block, like an empty model, with no shares', async () => {
    sim.mgmt.rawShareList(null);
    assert.deepEqual(await fetchShares(), { status: 'success', operation: 'FetchCIFSShares', shares: [] });
    sim.mgmt.setShares([]);
    assert.deepEqual((await fetchShares()).shares, []);
  });

  it('skips null records silently, leaving their place empty', async () => {
    sim.mgmt.rawShareList([shareRecord({ texts: good }), null, shareRecord({ texts: { ...good, name: 'last' } })]);
    const mark = logs.mark();
    const { shares } = await fetchShares();
    assert.equal(shares.length, 3);
    assert.ok(!(1 in shares));
    assert.equal(shares[2].name, 'last');
    assert.deepEqual(logs.since(mark).map(logs.message), []);
  });

  it('never reads outside a record whose offsets or lengths lie', async () => {
    sim.mgmt.rawShareList([
      shareRecord({ texts: good, offsets: { volumeName: 5000, relativePath: 0x7fffffff } }),
      shareRecord({ texts: good, stringsLength: 0x7fffffff }),
      shareRecord({ texts: good, stringsLength: 3 }),
      Buffer.alloc(20),
    ]);
    const mark = logs.mark();
    const { shares } = await fetchShares();
    assert.equal(shares[0].volumeName, '');
    assert.equal(shares[0].relativePath, '');
    assert.equal(shares[0].name, 'ok');
    assert.ok(!(1 in shares), 'a record whose strings run past the block is skipped');
    assert.ok(!(3 in shares), 'so is one too short for its header');
    assert.deepEqual(logs.since(mark).map(logs.message), [
      'Share record 1 of the list skipped: its strings length runs past the end of the list block',
      'Share record 3 of the list skipped: its 48-byte header runs past the end of the list block',
    ]);
    assert.equal(shares[2].name, 'ok');
    assert.equal(shares[2].volumeName, '', 'texts beyond the stated strings length are not read');
  });

  it('reads records apart from the list block by their own header, and skips one at the block\'s very end', async () => {
    sim.mgmt.rawShareList([
      shareRecord({ texts: good }),
      { outside: shareRecord({ texts: { ...good, name: 'elsewhere' } }) },
      { end: true },
      { outside: shareRecord({ texts: good, stringsLength: 65537 }) },
      { outside: shareRecord({ texts: good, offsets: { comment: 64 } }) },
      shareRecord({ texts: { ...good, name: 'last' } }),
      Buffer.alloc(0), // zero bytes long and last: it starts at the block's end
    ]);
    const mark = logs.mark();
    const { shares } = await fetchShares();
    assert.deepEqual(Object.keys(shares), ['0', '1', '4', '5']);
    assert.deepEqual([shares[0].name, shares[1].name, shares[5].name], ['ok', 'elsewhere', 'last']);
    assert.equal(shares[1].absolutePath, '/V/r');
    assert.equal(shares[4].comment, '', 'a text that does not end inside its strings reads as empty');
    const skipped = (i) => `Share record ${i} of the list skipped: its 48-byte header runs past the end of the list block`;
    assert.deepEqual(logs.since(mark).map(logs.message), [skipped(2),
      'Share record 3 of the list skipped: it lies apart from the list block and its strings length is above 65536 bytes',
      skipped(6)]);
  });

  it('reads a zero-length record inside the list as the record that follows it', async () => {
    sim.mgmt.rawShareList([Buffer.alloc(0), shareRecord({ texts: good })]);
    assert.deepEqual((await fetchShares()).shares.map((s) => s.name), ['ok', 'ok']);
  });

  it('reads no more records than the block holds, whatever its count says', async () => {
    sim.mgmt.rawShareList([shareRecord({ texts: good })], { count: 1000000 });
    const { shares } = await fetchShares();
    assert.ok(shares.length < 1000000);
    assert.equal(shares[0].name, 'ok');
  });
});
