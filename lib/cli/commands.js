'use strict';
// Every cifs-admin subcommand: the sphere and operation it asks, the words
// and options it takes, how it builds the request from them, and which part
// of the answer --table shows as rows.
const { UsageError, count, feature, filters, required } = require('./values');

const SHARE_FEATURES = { encryption: 'encryption', 'folder-redirection': 'folderRedirection', 'atm-backup': 'atmBackup' };

// Options of the three paged listings that the library filters.
const PAGING = {
  ignore: 'skip this many items first (default 0)',
  return: 'return at most this many items (default 50)',
  cookie: 'continue after the page that handed out this cookie',
  match: 'how filters combine: all (default), any or none',
  filter: 'KEY=PATTERN, repeatable; patterns of one KEY form one filter',
};

function paging(options) {
  const request = { ignoreCount: count(options.ignore, 0, '--ignore'), returnCount: count(options.return, 50, '--return') };
  if (options.cookie !== undefined) request.cookie = options.cookie;
  const advanced = filters(options.filter, options.match);
  if (advanced) request.advancedFiltersInfo = advanced;
  return request;
}

function shareConfig(words, options) {
  const request = {
    name: words[0],
    volumeName: required(options.volume, '--volume'),
    relativePath: required(options.path, '--path'),
    encryption: feature(options.encryption, '--encryption'),
    folderRedirection: feature(options['folder-redirection'], '--folder-redirection'),
    atmBackup: feature(options['atm-backup'], '--atm-backup'),
  };
  if (options.comment !== undefined) request.comment = options.comment;
  if (options['new-name'] !== undefined) request.newName = options['new-name'];
  return request;
}

function switchFeature(value) {
  return ([name, ...shares]) => {
    const key = SHARE_FEATURES[name];
    if (!key) throw new UsageError(`unknown feature '${name}': one of ${Object.keys(SHARE_FEATURES).join(', ')}`);
    return { [key]: value, names: shares };
  };
}

function connectionNumber(word) {
  return count(word, undefined, 'the connection number');
}

const SHARE_CONFIG_OPTIONS = {
  volume: 'volume that holds the shared directory (required)',
  path: 'path of the directory inside the volume (required)',
  comment: 'share comment',
  encryption: 'enabled or disabled (default disabled)',
  'folder-redirection': 'enabled or disabled (default disabled)',
  'atm-backup': 'enabled or disabled (default disabled)',
};

const batch = (answer) => [
  ...(answer.successfulList || []).map(({ name }) => ({ name, result: 'done' })),
  ...(answer.failedList || []).map(({ name, errorCode }) => ({ name, result: `failed (${errorCode})` })),
];

const commands = [
  { words: ['shares', 'list'], sphere: 'shares', operation: 1, summary: 'list every share', rows: (a) => a.shares },
  {
    words: ['shares', 'create'], args: 'NAME', min: 1, max: 1, sphere: 'shares', operation: 2,
    summary: 'create a share on a directory of a volume',
    options: SHARE_CONFIG_OPTIONS, request: shareConfig,
  },
  {
    words: ['shares', 'change'], args: 'NAME', min: 1, max: 1, sphere: 'shares', operation: 3,
    summary: 'set the whole configuration of a share (features left out become disabled)',
    options: { ...SHARE_CONFIG_OPTIONS, 'new-name': 'rename the share' }, request: shareConfig,
  },
  {
    words: ['shares', 'enable'], args: 'FEATURE NAME...', min: 2, sphere: 'shares', operation: 4,
    summary: 'switch a feature (encryption, folder-redirection, atm-backup) on for shares',
    request: switchFeature('enabled'), rows: batch,
  },
  {
    words: ['shares', 'disable'], args: 'FEATURE NAME...', min: 2, sphere: 'shares', operation: 4,
    summary: 'switch a feature (encryption, folder-redirection, atm-backup) off for shares',
    request: switchFeature('disabled'), rows: batch,
  },
  {
    words: ['shares', 'remove'], args: 'NAME...', min: 1, sphere: 'shares', operation: 5,
    summary: 'remove shares', request: (names) => ({ names }), rows: batch,
  },
  {
    words: ['files', 'list'], sphere: 'shares', operation: 6,
    summary: 'list the open files of a share or volume, one page at a time',
    options: { volume: 'share or volume whose open files are listed (required)', ...PAGING },
    request: (_, o) => ({ volumeName: required(o.volume, '--volume'), ...paging(o) }),
    rows: (a) => a.openFiles && a.openFiles.files, page: (a) => a.openFiles,
  },
  {
    words: ['files', 'close'], args: 'PATH...', min: 1, sphere: 'shares', operation: 7,
    summary: 'close open files, named by their full paths', request: (openFiles) => ({ openFiles }), rows: batch,
  },
  {
    words: ['files', 'close-all'], sphere: 'shares', operation: 8, summary: 'close every open file of a volume',
    options: { volume: 'volume whose open files are closed (required)' },
    request: (_, o) => ({ volumeName: required(o.volume, '--volume') }),
  },
  {
    words: ['connections', 'count'], sphere: 'connections', operation: 1, summary: 'count the active connections',
    rows: (a) => [{ activeConnections: a.activeConnections }],
  },
  {
    words: ['connections', 'list'], sphere: 'connections', operation: 2,
    summary: 'list connections; filter keys: status, name, connectionType, loginTime, totalBytesRead, totalBytesWritten',
    options: { ignore: 'skip this many matching connections first (default 0)',
      return: 'examine at most this many connections (default 50)', match: PAGING.match,
      filter: 'KEY=PATTERN, repeatable; range keys take pairs of bounds (loginTime=0 loginTime=1700000000)' },
    request: (_, o) => {
      const request = { ignoreCount: count(o.ignore, 0, '--ignore'), returnCount: count(o.return, 50, '--return') };
      const advanced = filters(o.filter, o.match);
      if (advanced) request.advancedFiltersInfo = advanced;
      return request;
    },
    rows: (a) => a.connections,
  },
  {
    words: ['connections', 'show'], args: 'N', min: 1, max: 1, sphere: 'connections', operation: 3,
    summary: 'show one connection with its security equivalences',
    request: ([n]) => ({ connectionNumber: connectionNumber(n) }), rows: (a) => a.connection && [a.connection],
  },
  {
    words: ['connections', 'shares'], args: 'N', min: 1, max: 1, sphere: 'connections', operation: 4,
    summary: 'list the shares a connection has mapped',
    request: ([n]) => ({ connectionNumber: connectionNumber(n) }), rows: (a) => a.shares,
  },
  {
    words: ['connections', 'files'], args: 'N', min: 1, max: 1, sphere: 'connections', operation: 5,
    summary: 'list the files a connection holds open, one page at a time', options: PAGING,
    request: ([n], o) => ({ connection: connectionNumber(n), ...paging(o) }),
    rows: (a) => a.openFiles && a.openFiles.files, page: (a) => a.openFiles,
  },
  {
    words: ['users', 'list'], sphere: 'connections', operation: 6,
    summary: 'list the cached invalid and blocked users; filter keys: type (Invalid, Blocked), search-name',
    options: PAGING, request: (_, o) => paging(o),
    rows: (a) => a.invalidUsers && a.invalidUsers.users, page: (a) => a.invalidUsers,
  },
  {
    words: ['users', 'add'], args: 'NAME', min: 1, max: 1, sphere: 'connections', operation: 7,
    summary: 'add a permanent invalid user', request: ([name]) => ({ name }),
  },
  {
    words: ['users', 'make-permanent'], args: 'NAME...', min: 1, sphere: 'connections', operation: 8,
    summary: 'make cached invalid users permanent', request: (names) => ({ names }), rows: batch,
  },
  {
    words: ['users', 'remove'], args: 'NAME...', min: 1, sphere: 'connections', operation: 9,
    summary: 'remove invalid users from the cache', request: (names) => ({ names }), rows: batch,
  },
  {
    words: ['users', 'block'], args: 'NAME', min: 1, max: 1, sphere: 'connections', operation: 10,
    summary: 'add a blocked user', request: ([name]) => ({ name }),
  },
  {
    words: ['users', 'make-blocked'], args: 'NAME...', min: 1, sphere: 'connections', operation: 11,
    summary: 'block cached invalid users', request: (names) => ({ names }), rows: batch,
  },
  {
    words: ['users', 'unblock'], args: 'NAME...', min: 1, sphere: 'connections', operation: 12,
    summary: 'unblock users', request: (names) => ({ names }), rows: batch,
  },
  {
    words: ['contexts', 'list'], sphere: 'contexts', operation: 1, summary: 'list the user contexts',
    rows: (a) => a.userContexts && a.userContexts.map((userContext) => ({ userContext })),
  },
  {
    words: ['contexts', 'add'], args: 'CONTEXT...', min: 1, sphere: 'contexts', operation: 2,
    summary: 'add user contexts', request: (userContexts) => ({ userContexts }), rows: batch,
  },
  {
    words: ['contexts', 'remove'], args: 'CONTEXT...', min: 1, sphere: 'contexts', operation: 3,
    summary: 'remove user contexts', request: (userContexts) => ({ userContexts }), rows: batch,
  },
];

module.exports = { commands, SHARE_FEATURES };
