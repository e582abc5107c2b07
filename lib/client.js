'use strict';
// A typed client over the module's four functions. Each method builds one
// request ({operation, dn, ...keys}) and sends it; the answer is the
// module's own. What the client adds is what a caller should never get
// wrong silently: every value is checked, and sent as a snapshot the module
// cannot misread (lib/requests.js); a call that gets no answer rejects
// instead of resolving with undefined; and the paged listings can be
// followed to their end.
//
// It also guards the request's frame: the caller's objects may carry
// nothing but the keys their operation reads, so a body passed straight
// through cannot name another `dn` or `operation`.
const { SHARES, CONNECTIONS, CONTEXTS, LOG_LEVELS, FEATURES } = require('./operations');
const { CifsError, invalidType, invalidValue } = require('./errors');
const { pages, pageOf, EVERY_RECORD } = require('./paging');
const { buildRequest, checked, ownCopy, shown } = require('./requests');

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
      const [built, refused] = refuse(() => buildRequest(`${group}.${method}`, operation, numbers[operation], dn, ...keys(...args)));
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
    const message = `shares.setFeature: the feature is one of ${FEATURES.join(', ')}, not ${shown(name)}`;
    throw typeof name === 'string' ? invalidValue(message) : invalidType(message);
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

// The request of a listing's page from an iterator's options (read once,
// before the first page): `pageSize` records from the first (for the
// connections list, which has no pages, every record of the library's
// list), after the page that handed out `cookie` when one is given.
function pageRequests(method, group, operation, dn, fixed, options, paged = true) {
  const given = options === undefined || options === null ? { __proto__: null }
    : ownCopy(method, options, paged ? ITERATOR_OPTIONS : CONNECTIONS_OPTIONS);
  const returnCount = paged ? checked(method, 'pageSize', given.pageSize ?? DEFAULT_PAGE_SIZE, operation) : EVERY_RECORD;
  const filters = given.advancedFiltersInfo === undefined ? {} : { advancedFiltersInfo: given.advancedFiltersInfo };
  const first = buildRequest(method, operation, SPHERES[group][1][operation], dn, { ...fixed, ignoreCount: 0, returnCount }, filters);
  return (cookie) => (cookie === undefined ? first : { __proto__: null, ...first, cookie: checked(method, 'cookie', cookie, operation) });
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
// answer to hand back), a missing or cut page or a library going round in
// circles ends it with an error (lib/paging.js).
function listings(target, dn) {
  const sender = (group, operation) => (built) => send(SPHERES[group][0], target[SPHERES[group][0]], built, operation);
  const out = {};
  for (const [method, [group, operation, key, list, args]] of Object.entries(PAGED)) {
    out[method] = async function* listing(...given) {
      const pageRequest = pageRequests(method, group, operation, dn, ...args(...given));
      const sendPage = sender(group, operation);
      for await (const page of pages((cookie) => sendPage(pageRequest(cookie)), key, list)) yield* page[list];
    };
  }
  // returnCount counts the library's records examined, not connections
  // returned, so a short filtered page says nothing about the end: one
  // request examines them all.
  out.allConnections = async function* allConnections(options) {
    const built = pageRequests('allConnections', 'connections', 'FetchCIFSConnectionsList', dn, {}, options, false)();
    yield* pageOf(await sender('connections', 'FetchCIFSConnectionsList')(built), 'connections');
  };
  return out;
}

// ---------------------------------------------------------------- client

const CLIENT_OPTIONS = new Set(['dn', 'module', 'throwOnFailure']);

// createClient({dn, module?, throwOnFailure?}): `dn` is the logged-in user
// every request is made for; `module` the object with the four functions
// (the package's addon when left out); with `throwOnFailure` a failure
// answer rejects with a CifsError instead of resolving. Each option is read
// once.
function createClient(options = {}) {
  const { dn, module, throwOnFailure = false } = ownCopy('createClient', options, CLIENT_OPTIONS);
  checked('createClient', 'dn', dn);
  if (typeof throwOnFailure !== 'boolean') throw invalidType(`createClient: 'throwOnFailure' must be a boolean, not ${shown(throwOnFailure)}`);
  const target = module || require('./addon').load();
  return Object.freeze({
    dn,
    shares: bind('shares', target, dn, throwOnFailure, shareMethods),
    connections: bind('connections', target, dn, throwOnFailure, connectionMethods),
    contexts: bind('contexts', target, dn, throwOnFailure, contextMethods),
    ...listings(target, dn),
    // The module only logs a level it refuses, so the client refuses it.
    setLogLevel(logLevel) {
      const message = `setLogLevel: the level is one of ${LOG_LEVELS.join(', ')}, not ${shown(logLevel)}`;
      if (typeof logLevel !== 'string') return Promise.reject(invalidType(message));
      if (!LOG_LEVELS.includes(logLevel.toLowerCase())) return Promise.reject(invalidValue(message));
      try {
        target.native_config_sphere({ __proto__: null, logLevel });
      } catch (error) {
        return Promise.reject(error);
      }
      return Promise.resolve();
    },
  });
}

module.exports = { createClient, CifsError };
