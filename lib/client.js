'use strict';
// A typed client over the module's four functions. Each method builds one
// request ({operation, dn, ...keys}) and sends it; the answer is the
// module's own. What the client adds is what a caller should never get
// wrong silently: every value is checked, and sent as a snapshot the module
// cannot misread (lib/requests.js); a call that gets no answer rejects
// instead of resolving with undefined; the paged listings can be followed
// to their end; and what a server needs around its calls: each one bounded
// by a signal or timeout, at most maxInFlight of them at once, a close that
// drains them (lib/gate.js), and a trace of each (lib/tracing.js).
//
// It also guards the request's frame: the caller's objects may carry
// nothing but the keys their operation reads, so a body passed straight
// through cannot name another `dn` or `operation`.
const { SHARES, CONNECTIONS, CONTEXTS, LOG_LEVELS, FEATURES } = require('./operations');
const { CifsError, CATEGORIES, coded, errorCategory, invalidType, invalidValue } = require('./errors');
const { pages, pageOf, EVERY_RECORD } = require('./paging');
const { buildRequest, checked, ownCopy, shown } = require('./requests');
const { Gate, clientClosed, timedOut, reasonOf } = require('./gate');
const { traced, answered } = require('./tracing');

const SPHERES = {
  shares: ['cifs_shares_sphere', SHARES],
  connections: ['cifs_connections_sphere', CONNECTIONS],
  contexts: ['cifs_contexts_sphere', CONTEXTS],
};

// ---------------------------------------------------------------- call options

const CALL_OPTIONS = new Set(['signal', 'timeout']);

// {signal, timeout} of a call, read once: `timeout` in ms (0: none), the
// client's own when not given.
function callOptions(method, given, defaultTimeout) {
  if (given === undefined) return { signal: undefined, timeout: defaultTimeout };
  const own = ownCopy(`${method}: the call options`, given, CALL_OPTIONS);
  return {
    signal: own.signal === undefined ? undefined : checked(method, 'signal', own.signal),
    timeout: own.timeout === undefined ? defaultTimeout : checked(method, 'timeout', own.timeout),
  };
}

// One signal for calls that belong together (the pages of a listing, the
// read and the write of an update): the caller's, and the timeout counted
// from now. `release` drops the timer and the listener when they are done.
function span({ signal, timeout }) {
  if (!timeout) return { signal, release() {} };
  const controller = new AbortController();
  const follow = () => controller.abort(reasonOf(signal));
  if (signal?.aborted) follow();
  else signal?.addEventListener('abort', follow, { once: true });
  const timer = setTimeout(() => controller.abort(timedOut()), timeout);
  timer.unref();
  return {
    signal: controller.signal,
    release() {
      clearTimeout(timer);
      signal?.removeEventListener('abort', follow);
    },
  };
}

// ---------------------------------------------------------------- sending

// The sphere's promise; a sphere that returns no promise (an operation this
// cifs.node lacks, or a request Node-API could not start) or throws rejects.
function send(sphereName, sphere, built, operation) {
  const returned = sphere(built);
  if (returned === undefined) {
    throw coded(Error, 'ERR_CIFS_NO_ANSWER', `${sphereName} gave no answer to operation ${built.operation} (${operation}): ` +
      'this cifs.node does not have that operation, or could not start the request (its log says which)');
  }
  return returned;
}

// The client's one road to the module: `ask(group, operation, method,
// prepare)` takes the call's keys and call options from `prepare()` ([[fixed,
// given], {signal, timeout}]), checks and builds the request, sends it
// through the gate, traces it, and resolves with the answer (or, with
// `strict`, rejects a failure answer with a CifsError). A refused request
// rejects, traced, sending nothing.
function asker({ target, dn, gate, throwOnFailure }) {
  return (group, operation, method, prepare, strict = throwOnFailure) => {
    const [sphereName, numbers] = SPHERES[group];
    let built;
    let options;
    let refused;
    try {
      const [[fixed, given], call] = prepare();
      options = call;
      built = buildRequest(method, operation, numbers[operation], dn, fixed, given);
    } catch (error) {
      refused = error;
    }
    return traced(sphereName, operation, built, (context) => {
      if (refused !== undefined) return Promise.reject(refused);
      return gate.run(() => send(sphereName, target[sphereName], built, operation), options).then((answer) => {
        answered(context, answer);
        if (strict && answer.status !== 'success') throw new CifsError(answer);
        return answer;
      });
    });
  };
}

// ---------------------------------------------------------------- methods

const fromArgs = (build) => [(...args) => [build(...args)], build.length];
const fromObject = [(object) => [{}, object], 1];
const names = fromArgs((list) => ({ names: list }));
const none = [() => [{}], 0];

function feature(name, value, list) {
  if (!FEATURES.includes(name)) {
    const message = `shares.setFeature: the feature is one of ${FEATURES.join(', ')}, not ${shown(name)}`;
    throw typeof name === 'string' ? invalidValue(message) : invalidType(message);
  }
  return [{ [name]: value, names: list }];
}

// method -> [operation name, [args -> [fixed keys, caller's object], how many args]].
const METHODS = {
  shares: {
    list: ['FetchCIFSShares', none],
    create: ['CreateCIFSShare', fromObject],
    change: ['ChangeCIFSShareConfiguration', fromObject],
    setFeature: ['ChangeCIFSShareFeatureConfiguration', [feature, 3]],
    remove: ['RemoveCIFSShare', names],
    listOpenFiles: ['ListOpenFilesOfShare', fromObject],
    closeOpenFiles: ['CloseOpenFile', fromArgs((openFiles) => ({ openFiles }))],
    closeAllOpenFiles: ['CloseAllOpenFilesOfShare', fromArgs((volumeName) => ({ volumeName }))],
  },
  connections: {
    count: ['FetchCIFSConnectionsCount', none],
    list: ['FetchCIFSConnectionsList', fromObject],
    details: ['FetchCIFSConnectionDetails', fromArgs((connectionNumber) => ({ connectionNumber }))],
    mappedShares: ['FetchCIFSConnectionMappedShares', fromArgs((connectionNumber) => ({ connectionNumber }))],
    openFiles: ['FetchCIFSConnectionOpenFiles', [(connection, options) => [{ connection }, options], 2]],
    invalidUsers: ['FetchCIFSCachedInvalidUsersList', fromObject],
    addPermanentInvalidUser: ['AddPermanentInvalidUser', fromArgs((name) => ({ name }))],
    makePermanentInvalidUsers: ['MakePermanentInvalidUser', names],
    removeInvalidUsers: ['RemoveInvalidUser', names],
    addBlockedUser: ['AddBlockedUser', fromArgs((name) => ({ name }))],
    makeBlockedUsers: ['MakeBlockedUser', names],
    unblockUsers: ['UnblockUser', names],
  },
  contexts: {
    list: ['FetchCIFSUserContexts', none],
    add: ['AddCIFSUserContext', fromArgs((userContexts) => ({ userContexts }))],
    remove: ['RemoveCIFSUserContexts', fromArgs((userContexts) => ({ userContexts }))],
  },
};

// The arguments of a method with `count` of its own, then its call options;
// more would be a mistake (a signal given one place too far) that would
// otherwise go unnoticed.
function ownArguments(method, args, count, defaultTimeout) {
  if (args.length > count + 1) {
    throw invalidValue(`${method} takes ${count} argument${count === 1 ? '' : 's'} and call options, not ${args.length} arguments`);
  }
  return [args.slice(0, count), callOptions(method, args[count], defaultTimeout)];
}

// Each method of a group; a request the client refuses rejects the
// returned promise, and nothing is sent.
function bind(group, ask, defaultTimeout) {
  const bound = {};
  for (const [name, [operation, [keys, count]]] of Object.entries(METHODS[group])) {
    const method = `${group}.${name}`;
    bound[name] = (...args) => ask(group, operation, method, () => {
      const [own, options] = ownArguments(method, args, count, defaultTimeout);
      return [keys(...own), options];
    });
  }
  return bound;
}

// ---------------------------------------------------------------- updates

const UPDATE_KEYS = new Set(['newName', 'volumeName', 'relativePath', 'comment', 'encryption', 'folderRedirection', 'atmBackup']);
const KEPT_KEYS = ['volumeName', 'relativePath', 'encryption', 'folderRedirection', 'atmBackup'];

// Share names compare without regard to ASCII case, as the server's do: the
// share named exactly so, else the one share that matches without case.
function shareNamed(shares, name) {
  const folded = (text) => text.replace(/[A-Z]/g, (c) => c.toLowerCase());
  const listed = Array.isArray(shares) ? shares.filter((s) => s !== null && typeof s === 'object' && typeof s.name === 'string') : [];
  const exact = listed.find((s) => s.name === name);
  if (exact) return exact;
  const alike = listed.filter((s) => folded(s.name) === folded(name));
  return alike.length === 1 ? alike[0] : undefined;
}

// shares.update(name, changes, callOptions): the share as listed, with
// `changes` applied, sent as its whole configuration. The comment is sent
// only when changed (the library keeps it otherwise). A change someone
// makes between the read and the write is overwritten.
function updater(ask, throwOnFailure, defaultTimeout) {
  const method = 'shares.update';
  return async (...args) => {
    const [[name, changes], options] = ownArguments(method, args, 2, defaultTimeout);
    checked(method, 'name', name);
    const given = ownCopy(method, changes, UPDATE_KEYS);
    for (const key of Object.keys(given)) given[key] = checked(method, key, given[key], 'ChangeCIFSShareConfiguration');
    const bound = span(options);
    const within = { signal: bound.signal, timeout: 0 };
    try {
      const listed = await ask('shares', 'FetchCIFSShares', method, () => [[{}], within], false);
      if (listed.status !== 'success') {
        if (throwOnFailure) throw new CifsError(listed);
        return listed;
      }
      const share = shareNamed(listed.shares, name);
      if (share === undefined) {
        throw coded(Error, 'ERR_CIFS_NO_SUCH_SHARE', `${method}: no share named ${shown(name)} is listed ` +
          `(the listing holds ${Array.isArray(listed.shares) ? listed.shares.length : 'no'} shares)`, { shareName: name });
      }
      const config = { name: share.name };
      for (const key of KEPT_KEYS) config[key] = share[key];
      return await ask('shares', 'ChangeCIFSShareConfiguration', method, () => [[{}, { ...config, ...given }], within]);
    } finally {
      bound.release();
    }
  };
}

// ---------------------------------------------------------------- listings

const DEFAULT_PAGE_SIZE = 100;
const ITERATOR_OPTIONS = new Set(['pageSize', 'advancedFiltersInfo', 'signal', 'timeout']);
const CONNECTIONS_OPTIONS = new Set(['advancedFiltersInfo', 'signal', 'timeout']);

// The keys of a listing's pages from an iterator's options (read once,
// before the first page), and its call options: `pageSize` records from
// the first (for the connections list, which has no pages, every record of
// the library's list), after the page that handed out `cookie` when one is
// given.
function pageRequests(method, operation, fixed, options, defaultTimeout, paged = true) {
  const given = options === undefined || options === null ? { __proto__: null }
    : ownCopy(method, options, paged ? ITERATOR_OPTIONS : CONNECTIONS_OPTIONS);
  const returnCount = paged ? checked(method, 'pageSize', given.pageSize ?? DEFAULT_PAGE_SIZE, operation) : EVERY_RECORD;
  // Snapshotted once: every page sends the filters the first was checked with.
  const filters = given.advancedFiltersInfo === undefined ? {}
    : { advancedFiltersInfo: checked(method, 'advancedFiltersInfo', given.advancedFiltersInfo, operation) };
  const first = { ...fixed, ignoreCount: 0, returnCount };
  const call = callOptions(method, { signal: given.signal, timeout: given.timeout }, defaultTimeout);
  return [(cookie) => [cookie === undefined ? first : { ...first, cookie }, filters], call];
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
// checked or sent until iteration starts; its signal and timeout bound the
// whole iteration from then, and once either fires no further page is sent.
// A refused request, a failure answer (a CifsError, whatever
// `throwOnFailure` says: an iterator has no answer to hand back), a missing
// or cut page or a library going round in circles ends it with an error
// (lib/paging.js).
function listings(ask, defaultTimeout) {
  const out = {};
  for (const [method, [group, operation, key, list, args]] of Object.entries(PAGED)) {
    out[method] = async function* listing(...given) {
      const [pageKeys, options] = pageRequests(method, operation, ...args(...given), defaultTimeout);
      const bound = span(options);
      const within = { signal: bound.signal, timeout: 0 };
      try {
        const send = (cookie) => ask(group, operation, method, () => [pageKeys(cookie), within], false);
        for await (const page of pages(send, key, list)) yield* page[list];
      } finally {
        bound.release();
      }
    };
  }
  // returnCount counts the library's records examined, not connections
  // returned, so a short filtered page says nothing about the end: one
  // request examines them all.
  out.allConnections = async function* allConnections(options) {
    const [pageKeys, call] = pageRequests('allConnections', 'FetchCIFSConnectionsList', {}, options, defaultTimeout, false);
    yield* pageOf(await ask('connections', 'FetchCIFSConnectionsList', 'allConnections', () => [pageKeys(), call], false), 'connections');
  };
  return out;
}

// ---------------------------------------------------------------- client

const CLIENT_OPTIONS = new Set(['dn', 'module', 'throwOnFailure', 'timeout', 'maxInFlight']);

// The threads of Node's shared pool, as libuv reads UV_THREADPOOL_SIZE when
// the pool starts (atoi: 0 or no number is 1, and at most 1024; a negative
// number wraps past it): an estimate, since the pool may have started
// before the variable changed.
function threadPoolSize(env = process.env) {
  if (env.UV_THREADPOOL_SIZE === undefined) return 4;
  const leading = /^\s*([+-]?\d+)/.exec(env.UV_THREADPOOL_SIZE);
  const threads = leading ? Number(leading[1]) : 0;
  if (threads === 0) return 1;
  return threads < 0 || threads > 1024 ? 1024 : threads;
}

// createClient({dn, module?, throwOnFailure?, timeout?, maxInFlight?}): `dn`
// is the logged-in user every request is made for; `module` the object with
// the four functions (the package's addon when left out); with
// `throwOnFailure` a failure answer rejects with a CifsError instead of
// resolving; `timeout` (ms) bounds every call that names none; at most
// `maxInFlight` calls run at once (default: one less than the estimated
// pool, at least 1), the rest wait in order. Each option is read once.
// `addon` is the module a package entry gives when `module` is left out.
function createClient(options = {}, addon = undefined) {
  const given = ownCopy('createClient', options, CLIENT_OPTIONS);
  const { dn, module, throwOnFailure = false, timeout = 0 } = given;
  checked('createClient', 'dn', dn);
  if (typeof throwOnFailure !== 'boolean') throw invalidType(`createClient: 'throwOnFailure' must be a boolean, not ${shown(throwOnFailure)}`);
  checked('createClient', 'timeout', timeout);
  const maxInFlight = given.maxInFlight === undefined ? Math.max(1, threadPoolSize() - 1) : checked('createClient', 'maxInFlight', given.maxInFlight);
  const target = module || addon || require('./addon').load();
  const gate = new Gate(maxInFlight);
  const ask = asker({ target, dn, gate, throwOnFailure });
  const shares = bind('shares', ask, timeout);
  shares.update = updater(ask, throwOnFailure, timeout);
  return Object.freeze({
    dn,
    maxInFlight,
    shares: Object.freeze(shares),
    connections: Object.freeze(bind('connections', ask, timeout)),
    contexts: Object.freeze(bind('contexts', ask, timeout)),
    ...listings(ask, timeout),
    // Calls running (each holds a thread of the pool) and calls waiting for one.
    get inFlight() { return gate.inFlight; },
    get queued() { return gate.queued; },
    // Refuses new calls (ERR_CIFS_CLIENT_CLOSED); resolves once the queued
    // and running ones are done, or, with `abort`, rejects them at once.
    close(closeOptions) {
      try {
        const { abort = false } = closeOptions === undefined ? {} : ownCopy('close', closeOptions, new Set(['abort']));
        if (typeof abort !== 'boolean') throw invalidType(`close: 'abort' must be a boolean, not ${shown(abort)}`);
        return gate.close({ abort });
      } catch (error) {
        return Promise.reject(error);
      }
    },
    // The module only logs a level it refuses, so the client refuses it.
    setLogLevel(logLevel) {
      const message = `setLogLevel: the level is one of ${LOG_LEVELS.join(', ')}, not ${shown(logLevel)}`;
      if (typeof logLevel !== 'string') return Promise.reject(invalidType(message));
      if (!LOG_LEVELS.includes(logLevel.toLowerCase())) return Promise.reject(invalidValue(message));
      if (gate.closed) return Promise.reject(clientClosed());
      try {
        target.native_config_sphere({ __proto__: null, logLevel });
      } catch (error) {
        return Promise.reject(error);
      }
      return Promise.resolve();
    },
  });
}

module.exports = { createClient, CifsError, errorCategory, CATEGORIES };
