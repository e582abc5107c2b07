'use strict';
// Requests as the client sends them. The module reads a value it cannot use
// as something else (a text count as 0, 1.5 as 1, -1 as 4294967295; the
// library keeps 16 bits of a connection number), cuts a text longer than the
// buffer it reads it through, and tests optional keys for presence along the
// prototype chain. So every request is a snapshot of what the caller gave:
// each value read once (a getter or Proxy cannot pass the check with one
// value and hand over another), checked, and copied into objects without a
// prototype and new arrays, which nothing but the caller's own keys can
// steer; only the snapshot is sent.
const { REQUEST_KEYS, MAX_LIST_COPY_BYTES, MAX_TEXT_BYTES, RANGE_FILTERS } = require('./operations');
const { invalidType, invalidValue, outOfRange } = require('./errors');

const U32 = 0xffffffff;
// The module refuses a list longer than this before reading it; checking
// the length first also keeps a sparse array's length from costing a walk.
const MOST_ENTRIES = 65535;

// A value as an error message shows it: texts quoted and cut short. Never
// reads a property, so a message costs no getter a second call.
function shown(value) {
  if (typeof value === 'string') return JSON.stringify(value.length > 40 ? `${value.slice(0, 40)}...` : value);
  if (typeof value === 'bigint') return `${value}n`;
  if (value === null || typeof value !== 'object') return typeof value === 'function' ? 'a function' : String(value);
  return Array.isArray(value) ? 'an array' : 'an object';
}

const isObject = (value) => value !== null && typeof value === 'object' && !Array.isArray(value);
const utf8Bytes = (text) => Buffer.byteLength(text, 'utf8');

// ---------------------------------------------------------------- checks
// Each check takes the value, the method and the path of the value in the
// request ("names", "advancedFiltersInfo.filters[0].filterBy"), and gives
// what to send, or throws the error a caller's mistake gets.

const where = (method, path) => `${method}: '${path}'`;

const integer = (least, most) => (value, method, path) => {
  const at = where(method, path);
  const expected = `${at} must be an integer from ${least} to ${most}, not ${shown(value)}`;
  if (typeof value !== 'number') throw invalidType(expected);
  if (!Number.isInteger(value) || value < least || value > most) throw outOfRange(expected);
  return value;
};

// A string, non-empty unless `empty`; at most `most` UTF-8 bytes when the
// module reads it through a buffer (so it would otherwise be cut).
const text = ({ empty = false, most } = {}) => (value, method, path) => {
  const at = where(method, path);
  const expected = `${at} must be a ${empty ? '' : 'non-empty '}string`;
  if (typeof value !== 'string') throw invalidType(`${expected}, not ${shown(value)}`);
  if (!empty && value === '') throw invalidValue(`${expected}, not ""`);
  if (most !== undefined && value.length > most / 3 && utf8Bytes(value) > most) {
    throw invalidValue(`${at} must be at most ${most} bytes of UTF-8 (the module reads it through a buffer of ` +
      `${most + 1} and would cut it), not ${utf8Bytes(value)} bytes`);
  }
  return value;
};

const oneOf = (words) => (value, method, path) => {
  if (words.includes(value)) return value;
  const expected = `${where(method, path)} must be ${words.map((w) => JSON.stringify(w)).join(' or ')}, not ${shown(value)}`;
  throw typeof value === 'string' ? invalidValue(expected) : invalidType(expected);
};

// A new array of what `value[i]` gives for each index, each element read
// once and checked by `element(v, i)`. Array.from defines the copy's own
// elements, so no setter on a prototype sees them.
function copyOf(value, method, path, what, element) {
  const at = where(method, path);
  if (!Array.isArray(value)) throw invalidType(`${at} must be ${what}, not ${shown(value)}`);
  const length = value.length;  // a Proxy's may be anything
  if (!Number.isInteger(length) || length < 0 || length > MOST_ENTRIES) throw outOfRange(`${at} must be ${what}, not an array of ${shown(length)}`);
  return Array.from({ length }, (_, i) => element(value[i], i, value));
}

// A batch's names: together at most the bytes the module copies out of one
// request (each name and its NUL). A name that one library record cannot
// carry stays the module's to answer, as a failure of that name.
function words(value, method, path) {
  const at = where(method, path);
  const what = `an array of at most ${MOST_ENTRIES} non-empty strings`;
  let bytes = 0;
  const copy = copyOf(value, method, path, what, (element, i, array) => {
    if (typeof element !== 'string' || element === '') {
      const hole = element === undefined && !(i in array);
      throw (typeof element === 'string' ? invalidValue : invalidType)(
        `${at} must be ${what}, and [${i}] is ${hole ? 'a hole' : shown(element)}`);
    }
    bytes += utf8Bytes(element) + 1;
    return element;
  });
  if (bytes > MAX_LIST_COPY_BYTES) {
    throw outOfRange(`${at} holds ${bytes} bytes of names (UTF-8, each with its NUL), more than the ` +
      `${MAX_LIST_COPY_BYTES} the module copies out of one request: send them in smaller batches`);
  }
  return copy;
}

// ---------------------------------------------------------------- objects

// A caller's object as a snapshot without a prototype: its own enumerable
// string keys, each value read once, every key in `allowed`. `at` names it.
function ownCopy(at, given, allowed) {
  if (!isObject(given)) throw invalidType(`${at} takes an object of keys, not ${shown(given)}`);
  const copy = { __proto__: null };
  for (const key of Object.keys(given)) {
    if (!allowed.has(key)) throw invalidValue(`${at} takes no key '${key}'`);
    copy[key] = given[key];
  }
  return copy;
}

// ---------------------------------------------------------------- filters

const INFO_KEYS = new Set(['matchType', 'filters']);
const FILTER_KEYS = new Set(['filterBy', 'patterns']);
const MATCH_TYPE = oneOf(['all', 'any', 'none']);
const I64_MAX = 2n ** 63n - 1n;
// ISO 8601 as a Date's text: a day (midnight UTC), or a day and a time with
// its offset (a time without one would be the server's local time).
const ISO_DATE = /^(\d{4})-(\d{2})-(\d{2})(?:T(\d{2}):(\d{2})(?::(\d{2})(?:\.\d{1,9})?)?(Z|([+-])(\d{2}):(\d{2})))?$/;

// Seconds since the epoch of an ISO 8601 text, or undefined when it is none
// (a day or hour that does not exist included).
function isoSeconds(value) {
  const m = ISO_DATE.exec(value);
  if (!m) return undefined;
  const [year, month, day, hour, minute, second, , , offsetHours, offsetMinutes] = m.slice(1).map((part) => Number(part ?? 0));
  // Date.UTC reads years below 100 as 19xx; none of them is a login time anyway.
  if (year < 1970 || hour > 23 || minute > 59 || second > 59 || offsetHours > 23 || offsetMinutes > 59) return undefined;
  const ms = Date.UTC(year, month - 1, day, hour, minute, second);
  const back = new Date(ms);
  if (back.getUTCMonth() !== month - 1 || back.getUTCDate() !== day) return undefined;
  return Math.floor(ms / 1000) - (m[8] === '-' ? -1 : 1) * (offsetHours * 60 + offsetMinutes) * 60;
}

// A range bound as the connections list reads it: whole decimal seconds or
// bytes up to 2^63-1 (0 is an open end); loginTime also takes a Date or an
// ISO 8601 text, turned into the seconds the module compares.
function rangeBound(filterBy, value, at) {
  let seconds;
  if (filterBy === 'loginTime' && value instanceof Date) seconds = Math.floor(value.getTime() / 1000);
  else if (filterBy === 'loginTime' && typeof value === 'string' && value.includes('-')) seconds = isoSeconds(value);
  else if (typeof value === 'string' && /^\d{1,19}$/.test(value) && BigInt(value) <= I64_MAX) return value;
  if (Number.isSafeInteger(seconds) && seconds >= 0) return String(seconds);
  const what = filterBy === 'loginTime'
    ? 'a whole number of seconds since 1970 as decimal text, a Date or an ISO 8601 date ("2024-05-01", "2024-05-01T12:00:00Z")'
    : 'a whole number as decimal text, from 0 (no bound) to 9223372036854775807';
  throw (typeof value === 'string' || value instanceof Date ? invalidValue : invalidType)(`${at} must be ${what}, not ${shown(value)}`);
}

// advancedFiltersInfo as the operation's filter reader takes it: the copy
// holds matchType, filters and in each filter filterBy and patterns, nothing
// else; each filterBy one the operation knows, each pattern within the bound
// its reader has, and a range filter's patterns pairs of bounds. The
// connections list keeps only the last filter of each filterBy, so one given
// twice is refused.
function filtersOf(operation) {
  const bounds = MAX_TEXT_BYTES.patterns[operation];
  const known = Object.keys(bounds);
  const connectionsList = operation === 'FetchCIFSConnectionsList';
  const ranges = connectionsList ? RANGE_FILTERS : [];
  return (value, method, path) => {
    const info = ownCopy(where(method, path), value, INFO_KEYS);
    const copy = { __proto__: null, matchType: MATCH_TYPE(info.matchType, method, `${path}.matchType`) };
    const seen = new Set();
    copy.filters = copyOf(info.filters, method, `${path}.filters`, 'an array of filters', (filter, i) => {
      const filterPath = `${path}.filters[${i}]`;
      const given = ownCopy(where(method, filterPath), filter, FILTER_KEYS);
      const filterBy = oneOf(known)(given.filterBy, method, `${filterPath}.filterBy`);
      if (connectionsList && seen.has(filterBy)) {
        throw invalidValue(`${where(method, filterPath)} is a second '${filterBy}' filter, of which the connections list ` +
          'would use only the last: give all its patterns in one filter');
      }
      if (connectionsList) seen.add(filterBy);
      const range = ranges.includes(filterBy);
      const patterns = copyOf(given.patterns, method, `${filterPath}.patterns`, 'an array of patterns', (pattern, j) => {
        const patternPath = `${filterPath}.patterns[${j}]`;
        return range ? rangeBound(filterBy, pattern, `${where(method, patternPath)} (${filterBy})`)
          : text({ empty: true, most: bounds[filterBy] })(pattern, method, patternPath);
      });
      if (range && (patterns.length < 2 || patterns.length % 2 !== 0)) {
        throw invalidValue(`${where(method, `${filterPath}.patterns`)} (${filterBy}) must be pairs of lower and upper ` +
          `bound, not ${patterns.length} patterns`);
      }
      return { __proto__: null, filterBy, patterns };
    });
    return copy;
  };
}

// ---------------------------------------------------------------- requests

const switched = oneOf(['enabled', 'disabled']);

// What each key takes; a function of the operation where the bound differs.
const CHECKS = {
  ignoreCount: integer(0, U32),
  returnCount: integer(0, U32),
  // The library's connection numbers are 16 bits.
  connectionNumber: integer(0, 0xffff),
  connection: integer(0, 0xffff),
  name: text(),
  newName: text(),
  volumeName: (operation) => text(operation === 'ListOpenFilesOfShare' ? { most: MAX_TEXT_BYTES.volumeName } : {}),
  // Empty: the volume's root, where a share may stand.
  relativePath: text({ empty: true }),
  comment: text({ empty: true }),
  cookie: text({ empty: true, most: MAX_TEXT_BYTES.cookie }),
  encryption: switched,
  folderRedirection: switched,
  atmBackup: switched,
  names: words,
  openFiles: words,
  userContexts: words,
  advancedFiltersInfo: filtersOf,
  dn: text({ most: MAX_TEXT_BYTES.dn }),
  // A page size of 0 would ask the library for no limit at all.
  pageSize: integer(1, U32),
  // Call options: milliseconds (0: none) up to what a timer holds, and calls at once.
  timeout: integer(0, 2 ** 31 - 1),
  maxInFlight: integer(1, 2 ** 31 - 1),
  signal: (value, method, path) => {
    const usable = value !== null && typeof value === 'object' && typeof value.aborted === 'boolean' &&
      typeof value.addEventListener === 'function' && typeof value.removeEventListener === 'function';
    if (!usable) throw invalidType(`${where(method, path)} must be an AbortSignal, not ${shown(value)}`);
    return value;
  },
};
const OPERATION_CHECKS = new Set(['volumeName', 'advancedFiltersInfo']);

// The value to send for `key`, checked; `operation` picks the bounds.
function checked(method, key, value, operation) {
  const check = OPERATION_CHECKS.has(key) ? CHECKS[key](operation) : CHECKS[key];
  return check(value, method, key);
}

// The request of `operation`: {operation, dn}, then the keys a method made
// of its arguments (`fixed`: each must hold a good value), then those of the
// caller's object (`given`), each one the operation reads and no argument
// supplied. Keys given as undefined are left out: the module tests optional
// keys for presence, so `cookie: undefined` would count as a cookie that
// cannot be read.
function buildRequest(method, operation, number, dn, fixed, given) {
  const built = { __proto__: null, operation: number, dn };
  const reads = new Set(REQUEST_KEYS[operation]);
  for (const [key, value] of Object.entries(fixed)) {
    reads.delete(key);
    built[key] = checked(method, key, value, operation);
  }
  if (given === undefined || given === null) return built;
  const own = ownCopy(method, given, reads);
  for (const key of Object.keys(own)) if (own[key] !== undefined) built[key] = checked(method, key, own[key], operation);
  return built;
}

module.exports = { buildRequest, checked, ownCopy, shown };
