'use strict';
// Operation numbers of the three spheres, by the operation's name (the name an
// answer carries in `operation`), and the log levels. Frozen: they are the
// module's wire contract. Copies of the C++ tables (src/*/*_table.inc,
// src/base/log_levels.h), held against them by test/88-constants.test.js.
const SHARES = Object.freeze({
  FetchCIFSShares: 1,
  CreateCIFSShare: 2,
  ChangeCIFSShareConfiguration: 3,
  ChangeCIFSShareFeatureConfiguration: 4,
  RemoveCIFSShare: 5,
  ListOpenFilesOfShare: 6,
  CloseOpenFile: 7,
  CloseAllOpenFilesOfShare: 8,
});

const CONNECTIONS = Object.freeze({
  FetchCIFSConnectionsCount: 1,
  FetchCIFSConnectionsList: 2,
  FetchCIFSConnectionDetails: 3,
  FetchCIFSConnectionMappedShares: 4,
  FetchCIFSConnectionOpenFiles: 5,
  FetchCIFSCachedInvalidUsersList: 6,
  AddPermanentInvalidUser: 7,
  MakePermanentInvalidUser: 8,
  RemoveInvalidUser: 9,
  AddBlockedUser: 10,
  MakeBlockedUser: 11,
  UnblockUser: 12,
});

const CONTEXTS = Object.freeze({
  FetchCIFSUserContexts: 1,
  AddCIFSUserContext: 2,
  RemoveCIFSUserContexts: 3,
});

// Frozen all the way down.
const deepFreeze = (table) => Object.freeze(Object.fromEntries(Object.entries(table)
  .map(([k, v]) => [k, v !== null && typeof v === 'object' && !Array.isArray(v) ? deepFreeze(v) : Object.freeze(v)])));

const PAGE = ['ignoreCount', 'returnCount', 'cookie', 'advancedFiltersInfo'];
const SHARE_CONFIG = ['name', 'newName', 'volumeName', 'relativePath', 'comment', 'encryption', 'folderRedirection', 'atmBackup'];
const FEATURES = Object.freeze(['encryption', 'folderRedirection', 'atmBackup']);

// The keys each operation's parser reads beyond `operation` and `dn`: the
// client sends no other (test/88-constants.test.js probes the module's parsers
// for them).
const REQUEST_KEYS = deepFreeze({
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
});

// Most bytes the module copies out of one request's list of names (each
// name's UTF-8 bytes and a terminating NUL): a batch beyond it is refused.
const MAX_LIST_COPY_BYTES = 64 * 1024 * 1024;

// Most UTF-8 bytes of each text the module reads through a fixed buffer (the
// buffer less its NUL): a longer one would be cut and acted on as its start,
// so the client refuses it. `volumeName` is bounded only where the open
// files of a share are listed; other operations read it at any length.
// `patterns` gives, per listing that takes filters, each filterBy it knows
// and the bound of its patterns; the connections list's range filters (whose
// patterns are pairs of bounds) are named in RANGE_FILTERS. Copies of
// src/request/request_instance.h (caller_dn), src/wire/open_file_records.h,
// invalid_user_records.h, filter_block.h and connection_filter_record.h.
const libraryFilters = (type) => ({ type, 'search-name': 767 });
const MAX_TEXT_BYTES = deepFreeze({
  dn: 255,
  cookie: 31,
  volumeName: 255,
  matchType: 31,
  filterBy: 31,
  patterns: {
    ListOpenFilesOfShare: libraryFilters(7),
    FetchCIFSConnectionOpenFiles: libraryFilters(7),
    FetchCIFSCachedInvalidUsersList: libraryFilters(31),
    FetchCIFSConnectionsList: Object.fromEntries(
      ['connectionType', 'totalBytesRead', 'totalBytesWritten', 'loginTime', 'status', 'name'].map((key) => [key, 31])),
  },
});
const RANGE_FILTERS = Object.freeze(['totalBytesRead', 'totalBytesWritten', 'loginTime']);

// From the most to the least verbose.
const LOG_LEVELS = Object.freeze(['debug', 'info', 'warn', 'error']);

module.exports = {
  SHARES, CONNECTIONS, CONTEXTS, LOG_LEVELS, REQUEST_KEYS, FEATURES, MAX_LIST_COPY_BYTES, MAX_TEXT_BYTES, RANGE_FILTERS,
};
