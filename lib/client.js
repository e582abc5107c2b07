'use strict';
// A thin typed client over the module's four functions: each method builds
// one request object ({operation, dn, ...keys}) and returns the sphere's
// promise (or the config sphere's undefined) unchanged. It converts nothing;
// what the module answers is what the caller gets. It only guards the
// request's frame: the caller's objects may carry nothing but the keys their
// operation reads, so a body passed straight through cannot name another
// `dn` or `operation`.
const { SHARES, CONNECTIONS, CONTEXTS } = require('./operations');

const PAGE = ['ignoreCount', 'returnCount', 'cookie', 'advancedFiltersInfo'];
const SHARE_CONFIG = ['name', 'newName', 'volumeName', 'relativePath', 'comment', 'encryption', 'folderRedirection', 'atmBackup'];
const FEATURES = ['encryption', 'folderRedirection', 'atmBackup'];

// The keys each operation reads beyond `operation` and `dn`.
const READS = {
  FetchCIFSShares: [],
  CreateCIFSShare: SHARE_CONFIG,
  ChangeCIFSShareConfiguration: SHARE_CONFIG,
  ChangeCIFSShareFeatureConfiguration: [...FEATURES, 'names'],
  RemoveCIFSShare: ['names'],
  ListOpenFilesOfShare: ['volumeName', ...PAGE],
  CloseOpenFile: ['openFiles'],
  CloseAllOpenFilesOfShare: ['volumeName'],
  FetchCIFSConnectionsCount: [],
  FetchCIFSConnectionsList: ['ignoreCount', 'returnCount', 'advancedFiltersInfo'],
  FetchCIFSConnectionDetails: ['connectionNumber'],
  FetchCIFSConnectionMappedShares: ['connectionNumber'],
  FetchCIFSConnectionOpenFiles: ['connection', ...PAGE],
  FetchCIFSCachedInvalidUsersList: PAGE,
  AddPermanentInvalidUser: ['name'],
  MakePermanentInvalidUser: ['names'],
  RemoveInvalidUser: ['names'],
  AddBlockedUser: ['name'],
  MakeBlockedUser: ['names'],
  UnblockUser: ['names'],
  FetchCIFSUserContexts: [],
  AddCIFSUserContext: ['userContexts'],
  RemoveCIFSUserContexts: ['userContexts'],
};

// {operation, dn}, the keys a method made of its arguments (`fixed`), then
// those of the caller's object (`given`), each of which must be one the
// operation reads and no argument supplied. Keys given as undefined are left
// out: the module tests optional keys for presence, so `cookie: undefined`
// would count as a cookie that cannot be read.
function request(method, operation, number, dn, [fixed, given]) {
  const reads = new Set(READS[operation]);
  for (const key of Object.keys(fixed)) reads.delete(key);
  const keys = given === undefined || given === null ? [] : Object.keys(given);
  const unread = keys.find((key) => !reads.has(key));
  if (unread !== undefined) throw new TypeError(`${method}: the request takes no key '${unread}'`);
  const built = { operation: number, dn };
  for (const [key, value] of [...Object.entries(fixed), ...keys.map((key) => [key, given[key]])]) {
    if (value !== undefined) built[key] = value;
  }
  return built;
}

// sphere(request) for each method of a table: method -> [operation name,
// args -> [fixed keys, caller's object]]. A request the client refuses
// rejects the returned promise, and nothing is sent.
function bind(group, sphere, numbers, dn, methods) {
  const bound = {};
  for (const [method, [operation, keys = () => [{}]]] of Object.entries(methods)) {
    bound[method] = (...args) => {
      let built;
      try {
        built = request(`${group}.${method}`, operation, numbers[operation], dn, keys(...args));
      } catch (error) {
        return Promise.reject(error);
      }
      return sphere(built);
    };
  }
  return Object.freeze(bound);
}

const fromArgs = (build) => (...args) => [build(...args)];
const fromObject = (object) => [{}, object];
const names = fromArgs((list) => ({ names: list }));

function feature(name, value, list) {
  if (!FEATURES.includes(name)) {
    throw new TypeError(`shares.setFeature: the feature is one of ${FEATURES.join(', ')}, not '${String(name)}'`);
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

// createClient({dn, module?}): `dn` is the logged-in user every request is
// made for; `module` the object with the four functions (the package's addon
// when left out).
function createClient({ dn, module } = {}) {
  const target = module || require('./addon').load();
  return Object.freeze({
    dn,
    shares: bind('shares', target.cifs_shares_sphere, SHARES, dn, shareMethods),
    connections: bind('connections', target.cifs_connections_sphere, CONNECTIONS, dn, connectionMethods),
    contexts: bind('contexts', target.cifs_contexts_sphere, CONTEXTS, dn, contextMethods),
    setLogLevel: (logLevel) => target.native_config_sphere({ logLevel }),
  });
}

module.exports = { createClient };
