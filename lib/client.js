'use strict';
// A thin typed client over the module's four functions: each method builds
// one request object ({operation, dn, ...keys}) and returns the sphere's
// promise (or the config sphere's undefined) unchanged. It checks nothing and
// converts nothing; what the module answers is what the caller gets.
const { SHARES, CONNECTIONS, CONTEXTS } = require('./operations');

// Keys left undefined are not sent: the module tests optional keys for
// presence, so `cookie: undefined` would count as a cookie that cannot be read.
function request(operation, dn, keys) {
  const built = { operation, dn };
  for (const [key, value] of Object.entries(keys || {})) if (value !== undefined) built[key] = value;
  return built;
}

// sphere(request) for each operation of a table: method name -> [operation, keys(args)].
function bind(sphere, dn, methods) {
  const bound = {};
  for (const [method, [operation, keys]] of Object.entries(methods)) {
    bound[method] = (...args) => sphere(request(operation, dn, keys ? keys(...args) : undefined));
  }
  return Object.freeze(bound);
}

const names = (list) => ({ names: list });
const page = (options = {}) => ({
  ignoreCount: options.ignoreCount,
  returnCount: options.returnCount,
  cookie: options.cookie,
  advancedFiltersInfo: options.advancedFiltersInfo,
});

const shareMethods = {
  list: [SHARES.FetchCIFSShares],
  create: [SHARES.CreateCIFSShare, (config) => config],
  change: [SHARES.ChangeCIFSShareConfiguration, (config) => config],
  setFeature: [SHARES.ChangeCIFSShareFeatureConfiguration, (feature, value, list) => ({ [feature]: value, names: list })],
  remove: [SHARES.RemoveCIFSShare, names],
  listOpenFiles: [SHARES.ListOpenFilesOfShare, (options) => ({ volumeName: options.volumeName, ...page(options) })],
  closeOpenFiles: [SHARES.CloseOpenFile, (paths) => ({ openFiles: paths })],
  closeAllOpenFiles: [SHARES.CloseAllOpenFilesOfShare, (volumeName) => ({ volumeName })],
};

const connectionMethods = {
  count: [CONNECTIONS.FetchCIFSConnectionsCount],
  list: [CONNECTIONS.FetchCIFSConnectionsList, (options) => ({
    ignoreCount: options.ignoreCount,
    returnCount: options.returnCount,
    advancedFiltersInfo: options.advancedFiltersInfo,
  })],
  details: [CONNECTIONS.FetchCIFSConnectionDetails, (connectionNumber) => ({ connectionNumber })],
  mappedShares: [CONNECTIONS.FetchCIFSConnectionMappedShares, (connectionNumber) => ({ connectionNumber })],
  openFiles: [CONNECTIONS.FetchCIFSConnectionOpenFiles, (connection, options) => ({ connection, ...page(options) })],
  invalidUsers: [CONNECTIONS.FetchCIFSCachedInvalidUsersList, page],
  addPermanentInvalidUser: [CONNECTIONS.AddPermanentInvalidUser, (name) => ({ name })],
  makePermanentInvalidUsers: [CONNECTIONS.MakePermanentInvalidUser, names],
  removeInvalidUsers: [CONNECTIONS.RemoveInvalidUser, names],
  addBlockedUser: [CONNECTIONS.AddBlockedUser, (name) => ({ name })],
  makeBlockedUsers: [CONNECTIONS.MakeBlockedUser, names],
  unblockUsers: [CONNECTIONS.UnblockUser, names],
};

const contextMethods = {
  list: [CONTEXTS.FetchCIFSUserContexts],
  add: [CONTEXTS.AddCIFSUserContext, (userContexts) => ({ userContexts })],
  remove: [CONTEXTS.RemoveCIFSUserContexts, (userContexts) => ({ userContexts })],
};

// createClient({dn, module?}): `dn` is the logged-in user every request is
// made for; `module` the object with the four functions (the package's addon
// when left out).
function createClient({ dn, module } = {}) {
  const target = module || require('./addon').load();
  return Object.freeze({
    dn,
    shares: bind(target.cifs_shares_sphere, dn, shareMethods),
    connections: bind(target.cifs_connections_sphere, dn, connectionMethods),
    contexts: bind(target.cifs_contexts_sphere, dn, contextMethods),
    setLogLevel: (logLevel) => target.native_config_sphere({ logLevel }),
  });
}

module.exports = { createClient };
