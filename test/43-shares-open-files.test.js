'use strict';
// Open files of a share and closing them, through the shares sphere against
// the simulated library: the request pages as the library received them, the
// filter refusals, the answers, hostile results, and no shared memory object
// left behind by any of them.
const { describe, it, beforeEach, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');
const logs = require('./support/logs');
const { shares } = require('./support/operations');

const list = (fields) => shares(6, fields);
const { ABSENT, u32 } = sim.openFileRecords;
const filters = (matchType, ...entries) => ({ advancedFiltersInfo: { matchType, filters: entries } });

beforeEach(() => sim.reset());
afterEach(sim.noSharedMemoryLeft);

describe('ListOpenFilesOfShare request page', () => {
  it('holds the volume name alone when cookie and filters are absent; counts of another type read as 0', async () => {
    const answer = await list({ volumeName: 'DATA', ignoreCount: '5', returnCount: null });
    assert.equal(answer.status, 'success');
    assert.deepEqual(sim.mgmt.lastRecord(), Buffer.concat([u32(0, 0, 0, ABSENT, 0, ABSENT, 5), Buffer.from('DATA\0')]));
  });

  it('lays out the cookie and several filters to the byte', async () => {
    const answer = await list({
      volumeName: 'DATA', ignoreCount: 1, returnCount: 2, cookie: 'ck',
      ...filters('none', { filterBy: 'type', patterns: ['pdf', 'document'] }, { filterBy: 'search-name', patterns: ['rep'] }),
    });
    const block = Buffer.concat([
      Buffer.from([2, 0, 0, 0]), u32(3, 73),
      u32(1), Buffer.from([2, 0, 0, 0]), u32(0, 5, 17), Buffer.from('type\0pdf\0documen\0'),
      u32(2), Buffer.from([1, 0, 0, 0]), u32(0, 12, 16), Buffer.from('search-name\0rep\0'),
    ]);
    assert.deepEqual(sim.mgmt.lastRecord(), Buffer.concat([u32(0, 1, 2, 5, 0, 8, 93), Buffer.from('DATA\0ck\0'), block]));
    // The cookie was never issued: the library's refusal names the volume.
    assert.deepEqual(answer, {
      status: 'failure',
      operation: 'ListOpenFilesOfShare',
      error: {
        errorCode: sim.status.BAD_COOKIE,
        description: 'Failed to list open files of share/volume: DATA',
        errorID: '@@failed-to-list-all-open-files',
        args: 'DATA',
      },
    });
  });

  it('cuts texts to their bounds without splitting a character', async () => {
    await list({
      volumeName: 'V'.repeat(300), cookie: 'c'.repeat(40),
      ...filters('any', { filterBy: 'type', patterns: ['abcdefghij', 'éééé'] },
        { filterBy: 'search-name', patterns: ['s'.repeat(800)] }),
    });
    const block = Buffer.concat([
      Buffer.from([2, 0, 0, 0]), u32(2, 840),
      u32(1), Buffer.from([2, 0, 0, 0]), u32(0, 5, 20), Buffer.from('type\0abcdefg\0ééé\0'),
      u32(2), Buffer.from([1, 0, 0, 0]), u32(0, 12, 780), Buffer.from(`search-name\0${'s'.repeat(767)}\0`),
    ]);
    assert.deepEqual(sim.mgmt.lastRecord(), Buffer.concat([u32(0, 0, 0, 256, 0, 288, 1140),
      Buffer.from(`${'V'.repeat(255)}\0${'c'.repeat(31)}\0`), block]));
  });

  it('carries an empty filter set as a block header, and 255 patterns whole', async () => {
    await list({ volumeName: 'DATA', ...filters('any') });
    assert.deepEqual(sim.mgmt.lastRecord().subarray(28 + 5), Buffer.concat([Buffer.from([0, 0, 0, 0]), u32(2, 0)]));
    await list({ volumeName: 'DATA', ...filters('all', { filterBy: 'type', patterns: Array(255).fill('x') }) });
    assert.deepEqual(sim.mgmt.lastRecord().subarray(28 + 5), Buffer.concat([Buffer.from([1, 0, 0, 0]), u32(1, 535),
      u32(1), Buffer.from([255, 0, 0, 0]), u32(0, 5, 515), Buffer.from(`type\0${'x\0'.repeat(255)}`)]));
  });
});

describe('ListOpenFilesOfShare request refusals', () => {
  const type = (patterns) => ({ filterBy: 'type', patterns });
  const cases = [
    ['volumeName missing', { volumeName: undefined }, 40011, "Failed to extract/convert 'volumeName'", '@@failed-to-extract-convert', 'volumeName'],
    ['cookie not a string', { cookie: 5 }, 40011, "Failed to extract/convert 'cookie'", '@@failed-to-extract-convert', 'cookie'],
    ['matchType missing', { advancedFiltersInfo: {} }, 40002, "Failed to extract/convert 'matchType'", '@@failed-to-extract-convert', 'matchType'],
    ['advancedFiltersInfo null', { advancedFiltersInfo: null }, 40002, "Failed to extract/convert 'matchType'", '@@failed-to-extract-convert', 'matchType'],
    ['matchType in other letters', filters('ALL'), 41200, 'Invalid advance filter match type entered', '@@invalid-adv-filter-match-type-entered'],
    ['matchType a prefix of one', filters('al'), 41200, 'Invalid advance filter match type entered', '@@invalid-adv-filter-match-type-entered'],
    ['filters missing', { advancedFiltersInfo: { matchType: 'all' } }, 40022, 'Failed to get array length of filters list', '@@failed-to-get-array-length-of-af'],
    ['filterBy not accepted', filters('all', { filterBy: 'Type', patterns: [] }), 40018, 'Received invalid/unsupported filter type: Type', '@@invalid-filter-type'],
    ['filterBy not a string', filters('all', { filterBy: 5, patterns: [] }), 40004, 'Failed to convert/extract filterBy values', '@@failed-to-extract-convert', 'filterBy'],
    ['patterns not an array', filters('all', { filterBy: 'type', patterns: 'pdf' }), 40022, 'Failed to get array length of patterns list', '@@failed-to-get-array-length-of-patterns'],
    ['pattern not a string', filters('all', type(['pdf', 7])), 40004, 'Failed to convert/extract patterns values', '@@failed-to-extract-convert', 'patterns'],
    ['256 filters', filters('all', ...Array(256).fill(type(['a']))), 41455, 'Too many advanced filters: 256, at most 255', '@@failed-to-get-array-length-of-af'],
    ['256 patterns', filters('all', type(Array(256).fill('a'))), 41455, 'Too many patterns in advanced filter type: 256, at most 255', '@@failed-to-get-array-length-of-patterns'],
    ['filters over the page', filters('any', { filterBy: 'search-name', patterns: Array(6).fill('s'.repeat(767)) }), 41455,
      'Advanced filters do not fit in the request to list open files', '@@memory-allocation-failure'],
  ];
  for (const [name, fields, errorCode, description, errorID, args] of cases) {
    it(`${name}: ${errorCode}, nothing sent`, async () => {
      const answer = await list({ volumeName: 'DATA', ...fields });
      assert.deepEqual(answer, {
        status: 'failure',
        operation: 'ListOpenFilesOfShare',
        error: { errorCode, description, errorID, ...(args ? { args } : {}) },
      });
      assert.deepEqual(sim.mgmt.calls(), []);
    });
  }

  it('logs the filter failures as the parser and the element reader', async () => {
    const mark = logs.mark();
    await list({ volumeName: 'DATA', ...filters('ANY') });
    await list({ volumeName: 'DATA', ...filters('any', { filterBy: 'size', patterns: [] }) });
    const lines = logs.since(mark).map((l) => l.text);
    assert.ok(lines.some((l) => /<get_list_openfiles_input_data:\d+> Invalid advance filter match type entered: ANY, error: 41200$/.test(l)), lines.join('\n'));
    assert.ok(lines.some((l) => /<get_list_openfiles_advanced_filter_input_data:\d+> Received invalid\/unsupported filter type: size, error: 40018$/.test(l)));
  });
});

describe('ListOpenFilesOfShare answers', () => {
  it('shows access rights, lock levels, types and unsigned numbers', async () => {
    sim.mgmt.setOpenFiles([
      { shareName: 'home', name: 'report.tar.gz', sessionID: 2 ** 31, ID: 0xffffffff, accessMask: 0x60000003, lockLevel: 10,
        userName: 'ü', clientIPAddress: '10.0.0.1' },
      { shareName: 'home', name: '.profile', accessMask: 0, lockLevel: 11 },
      { shareName: 'home', name: 'README', accessMask: 0x9fffffff, lockLevel: 0xffffffff },
      { shareName: 'home', name: 'notes.', accessMask: 0x0000000c, lockLevel: 4 },
      { shareName: 'home', name: '..x', accessMask: 0, lockLevel: 0 },
    ]);
    const answer = await list({ volumeName: 'home' });
    const file = (name, fields) => ({ sessionID: 0, ID: 0, name, fullPath: `/HOME/users/${name}`, userName: '', clientIPAddress: '', ...fields });
    assert.deepEqual(answer, {
      status: 'success',
      operation: 'ListOpenFilesOfShare',
      openFiles: {
        count: 5,
        cookie: '',
        files: [
          file('report.tar.gz', { sessionID: 2 ** 31, ID: 0xffffffff, userName: 'ü', clientIPAddress: '10.0.0.1',
            accessModes: ['RD', 'WR', 'DA', 'DD'], lockLevel: 'lease', type: 'gz' }),
          file('.profile', { accessModes: [], lockLevel: 'unknown', type: '' }),
          file('README', { accessModes: ['RD', 'WR', 'DR', 'DW'], lockLevel: 'unknown', type: '' }),
          file('notes.', { accessModes: ['DR', 'DW'], lockLevel: 'RH', type: '' }),
          file('..x', { accessModes: [], lockLevel: 'batch', type: 'x' }),
        ],
      },
    });
  });

  it('answers the files that the filters in use select, as the match type combines them', async () => {
    const matched = await list({ volumeName: 'DATA', ...filters('all', { filterBy: 'type', patterns: ['docx', 'csv'] },
      { filterBy: 'search-name', patterns: ['draft'] }) });
    assert.deepEqual(matched.openFiles.files.map((f) => f.name), ['draft.docx']);
  });

  it('pages through more files than a page with the cookie, nothing lost or repeated; an empty page has no files', async () => {
    const names = Array.from({ length: 7 }, (_, i) => `f${i}.txt`);
    sim.mgmt.setOpenFiles(names.map((name) => ({ shareName: 'home', name })));
    const seen = [];
    const counts = [];
    let cookie;
    do {
      const { openFiles } = await list({ volumeName: 'home', returnCount: 3, ...(cookie ? { cookie } : {}) });
      counts.push(openFiles.count);
      seen.push(...openFiles.files.map((f) => f.name));
      ({ cookie } = openFiles);
    } while (cookie);
    assert.deepEqual(seen, names);
    assert.deepEqual(counts, [3, 3, 1]);
    assert.deepEqual((await list({ volumeName: 'home', ignoreCount: 5 })).openFiles.files.map((f) => f.name), ['f5.txt', 'f6.txt']);
    const none = await list({ volumeName: 'home', ...filters('all', { filterBy: 'type', patterns: ['zzz'] }) });
    assert.deepEqual(none.openFiles, { count: 0, cookie: '', files: [] });
  });
});

describe('CloseOpenFile', () => {
  const closeRecord = (path) => Buffer.concat([Buffer.alloc(40), Buffer.from(path), Buffer.alloc(4097 - Buffer.byteLength(path))]);

  it('closes each path, reports partial failure, and never sends a path over 4096 bytes', async () => {
    sim.mgmt.setOpenFiles([{ shareName: 'home', name: 'a' }, { shareName: 'home', name: 'b' }]);
    sim.mgmt.fail({ call: 'CIFSLIB_CloseOpenFile', status: -7, name: '/HOME/users/b' });
    const tooLong = `/${'p'.repeat(4096)}`;
    const longest = `/${'p'.repeat(4095)}`;
    const mark = logs.mark();
    const answer = await shares(7, { openFiles: ['/HOME/users/a', '/HOME/users/b', tooLong, longest] });
    assert.deepEqual(answer, {
      status: 'success',
      operation: 'CloseOpenFile',
      successfulCount: '1',
      successfulList: [{ name: '/HOME/users/a' }],
      failedCount: '3',
      failedList: [
        { errorCode: -7, name: '/HOME/users/b' },
        { errorCode: 41455, name: tooLong },
        { errorCode: sim.status.NO_SUCH_OPEN_FILE, name: longest },
      ],
    });
    assert.deepEqual(sim.mgmt.calls().map((c) => c.record), ['/HOME/users/a', '/HOME/users/b', longest].map(closeRecord));
    assert.ok(logs.since(mark).map(logs.message).includes('Failed to close file: /HOME/users/b, error: -7'));
  });

  it('fails as a whole when every close fails, an empty list included', async () => {
    const error = { errorCode: 41454, description: 'Failed to close the specified file(s)', errorID: '@@failed-to-close-open-file' };
    assert.deepEqual(await shares(7, { openFiles: [] }), { status: 'failure', operation: 'CloseOpenFile', error });
    const answer = await shares(7, { openFiles: ['/nowhere'] });
    assert.deepEqual(answer.error, error);
    assert.deepEqual(answer.failedList, [{ errorCode: sim.status.NO_SUCH_OPEN_FILE, name: '/nowhere' }]);
  });

  it('needs an array of path strings', async () => {
    assert.deepEqual((await shares(7, {})).error,
      { errorCode: 40022, description: 'Failed to get array length of openFiles list', errorID: '@@failed-to-get-array-length-of-files' });
    assert.deepEqual((await shares(7, { openFiles: ['/a', 5] })).error,
      { errorCode: 40004, description: "Failed to extract/convert: 'fullPath'", errorID: '@@failed-to-extract-convert', args: 'fullPath' });
    assert.deepEqual(sim.mgmt.calls(), []);
  });
});

describe('CloseAllOpenFilesOfShare', () => {
  it('closes every file of the volume with one record', async () => {
    assert.deepEqual(await shares(8, { volumeName: 'DATA' }), { status: 'success', operation: 'CloseAllOpenFilesOfShare' });
    const header = Buffer.alloc(48);
    header.writeUInt32LE(5, 44);
    assert.deepEqual(sim.mgmt.calls()[0].record, Buffer.concat([header, Buffer.from('DATA\0')]));
    assert.deepEqual([...new Set(sim.mgmt.openFiles().map((f) => f.shareName))].sort(), ['SYS', 'home']);
  });

  it('reports the volume the library refused, and a missing volume name', async () => {
    assert.deepEqual((await shares(8, { volumeName: 'nope' })).error, {
      errorCode: sim.status.NO_SUCH_VOLUME,
      description: 'Failed to close all open files of volume: nope',
      errorID: '@@failed-to-close-all-open-files',
    });
    assert.deepEqual((await shares(8, {})).error,
      { errorCode: 40011, description: 'Failed to extract/convert: volumeName', errorID: '@@failed-to-extract-convert', args: 'volumeName' });
  });
});
