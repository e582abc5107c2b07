'use strict';
// The module's lists have one source, its C++ tables (printed by the native
// program cifs_tables_json); every JavaScript copy and every other place that
// names them must say the same: the package's constants and types, the
// README, the API reference and the suites' own list of operations.
const { describe, it } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { nativeTables } = require('../scripts/native-tables');
const { SHARES, CONNECTIONS, CONTEXTS, LOG_LEVELS, REQUEST_KEYS, MAX_TEXT_BYTES, MAX_LIST_COPY_BYTES } = require('../lib/operations');
const { operations: coveredOperations, request, spheres: sphereOf } = require('./support/operations');
const sim = require('./support/sim');
const { CATEGORIES, CODE_CATEGORIES, TAG_CATEGORIES } = require('../lib/errors');

const root = path.join(__dirname, '..');
const read = (file) => fs.readFileSync(path.join(root, file), 'utf8');
const quoted = (text) => [...text.matchAll(/'([^']+)'/g)].map(([, value]) => value);
// The body of `pattern`'s first match in `file`, or a failure naming what is missing.
function declaration(file, pattern) {
  const match = pattern.exec(read(file));
  assert.ok(match, `${file} has no ${pattern}`);
  return match[1];
}

const tables = nativeTables();
const spheres = { shares: SHARES, connections: CONNECTIONS, contexts: CONTEXTS };
// Every operation as [sphere, number, name], in table order.
const tableOperations = Object.entries(tables.operations)
  .flatMap(([sphere, rows]) => rows.map(({ number, name }) => [sphere, number, name]));
const sorted = (rows) => [...rows].sort((a, b) => a.join().localeCompare(b.join()));

describe('the package constants and types agree with the C++ tables', () => {
  for (const [sphere, constant] of Object.entries(spheres)) {
    it(`${sphere}: lib/operations.js and index.d.ts number every operation as the table does`, () => {
      const wanted = tables.operations[sphere].map(({ name, number }) => [name, number]);
      assert.deepEqual(Object.entries(constant), wanted);
      const typed = declaration('index.d.ts', new RegExp(`export declare const ${sphere.toUpperCase()}: Readonly<\\{([^}]*)\\}>`));
      assert.deepEqual([...typed.matchAll(/(\w+): (\d+);/g)].map(([, name, number]) => [name, Number(number)]), wanted);
    });
  }

  it('log levels: LOG_LEVELS and the LogLevel type list the levels native_config_sphere accepts', () => {
    assert.deepEqual([...LOG_LEVELS], tables.logLevels);
    assert.deepEqual(quoted(declaration('index.d.ts', /export type LogLevel = ([^;]*);/)), tables.logLevels);
  });

  it('error tags: the ErrorTag type lists every tag an answer can carry, in id order', () => {
    assert.deepEqual(quoted(declaration('index.d.ts', /export type ErrorTag =([^;]*);/)), tables.errorTags.map((t) => t.tag));
  });

  it('text bounds: MAX_TEXT_BYTES holds each reader\'s buffer less its NUL, MAX_LIST_COPY_BYTES the copy bound', () => {
    const b = Object.fromEntries(Object.entries(tables.textBuffers).map(([key, size]) => [key, size - 1]));
    const library = (type) => ({ type, 'search-name': b.searchNamePattern });
    const connections = Object.fromEntries(Object.keys(MAX_TEXT_BYTES.patterns.FetchCIFSConnectionsList).map((k) => [k, b.connectionPattern]));
    assert.deepEqual([MAX_TEXT_BYTES, MAX_LIST_COPY_BYTES], [{ dn: b.dn, cookie: b.openFilesCookie, volumeName: b.openFilesVolumeName,
      matchType: b.matchType, filterBy: b.filterBy, patterns: { ListOpenFilesOfShare: library(b.openFilesTypePattern),
        FetchCIFSConnectionOpenFiles: library(b.openFilesTypePattern), FetchCIFSCachedInvalidUsersList: library(b.invalidUsersTypePattern),
        FetchCIFSConnectionsList: connections } }, tables.maxListCopyBytes]);
    assert.equal(b.invalidUsersCookie, b.openFilesCookie);
  });

  it('failure categories: every code of error_codes.h (and -1) and every tag an answer can carry has one', () => {
    const codes = [...read('src/base/error_codes.h').matchAll(/inline constexpr uint32_t status_\w+ = (\d+);/g)].map(([, code]) => Number(code));
    assert.deepEqual([...CODE_CATEGORIES.keys()].sort(), [-1, ...codes].sort());
    assert.deepEqual([...TAG_CATEGORIES.keys()].sort(), tables.errorTags.map((t) => t.tag).sort());
    assert.ok([...CODE_CATEGORIES.values(), ...TAG_CATEGORIES.values()].every((category) => CATEGORIES.includes(category)));
  });

  it('library calls: the simulator\'s LibraryCall type lists the twenty calls the module binds', () => {
    assert.equal(tables.libraryCalls.length, 20);
    assert.deepEqual(quoted(declaration('simulator.d.ts', /export type LibraryCall =([^;]*);/)), tables.libraryCalls);
  });
});

describe('the places that name operations agree with the C++ tables', () => {
  it('README.md: its operation table has every operation, with its number', () => {
    const rows = [...read('README.md').matchAll(/^\| (shares|connections|contexts) \| (\d+) \| (\w+) \|/gm)]
      .map(([, sphere, number, name]) => [sphere, Number(number), name]);
    assert.deepEqual(sorted(rows), sorted(tableOperations));
  });

  it('docs/API.md: a section for every operation, with its number', () => {
    const sections = [...read('docs/API.md').matchAll(/^### (\w+) \(`cifs_(\w+)_sphere`, operation (\d+)\)/gm)]
      .map(([, name, sphere, number]) => [sphere, Number(number), name]);
    assert.deepEqual(sorted(sections), sorted(tableOperations));
  });

  it('the suites\' operation list covers every operation, and names only calls the module binds', () => {
    assert.deepEqual(sorted(coveredOperations.map((op) => [op.sphere, op.operation, op.name])), sorted(tableOperations));
    const unknown = coveredOperations.flatMap((op) => op.calls).filter((call) => !tables.libraryCalls.includes(call));
    assert.deepEqual(unknown, []);
  });
});

// The keys a parser looks at: every key asked for (presence) or read on a
// request that answers through a Proxy. Keys the parser only reaches when
// others are missing (the first feature present, say) show when those are
// taken away, so the request is probed again without each key it touched, up
// to two at a time.
async function keysTouched(op) {
  const touched = new Set();
  const probe = async (without) => {
    const target = request(op);
    for (const key of without) delete target[key];
    const note = (key) => (typeof key === 'string' && touched.add(key), key);
    sim.reset();
    await sphereOf[op.sphere](new Proxy(target, {
      has: (t, key) => Reflect.has(t, note(key)),
      get: (t, key) => Reflect.get(t, note(key)),
    }));
  };
  await probe([]);
  const own = () => [...touched].filter((key) => key !== 'operation' && key !== 'dn');
  for (const first of own()) {
    await probe([first]);
    for (const second of own()) if (second !== first) await probe([first, second]);
  }
  return own().sort();
}

describe('the client sends what the parsers read', () => {
  it('REQUEST_KEYS lists, for every operation, exactly the keys its parser looks at', async () => {
    for (const op of coveredOperations) {
      assert.deepEqual(await keysTouched(op), [...REQUEST_KEYS[op.name]].sort(), op.name);
    }
  });
});
