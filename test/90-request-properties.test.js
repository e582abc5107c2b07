'use strict';
// Generated requests against every operation of the three spheres: wrong
// types, missing keys, huge and sparse arrays, huge texts, nested junk,
// prototype tricks, getters and Proxies that throw, numbers at every boundary
// and texts with NUL and control characters, while the simulated libraries
// answer or fail. A call returns undefined only for an unknown operation
// (a missing or non-number one included) once "operation" and "dn" were read;
// every other call resolves with a well-formed envelope and leaves no shared
// memory object behind. CIFS_PROPERTY_SEED replays a reported run.
const { describe, it, beforeEach, after } = require('node:test');
const assert = require('node:assert/strict');
const fc = require('fast-check');
const sim = require('./support/sim');
const { dn, spheres, operations, lastOperation } = require('./support/operations');
const { checkEnvelope } = require('./support/envelope');

const RUNS = 200;
const seed = process.env.CIFS_PROPERTY_SEED === undefined ? {} : { seed: Number(process.env.CIFS_PROPERTY_SEED) };
const NO_ARGUMENT = Symbol('no argument');

beforeEach(() => sim.reset());
after(() => sim.mgmt.removeSharedMemory());

// What a run generates is a recipe where the value is hostile: fast-check
// looks into and prints every generated value, which a Proxy or a getter that
// throws would break (and a sparse array of 2^32-1 would stall), so those are
// made only when the run builds its request.
class Recipe {
  constructor(make, label) {
    this.make = make;
    this.label = label;
  }

  [fc.toStringMethod]() { return this.label; }
}
const build = (value) => {
  if (value instanceof Recipe) return value.make();
  return Array.isArray(value) && value.some((v) => v instanceof Recipe) ? value.map(build) : value;
};
const boom = () => { throw new Error('boom'); };
const throwingProxy = new Recipe(() => new Proxy({}, {
  get: boom, has: boom, ownKeys: boom, getOwnPropertyDescriptor: boom, getPrototypeOf: boom,
}), 'Proxy whose every trap throws');
const sparse = (length, head) => new Recipe(() => {
  const array = [];
  array.length = length;
  if (head !== undefined) array[0] = head;
  return array;
}, `sparse array of ${length}${head === undefined ? '' : ` starting ${fc.stringify(head).slice(0, 40)}`}`);

const boundaryNumber = fc.constantFrom(-1, 0, 1, 2 ** 31 - 1, 2 ** 31, -(2 ** 31), 2 ** 32 - 1, 2 ** 32, 2 ** 32 + 1,
  2 ** 53, -(2 ** 53), NaN, Infinity, -Infinity, -0, 0.5, 999999, 1000000, 65535, 65536, Number.MIN_VALUE, 1e308);
// Long texts are made once and shared, so a list of them stays cheap.
const longTexts = [255, 256, 4097].flatMap((n) => ['x', '\u00e9', '\u{1F600}'].map((c) => c.repeat(n)));
const hugeTexts = [70000, 1 << 20].map((n) => `${'y'.repeat(n - 1)}\0`).concat('z'.repeat(1 << 20));
const text = fc.oneof(
  fc.string({ unit: 'binary', maxLength: 40 }),
  fc.constantFrom('', '\0', 'DATA\0junk', '\n\r\t\x01\x1f\x7f', '\\', '%s%n%d', '\ud800', 'enabled', 'disabled',
    'all', 'any', 'none', 'type', 'search-name', 'name', 'status', 'loginTime', 'DATA', '.users.org', '12kB'),
  fc.constantFrom(...longTexts),
);
const nastyText = fc.oneof({ weight: 6, arbitrary: text }, fc.constantFrom(...hugeTexts));
const hugeArray = fc.oneof(
  fc.constantFrom(65535, 65536, 2 ** 31, 2 ** 32 - 1, 1e6).chain((n) => fc.option(text).map((head) => sparse(n, head ?? undefined))),
  fc.array(text, { maxLength: 100 }),
);
const junk = fc.oneof(
  { weight: 3, arbitrary: fc.anything({ maxDepth: 3, withBigInt: true, withBoxedValues: true, withNullPrototype: true,
    withObjectString: true, withSparseArray: true, withTypedArray: true, withDate: true, withMap: true, withSet: true }) },
  { weight: 3, arbitrary: boundaryNumber },
  { weight: 3, arbitrary: nastyText },
  { weight: 2, arbitrary: hugeArray },
  { weight: 1, arbitrary: fc.constant(throwingProxy) },
  { weight: 1, arbitrary: fc.constantFrom(undefined, null, true, Symbol('s'), 1n, () => 1, [], {}) },
);

// One edit of a container: a key kept, dropped, given junk, or reached only
// through a getter that throws, the prototype or a transparent Proxy.
const edit = (keys) => fc.tuple(fc.constantFrom(...keys),
  fc.oneof({ weight: 4, arbitrary: junk.map((value) => ({ kind: 'set', value })) },
    fc.constantFrom({ kind: 'delete' }, { kind: 'throw' }, { kind: 'inherit' })));

function applyEdits(base, edits) {
  const object = Object.fromEntries(Object.entries(base).map(([key, value]) => [key, build(value)]));
  const inherited = {};
  for (const [key, { kind, value }] of edits) {
    delete object[key];
    if (kind === 'set') object[key] = build(value);
    if (kind === 'throw') Object.defineProperty(object, key, { get: boom, enumerable: true, configurable: true });
    if (kind === 'inherit' && key in base) inherited[key] = build(base[key]);
  }
  if (!Object.keys(inherited).length) return object;
  return Object.defineProperties(Object.create(inherited), Object.getOwnPropertyDescriptors(object));
}

const container = (base, keys) => fc.tuple(fc.array(edit(keys), { maxLength: 3 }), fc.constantFrom('plain', 'plain', 'proxy'))
  .map(([edits, how]) => new Recipe(() => {
    const object = applyEdits(base, edits);
    return how === 'proxy' ? new Proxy(object, {}) : object;
  }, `${how} ${fc.stringify(base)} edited ${fc.stringify(edits)}`));

// advancedFiltersInfo built from accepted and hostile parts.
function filtersInfo(filterBys) {
  const pattern = fc.oneof({ weight: 3, arbitrary: fc.constantFrom('0', '1', 'pdf', '12', 'SMB 3.1.1', 'Active', '') }, nastyText);
  const filter = fc.record({ filterBy: fc.oneof(fc.constantFrom(...filterBys), nastyText), patterns: fc.oneof({ weight: 4, arbitrary: fc.array(pattern, { maxLength: 4 }) }, junk) })
    .chain((entry) => container(entry, ['filterBy', 'patterns']));
  const info = fc.record({ matchType: fc.oneof({ weight: 3, arbitrary: fc.constantFrom('all', 'any', 'none') }, nastyText), filters: fc.oneof({ weight: 4, arbitrary: fc.array(filter, { maxLength: 4 }) }, junk) })
    .chain((entry) => container(entry, ['matchType', 'filters']));
  return fc.oneof({ weight: 3, arbitrary: info }, junk);
}

const requestKeys = [...new Set(['operation', 'dn', 'advancedFiltersInfo',
  ...operations.flatMap((op) => Object.keys(op.fields()))])];

// A request for `op`: its valid keys edited, with a possibly other operation
// number, or now and then no object at all.
function requestFor(op) {
  const number = fc.oneof({ weight: 8, arbitrary: fc.constant(op.operation) }, boundaryNumber, junk,
    fc.integer({ min: -3, max: 15 }));
  const dnValue = fc.oneof({ weight: 8, arbitrary: fc.constant(dn) }, nastyText, junk);
  const extra = op.filters ? { advancedFiltersInfo: filtersInfo(op.filters) } : {};
  const object = fc.record({ operation: number, dn: dnValue, ...extra }, { requiredKeys: ['operation', 'dn'] })
    .chain((head) => container({ ...op.fields(), ...head }, requestKeys));
  return fc.oneof({ weight: 12, arbitrary: object }, junk, fc.constant(NO_ARGUMENT));
}

// What the sphere must do with `request`, read as the module reads it.
function expectation(request, sphereName) {
  const early = (key) => ({ answer: true, operation: '', failedOn: key });
  if (request === NO_ARGUMENT || request === undefined || request === null) return early('operation');
  let number;
  try { number = request.operation; } catch { return early('operation'); }
  let caller;
  try { caller = request.dn; } catch { return early('dn'); }
  if (typeof caller !== 'string' || Buffer.from(caller).subarray(0, 255).includes(0)) return early('dn');
  const operation = typeof number === 'number' ? number | 0 : 0;
  if (operation < 1 || operation > lastOperation[sphereName]) return { answer: false };
  const op = operations.find((o) => o.sphere === sphereName && o.operation === operation);
  return { answer: true, op, operation: op.name };
}

// A library failure (any status) and a refused caller, now and then.
const scenario = (op) => fc.record({
  fail: fc.option(fc.record({ call: fc.constantFrom(...op.calls), status: fc.oneof(fc.integer({ min: -(2 ** 31), max: 2 ** 31 - 1 }), fc.constantFrom(1, 12, -1)), times: fc.constantFrom(0, 1) })),
  refused: fc.integer({ min: 0, max: 4 }).map((n) => n === 0),
});

for (const sphereName of Object.keys(spheres)) {
  const ops = operations.filter((op) => op.sphere === sphereName);
  describe(`generated requests to cifs_${sphereName}_sphere`, () => {
    it('answer undefined only for unknown operations, otherwise one well-formed envelope', { timeout: 240000 }, async () => {
      const property = fc.asyncProperty(fc.constantFrom(...ops).chain((op) => fc.tuple(requestFor(op), scenario(op))),
        async ([recipe, { fail, refused }]) => {
          const request = build(recipe);
          sim.reset();
          if (fail) sim.mgmt.fail(fail);
          if (refused) sim.identity.set({ supervisor: false });
          const expected = expectation(request, sphereName);
          const call = spheres[sphereName];
          const returned = request === NO_ARGUMENT ? call() : call(request);
          if (!expected.answer) {
            assert.equal(returned, undefined, 'an unknown operation answers undefined');
            return;
          }
          assert.ok(returned instanceof Promise, 'a known operation answers a promise');
          const answer = await returned;
          try {
            checkEnvelope(answer, expected);
          } catch (error) {
            throw new Error(`${error.message}\nanswer: ${JSON.stringify(answer).slice(0, 2000)}`);
          }
          if (expected.failedOn) assert.equal(answer.error.args, expected.failedOn);
          sim.noSharedMemoryLeft();
        });
      try {
        await fc.assert(property, { numRuns: RUNS, ...seed });
      } catch (error) {
        // The counterexample can be megabytes of text: keep its ends and the cause.
        const text = error.message.replace(/(.{400}).{400,}(.{400})/g, '$1 ... $2');
        throw new Error(`${text}\n${error.cause?.stack ?? ''}`);
      }
    });
  });
}
