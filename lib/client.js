'use strict';
// A typed client over the module's four functions. Each method builds one
// request ({operation, dn, ...keys}) and sends it; the answer is the
// module's own. What the client adds is what a caller should never get
// wrong silently: the module reads a value it cannot use as something else
// (a text count as 0, 1.5 as 1, -1 as 4294967295, and the library keeps 16
// bits of a connection number), so every value is checked before anything
// is sent; a call that gets no answer rejects instead of resolving with
// undefined; and the paged listings can be followed to their end.
//
// It also guards the request's frame: the caller's objects may carry
// nothing but the keys their operation reads, so a body passed straight
// through cannot name another `dn` or `operation`.
const { SHARES, CONNECTIONS, CONTEXTS, LOG_LEVELS, REQUEST_KEYS, FEATURES } = require('./operations');
const { CifsError } = require('./errors');
const { pages, pageOf, EVERY_RECORD } = require('./paging');

// ---------------------------------------------------------------- values

// A value as an error message shows it: texts quoted and cut short.
function shown(value) {
  if (typeof value === 'string') return JSON.stringify(value.length > 40 ? `${value.slice(0, 40)}...` : value);
  if (typeof value === 'bigint') return `${value}n`;
  if (value === null || typeof value !== 'object') return typeof value === 'function' ? 'a function' : String(value);
  return Array.isArray(value) ? `an array of ${value.length}` : 'an object';
}

// Each check gives nothing for a good value, else what was expected and what came.
const is = (good, expected, value) => (good ? undefined : `${expected}, not ${shown(value)}`);
const integer = (least, most) => (value) =>
  is(Number.isInteger(value) && value >= least && value <= most, `an integer from ${least} to ${most}`, value);
const text = (value) => is(typeof value === 'string', 'a string', value);
const word = (value) => is(typeof value === 'string' && value !== '', 'a non-empty string', value);
const switched = (value) => is(value === 'enabled' || value === 'disabled', '"enabled" or "disabled"', value);
const object = (value) => is(value !== null && typeof value === 'object' && !Array.isArray(value), 'an object', value);

// The module refuses a list longer than this before reading it; checking
// the length first also keeps a sparse array's length from costing a walk.
const MOST_ENTRIES = 65535;
function words(value) {
  const expected = `an array of at most ${MOST_ENTRIES} non-empty strings`;
  if (!Array.isArray(value) || value.length > MOST_ENTRIES) return is(false, expected, value);
  for (let i = 0; i < value.length; i++) {
    if (word(value[i]) !== undefined) return `${expected}, and [${i}] is ${i in value ? shown(value[i]) : 'a hole'}`;
  }
  return undefined;
}

// Counts are u32 on the wire; connection numbers are 16 bits in the library.
const CHECKS = {
  ignoreCount: integer(0, 0xffffffff),
  returnCount: integer(0, 0xffffffff),
  connectionNumber: integer(0, 0xffff),
  connection: integer(0, 0xffff),
  name: word,
  newName: word,
  volumeName: word,
  relativePath: word,
  comment: text,
  cookie: text,
  encryption: switched,
  folderRedirection: switched,
  atmBackup: switched,
  names: words,
  openFiles: words,
  userContexts: words,
  advancedFiltersInfo: object,
  dn: word,
  // A page size of 0 would ask the library for no limit at all.
  pageSize: integer(1, 0xffffffff),
};

function check(method, key, value) {
  const wrong = CHECKS[key](value);
  if (wrong !== undefined) throw new TypeError(`${method}: '${key}' must be ${wrong}`);
}

// The keys of a caller's object, each of which must be in `allowed`.
function keysOf(method, given, allowed) {
  if (given === undefined || given === null) return [];
  if (typeof given !== 'object' || Array.isArray(given)) throw new TypeError(`${method}: takes an object of keys, not ${shown(given)}`);
  const keys = Object.keys(given);
  const unread = keys.find((key) => !allowed.has(key));
  if (unread !== undefined) throw new TypeError(`${method}: the request takes no key '${unread}'`);
  return keys;
}

// {operation, dn}, the keys a method made of its arguments (`fixed`: each
// must hold a good value), then those of the caller's object (`given`),
// each one the operation reads and no argument supplied. Keys given as
// undefined are left out: the module tests optional keys for presence, so
// `cookie: undefined` would count as a cookie that cannot be read.
function request(method, operation, number, dn, [fixed, given]) {
  const reads = new Set(REQUEST_KEYS[operation]);
  for (const key of Object.keys(fixed)) reads.delete(key);
  const built = { operation: number, dn };
  for (const [key, value] of Object.entries(fixed)) {
    check(method, key, value);
    built[key] = value;
  }
  for (const key of keysOf(method, given, reads)) {
    if (given[key] === undefined) continue;
    check(method, key, given[key]);
    built[key] = given[key];
  }
  return built;
}

// ---------------------------------------------------------------- sending

// The sphere's promise; a sphere that returns no promise (an operation this
// cifs.node lacks, or a request Node-API could not start) or throws rejects.
function send(sphereName, sphere, built, operation) {
  let returned;
  try {
    returned = sphere(built);
  } catch (error) {
    return Promise.reject(error);
  }
  if (returned === undefined) {
    return Promise.reject(Object.assign(new Error(
      `${sphereName} gave no answer to operation ${built.operation} (${operation}): this cifs.node does not have ` +
      'that operation, or could not start the request (its log says which)'), { code: 'ERR_CIFS_NO_ANSWER' }));
  }
  return returned;
}

const refuse = (call) => {
  try {
    return [call()];
  } catch (error) {
    return [undefined, error];
  }
};

const SPHERES = {
  shares: ['cifs_shares_sphere', SHARES],
  connections: ['cifs_connections_sphere', CONNECTIONS],
  contexts: ['cifs_contexts_sphere', CONTEXTS],
};

// sphere(request) for each method of a table: method -> [operation name,
// args -> [fixed keys, caller's object]]. A request the client refuses
// rejects the returned promise with a TypeError, and nothing is sent.
function bind(group, target, dn, throwOnFailure, methods) {
  const [sphereName, numbers] = SPHERES[group];
  const bound = {};
  for (const [method, [operation, keys = () => [{}]]] of Object.entries(methods)) {
    bound[method] = (...args) => {
      const [built, refused] = refuse(() => request(`${group}.${method}`, operation, numbers[operation], dn, keys(...args)));
      if (refused) return Promise.reject(refused);
      const answer = send(sphereName, target[sphereName], built, operation);
      if (!throwOnFailure) return answer;
      return answer.then((a) => {
        if (a.status !== 'success') throw new CifsError(a);
        return a;
      });
    };
  }
  return Object.freeze(bound);
}

const fromArgs = (build) => (...args) => [build(...args)];
const fromObject = (object) => [{}, object];
const names = fromArgs((list) => ({ names: list }));

function feature(name, value, list) {
  if (!FEATURES.includes(name)) {
    throw new TypeError(`shares.setFeature: the feature is one of ${FEATURES.join(', ')}, not ${shown(name)}`);
  }
  return [{ [name]: value, names: list }];
}

const shareMethods = {
  list: ['FetchCIFSShares'],
  create: ['CreateCIFSShare', fromObject],
  change: ['ChangeCIFSShareConfiguration', fromObject],
  setFeature: ['ChangeCIFSShareFeatureConfiguration', feature],
  remove: ['RemoveCIFSShare', names],
  listOpenFiles: ['ListOpenFilesOfShare', fromObject],
  closeOpenFiles: ['CloseOpenFile', fromArgs((openFiles) => ({ openFiles }))],
  closeAllOpenFiles: ['CloseAllOpenFilesOfShare', fromArgs((volumeName) => ({ volumeName }))],
};

const connectionMethods = {
  count: ['FetchCIFSConnectionsCount'],
  list: ['FetchCIFSConnectionsList', fromObject],
  details: ['FetchCIFSConnectionDetails', fromArgs((connectionNumber) => ({ connectionNumber }))],
  mappedShares: ['FetchCIFSConnectionMappedShares', fromArgs((connectionNumber) => ({ connectionNumber }))],
  openFiles: ['FetchCIFSConnectionOpenFiles', (connection, options) => [{ connection }, options]],
  invalidUsers: ['FetchCIFSCachedInvalidUsersList', fromObject],
  addPermanentInvalidUser: ['AddPermanentInvalidUser', fromArgs((name) => ({ name }))],
  makePermanentInvalidUsers: ['MakePermanentInvalidUser', names],
  removeInvalidUsers: ['RemoveInvalidUser', names],
  addBlockedUser: ['AddBlockedUser', fromArgs((name) => ({ name }))],
  makeBlockedUsers: ['MakeBlockedUser', names],
  unblockUsers: ['UnblockUser', names],
};

const contextMethods = {
  list: ['FetchCIFSUserContexts'],
  add: ['AddCIFSUserContext', fromArgs((userContexts) => ({ userContexts }))],
  remove: ['RemoveCIFSUserContexts', fromArgs((userContexts) => ({ userContexts }))],
};

// ---------------------------------------------------------------- listings

const DEFAULT_PAGE_SIZE = 100;
const ITERATOR_OPTIONS = new Set(['pageSize', 'advancedFiltersInfo']);
const CONNECTIONS_OPTIONS = new Set(['advancedFiltersInfo']);

// The request of a listing's first page from an iterator's options: one
// page of `pageSize` (for the connections list, which has no pages, every
// record of the library's list).
function firstPage(method, group, operation, dn, fixed, options, paged = true) {
  const given = {};
  for (const key of keysOf(method, options, paged ? ITERATOR_OPTIONS : CONNECTIONS_OPTIONS)) given[key] = options[key];
  let returnCount = EVERY_RECORD;
  if (paged) {
    returnCount = given.pageSize ?? DEFAULT_PAGE_SIZE;
    check(method, 'pageSize', returnCount);
  }
  const filters = given.advancedFiltersInfo === undefined ? {} : { advancedFiltersInfo: given.advancedFiltersInfo };
  return request(method, operation, SPHERES[group][1][operation], dn, [{ ...fixed, ignoreCount: 0, returnCount }, filters]);
}

// Paged listings: method -> [group, operation, the answer's page key, the
// page's list key, args -> [fixed keys, options]].
const PAGED = {
  openFiles: ['shares', 'ListOpenFilesOfShare', 'openFiles', 'files', (volumeName, options) => [{ volumeName }, options]],
  connectionOpenFiles: ['connections', 'FetchCIFSConnectionOpenFiles', 'openFiles', 'files',
    (connection, options) => [{ connection }, options]],
  invalidUsers: ['connections', 'FetchCIFSCachedInvalidUsersList', 'invalidUsers', 'users', (options) => [{}, options]],
};

// The items of each listing, one at a time, across its pages. Nothing is
// checked or sent until iteration starts; a refused request, a failure
// answer (a CifsError, whatever `throwOnFailure` says: an iterator has no
// answer to hand back) or a missing page ends it with an error.
function listings(target, dn) {
  const sender = (group, operation) => (built) => send(SPHERES[group][0], target[SPHERES[group][0]], built, operation);
  const out = {};
  for (const [method, [group, operation, key, list, args]] of Object.entries(PAGED)) {
    out[method] = async function* listing(...given) {
      const first = firstPage(method, group, operation, dn, ...args(...given));
      for await (const page of pages(sender(group, operation), first, key, list)) yield* page[list];
    };
  }
  // returnCount counts the library's records examined, not connections
  // returned, so a short filtered page says nothing about the end: one
  // request examines them all.
  out.allConnections = async function* allConnections(options) {
    const built = firstPage('allConnections', 'connections', 'FetchCIFSConnectionsList', dn, {}, options, false);
    yield* pageOf(await sender('connections', 'FetchCIFSConnectionsList')(built), 'connections');
  };
  return out;
}

// ---------------------------------------------------------------- client

const CLIENT_OPTIONS = new Set(['dn', 'module', 'throwOnFailure']);

// createClient({dn, module?, throwOnFailure?}): `dn` is the logged-in user
// every request is made for; `module` the object with the four functions
// (the package's addon when left out); with `throwOnFailure` a failure
// answer rejects with a CifsError instead of resolving.
function createClient(options = {}) {
  keysOf('createClient', options, CLIENT_OPTIONS);
  const { dn, module, throwOnFailure = false } = options;
  check('createClient', 'dn', dn);
  const wrong = is(typeof throwOnFailure === 'boolean', 'a boolean', throwOnFailure);
  if (wrong !== undefined) throw new TypeError(`createClient: 'throwOnFailure' must be ${wrong}`);
  const target = module || require('./addon').load();
  return Object.freeze({
    dn,
    shares: bind('shares', target, dn, throwOnFailure, shareMethods),
    connections: bind('connections', target, dn, throwOnFailure, connectionMethods),
    contexts: bind('contexts', target, dn, throwOnFailure, contextMethods),
    ...listings(target, dn),
    // The module only logs a level it refuses, so the client refuses it.
    setLogLevel(logLevel) {
      if (typeof logLevel !== 'string' || !LOG_LEVELS.includes(logLevel.toLowerCase())) {
        return Promise.reject(new TypeError(`setLogLevel: the level is one of ${LOG_LEVELS.join(', ')}, not ${shown(logLevel)}`));
      }
      try {
        target.native_config_sphere({ logLevel });
      } catch (error) {
        return Promise.reject(error);
      }
      return Promise.resolve();
    },
  });
}

module.exports = { createClient, CifsError };
