'use strict';
// Operation numbers of the three spheres, by the operation's name (the name an
// answer carries in `operation`), and the log levels. Frozen: they are the
// module's wire contract. Copies of the C++ tables (src/*/*_table.inc,
// src/module/log_levels.h), held against them by test/88-constants.test.js.
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

// From the most to the least verbose.
const LOG_LEVELS = Object.freeze(['debug', 'info', 'warn', 'error']);

module.exports = { SHARES, CONNECTIONS, CONTEXTS, LOG_LEVELS };
