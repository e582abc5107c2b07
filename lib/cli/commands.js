'use strict';
// Every cifs-admin subcommand: the sphere and operation it asks, the words
// and options it takes, the client method that sends its request and the
// arguments it makes of them (`call`: [group, method], `make`), which part of
// the answer a table shows as rows, and for a listing where its page is.
const { SHARES, CONNECTIONS, CONTEXTS } = require('../operations');
const { UsageError, count, feature, filters, required, lookUp } = require('./values');

const SHARE_FEATURES = { encryption: 'encryption', 'folder-redirection': 'folderRedirection', 'atm-backup': 'atmBackup' };

// The filters each listing takes, by the library or by the module.
const LIBRARY_FILTERS = ['type', 'search-name'];
const CONNECTION_FILTERS = ['status', 'name', 'connectionType', 'loginTime', 'totalBytesRead', 'totalBytesWritten'];

// Options of the three paged listings that the library filters.
const PAGING = {
  ignore: 'skip this many items first (default 0)',
  return: 'return at most this many items (default 50; with --all, per page)',
  cookie: 'continue after the page that handed out this cookie',
  all: 'follow the cookies from the first page to the last, printing the items as they come',
  match: 'how filters combine: all (default), any or none',
  filter: 'KEY=PATTERN, repeatable; patterns of one KEY form one filter',
};

// The keys of one page: counts, cookie and filters (of the keys `known`).
function paging(options, known = LIBRARY_FILTERS) {
  const request = { ignoreCount: count(options.ignore, 0, '--ignore'), returnCount: count(options.return, 50, '--return') };
  if (options.cookie !== undefined) request.cookie = options.cookie;
  const advanced = filters(options.filter, options.match, known);
  if (advanced) request.advancedFiltersInfo = advanced;
  return request;
}

// A share's whole configuration for creating it: what the options give, the
// features disabled by default.
function shareConfig([name], options) {
  return {
    name, volumeName: required(options.volume, '--volume'), relativePath: required(options.path, '--path'),
    encryption: 'disabled', folderRedirection: 'disabled', atmBackup: 'disabled', ...shareChanges(options),
  };
}

// What `shares change` changes: only what its options give.
function shareChanges(options) {
  const changes = {};
  const given = { volume: 'volumeName', path: 'relativePath', comment: 'comment', 'new-name': 'newName' };
  for (const [option, key] of Object.entries(given)) if (options[option] !== undefined) changes[key] = options[option];
  for (const [option, key] of Object.entries(SHARE_FEATURES)) if (options[option] !== undefined) changes[key] = feature(options[option], `--${option}`);
  return changes;
}

function switchFeature(value) {
  return ([name, ...shares]) => {
    const key = lookUp(SHARE_FEATURES, name);
    if (!key) throw new UsageError(`unknown feature '${name}': one of ${Object.keys(SHARE_FEATURES).join(', ')}`);
    return [key, value, shares];
  };
}

// The library's connection numbers are 16 bits.
function connectionNumber(word) {
  return count(word, undefined, 'the connection number', 0xffff);
}

const SHARE_CONFIG_OPTIONS = {
  volume: 'volume that holds the shared directory (required)',
  path: 'path of the directory inside the volume (required)',
  comment: 'share comment',
  encryption: 'enabled or disabled (default disabled)',
  'folder-redirection': 'enabled or disabled (default disabled)',
  'atm-backup': 'enabled or disabled (default disabled)',
};

const SHARE_CHANGE_OPTIONS = {
  volume: 'volume that holds the shared directory (default: as it is)',
  path: 'path of the directory inside the volume (default: as it is)',
  comment: 'share comment (default: as it is)',
  encryption: 'enabled or disabled (default: as it is)',
  'folder-redirection': 'enabled or disabled (default: as it is)',
  'atm-backup': 'enabled or disabled (default: as it is)',
  'new-name': 'rename the share',
};

const listing = (key, items) => ({ key, items });
const OPEN_FILES = listing('openFiles', 'files');

const batch = (answer) => [
  ...(answer.successfulList || []).map(({ name }) => ({ name, result: 'done' })),
  ...(answer.failedList || []).map(({ name, errorCode }) => ({ name, result: `failed (${errorCode})` })),
];

// Arguments of the usual shapes: none, the words as one list, the first word.
const noArgs = () => [];
const allWords = (words) => [words];
const firstWord = ([word]) => [word];

const commands = [
  { words: ['shares', 'list'], sphere: 'shares', operation: SHARES.FetchCIFSShares, summary: 'list every share',
    call: ['shares', 'list'], make: noArgs, rows: (a) => a.shares },
  {
    words: ['shares', 'create'], args: 'NAME', min: 1, max: 1, sphere: 'shares', operation: SHARES.CreateCIFSShare,
    summary: 'create a share on a directory of a volume',
    options: SHARE_CONFIG_OPTIONS, call: ['shares', 'create'], make: (words, o) => [shareConfig(words, o)],
  },
  {
    words: ['shares', 'change'], args: 'NAME', min: 1, max: 1, sphere: 'shares', operation: SHARES.ChangeCIFSShareConfiguration,
    summary: 'change a share, keeping what no option gives as the share has it',
    // The operation sets the whole configuration: the client's update reads the rest first.
    options: SHARE_CHANGE_OPTIONS, call: ['shares', 'update'], make: ([name], o) => [name, shareChanges(o)], reads: 'share',
    note: 'The operation sets a share\'s whole configuration, so the share is listed first and what the\n' +
      'options leave out is sent as it was; a change someone else makes between that read and\n' +
      'this write is overwritten. The comment is sent only when --comment is given.',
  },
  {
    words: ['shares', 'enable'], args: 'FEATURE NAME...', min: 2, sphere: 'shares', operation: SHARES.ChangeCIFSShareFeatureConfiguration,
    summary: 'switch a feature (encryption, folder-redirection, atm-backup) on for shares',
    call: ['shares', 'setFeature'], make: switchFeature('enabled'), rows: batch,
  },
  {
    words: ['shares', 'disable'], args: 'FEATURE NAME...', min: 2, sphere: 'shares', operation: SHARES.ChangeCIFSShareFeatureConfiguration,
    summary: 'switch a feature (encryption, folder-redirection, atm-backup) off for shares',
    call: ['shares', 'setFeature'], make: switchFeature('disabled'), rows: batch,
  },
  {
    words: ['shares', 'remove'], args: 'NAME...', min: 1, sphere: 'shares', operation: SHARES.RemoveCIFSShare,
    summary: 'remove shares', call: ['shares', 'remove'], make: allWords, rows: batch,
  },
  {
    words: ['files', 'list'], sphere: 'shares', operation: SHARES.ListOpenFilesOfShare,
    summary: 'list the open files of a share or volume, one page at a time',
    options: { volume: 'the volume whose open files are listed, or a share\'s name, which the library maps to one (required)', ...PAGING },
    note: 'Open files are listed by volume: --volume names a volume (the files open on every share\n' +
      'of it) or a share, which the library maps to a volume; the bundled simulator then lists the\n' +
      'files open on that share alone.',
    call: ['shares', 'listOpenFiles'], make: (_, o) => [{ volumeName: required(o.volume, '--volume'), ...paging(o) }],
    rows: (a) => a.openFiles && a.openFiles.files, listing: OPEN_FILES,
  },
  {
    words: ['files', 'close'], args: 'PATH...', min: 1, sphere: 'shares', operation: SHARES.CloseOpenFile,
    summary: 'close open files, named by their full paths', call: ['shares', 'closeOpenFiles'], make: allWords, rows: batch,
  },
  {
    words: ['files', 'close-all'], sphere: 'shares', operation: SHARES.CloseAllOpenFilesOfShare, summary: 'close every open file of a volume',
    options: { volume: 'volume whose open files are closed (required)' },
    call: ['shares', 'closeAllOpenFiles'], make: (_, o) => [required(o.volume, '--volume')],
  },
  {
    words: ['connections', 'count'], sphere: 'connections', operation: CONNECTIONS.FetchCIFSConnectionsCount, summary: 'count the active connections',
    call: ['connections', 'count'], make: noArgs, rows: (a) => [{ activeConnections: a.activeConnections }],
  },
  {
    words: ['connections', 'list'], sphere: 'connections', operation: CONNECTIONS.FetchCIFSConnectionsList,
    summary: 'list connections; filter keys: status, name, connectionType (exact texts, case included), loginTime, ' +
      'totalBytesRead, totalBytesWritten',
    options: { ignore: 'skip this many matching connections first (default 0)',
      return: 'examine at most this many connections (default 50)',
      all: 'examine every connection (one request; no --ignore or --return)', match: PAGING.match,
      filter: 'KEY=PATTERN, repeatable; range keys take pairs of bounds (loginTime=2024-05-01 loginTime=0; ' +
        'loginTime in seconds or as ISO 8601 dates)' },
    call: ['connections', 'list'], make: (_, o) => [paging(o, CONNECTION_FILTERS)],
    rows: (a) => a.connections, every: true,
  },
  {
    words: ['connections', 'show'], args: 'N', min: 1, max: 1, sphere: 'connections', operation: CONNECTIONS.FetchCIFSConnectionDetails,
    summary: 'show one connection with its security equivalences',
    call: ['connections', 'details'], make: ([n]) => [connectionNumber(n)], rows: (a) => a.connection && [a.connection],
  },
  {
    words: ['connections', 'shares'], args: 'N', min: 1, max: 1, sphere: 'connections', operation: CONNECTIONS.FetchCIFSConnectionMappedShares,
    summary: 'list the shares a connection has mapped',
    call: ['connections', 'mappedShares'], make: ([n]) => [connectionNumber(n)], rows: (a) => a.shares,
  },
  {
    words: ['connections', 'files'], args: 'N', min: 1, max: 1, sphere: 'connections', operation: CONNECTIONS.FetchCIFSConnectionOpenFiles,
    summary: 'list the files a connection holds open, one page at a time', options: PAGING,
    call: ['connections', 'openFiles'], make: ([n], o) => [connectionNumber(n), paging(o)],
    rows: (a) => a.openFiles && a.openFiles.files, listing: OPEN_FILES,
  },
  {
    words: ['users', 'list'], sphere: 'connections', operation: CONNECTIONS.FetchCIFSCachedInvalidUsersList,
    summary: 'list the cached invalid and blocked users; filter keys: type (Invalid, Blocked), search-name',
    options: PAGING, call: ['connections', 'invalidUsers'], make: (_, o) => [paging(o)],
    rows: (a) => a.invalidUsers && a.invalidUsers.users, listing: listing('invalidUsers', 'users'),
  },
  {
    words: ['users', 'add'], args: 'NAME', min: 1, max: 1, sphere: 'connections', operation: CONNECTIONS.AddPermanentInvalidUser,
    summary: 'add a permanent invalid user', call: ['connections', 'addPermanentInvalidUser'], make: firstWord,
  },
  {
    words: ['users', 'make-permanent'], args: 'NAME...', min: 1, sphere: 'connections', operation: CONNECTIONS.MakePermanentInvalidUser,
    summary: 'make cached invalid users permanent', call: ['connections', 'makePermanentInvalidUsers'], make: allWords, rows: batch,
  },
  {
    words: ['users', 'remove'], args: 'NAME...', min: 1, sphere: 'connections', operation: CONNECTIONS.RemoveInvalidUser,
    summary: 'remove invalid users from the cache', call: ['connections', 'removeInvalidUsers'], make: allWords, rows: batch,
  },
  {
    words: ['users', 'block'], args: 'NAME', min: 1, max: 1, sphere: 'connections', operation: CONNECTIONS.AddBlockedUser,
    summary: 'add a blocked user', call: ['connections', 'addBlockedUser'], make: firstWord,
  },
  {
    words: ['users', 'make-blocked'], args: 'NAME...', min: 1, sphere: 'connections', operation: CONNECTIONS.MakeBlockedUser,
    summary: 'block cached invalid users', call: ['connections', 'makeBlockedUsers'], make: allWords, rows: batch,
  },
  {
    words: ['users', 'unblock'], args: 'NAME...', min: 1, sphere: 'connections', operation: CONNECTIONS.UnblockUser,
    summary: 'unblock users', call: ['connections', 'unblockUsers'], make: allWords, rows: batch,
  },
  {
    words: ['contexts', 'list'], sphere: 'contexts', operation: CONTEXTS.FetchCIFSUserContexts, summary: 'list the user contexts',
    call: ['contexts', 'list'], make: noArgs, rows: (a) => a.userContexts && a.userContexts.map((userContext) => ({ userContext })),
  },
  {
    words: ['contexts', 'add'], args: 'CONTEXT...', min: 1, sphere: 'contexts', operation: CONTEXTS.AddCIFSUserContext,
    summary: 'add user contexts', call: ['contexts', 'add'], make: allWords, rows: batch,
  },
  {
    words: ['contexts', 'remove'], args: 'CONTEXT...', min: 1, sphere: 'contexts', operation: CONTEXTS.RemoveCIFSUserContexts,
    summary: 'remove user contexts', call: ['contexts', 'remove'], make: allWords, rows: batch,
  },
];

module.exports = { commands, SHARE_FEATURES };
