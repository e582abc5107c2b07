'use strict';
// Every operation of the three CIFS spheres as the suites that cover them all
// see it: a request that succeeds against the seed model (or, given a serial
// number, one that touches only names of its own), the library calls it makes
// (where a failure can be injected), the keys a success may answer with, and
// whether it reports outcome lists.
const { cifs } = require('./addon');

const dn = 'cn=admin,o=example';
const spheres = {
  shares: (request) => cifs.cifs_shares_sphere(request),
  connections: (request) => cifs.cifs_connections_sphere(request),
  contexts: (request) => cifs.cifs_contexts_sphere(request),
};
const outcomeKeys = ['successfulCount', 'successfulList', 'failedCount', 'failedList'];
const shareTexts = (name) => ({
  name, volumeName: 'DATA', relativePath: `p/${name}`, encryption: 'enabled', folderRedirection: 'disabled',
  atmBackup: 'disabled', comment: `share ${name}`,
});
const page = { ignoreCount: 0, returnCount: 10 };

// fields(serial): the operation's own keys; serial tells concurrent requests apart.
const operations = [
  { sphere: 'contexts', operation: 1, name: 'FetchCIFSUserContexts', calls: ['CIFSLIB_ListUserContexts'],
    result: ['userContexts'], fields: () => ({}) },
  { sphere: 'contexts', operation: 2, name: 'AddCIFSUserContext', calls: ['CIFSLIB_AddUserContext'], batch: true,
    fields: (serial) => ({ userContexts: [`.c${serial}.example`, `.d${serial}.example`] }) },
  { sphere: 'contexts', operation: 3, name: 'RemoveCIFSUserContexts', calls: ['CIFSLIB_RemoveUserContext'],
    batch: true, fields: (serial) => ({ userContexts: serial === undefined ? ['.users.org'] : [`.r${serial}.example`] }) },

  { sphere: 'shares', operation: 1, name: 'FetchCIFSShares', calls: ['CIFSLIB_ListAllShares'], result: ['shares'],
    fields: () => ({}) },
  { sphere: 'shares', operation: 2, name: 'CreateCIFSShare', calls: ['CIFSLIB_CreateShare'],
    fields: (serial = 0) => shareTexts(`new${serial}`) },
  { sphere: 'shares', operation: 3, name: 'ChangeCIFSShareConfiguration', calls: ['CIFSLIB_ChangeShareConfiguration'],
    fields: () => ({ ...shareTexts('projects'), relativePath: 'projects' }) },
  { sphere: 'shares', operation: 4, name: 'ChangeCIFSShareFeatureConfiguration', batch: true,
    calls: ['CIFSLIB_ChangeShareFeatureConfiguration'], fields: () => ({ encryption: 'enabled', names: ['DATA', 'home'] }) },
  { sphere: 'shares', operation: 5, name: 'RemoveCIFSShare', calls: ['CIFSLIB_RemoveShare'], batch: true,
    fields: (serial) => ({ names: serial === undefined ? ['projects'] : [`gone${serial}`] }) },
  { sphere: 'shares', operation: 6, name: 'ListOpenFilesOfShare', calls: ['CIFSLIB_ListOpenFiles'], result: ['openFiles'],
    filters: ['type', 'search-name'], fields: () => ({ volumeName: 'DATA', ...page }) },
  { sphere: 'shares', operation: 7, name: 'CloseOpenFile', calls: ['CIFSLIB_CloseOpenFile'], batch: true,
    fields: (serial) => ({ openFiles: [serial === undefined ? '/DATA/report.pdf' : `/DATA/closed${serial}.txt`] }) },
  { sphere: 'shares', operation: 8, name: 'CloseAllOpenFilesOfShare', calls: ['CIFSLIB_CloseAllOpenFiles'],
    fields: () => ({ volumeName: 'SYS' }) },

  { sphere: 'connections', operation: 1, name: 'FetchCIFSConnectionsCount', calls: ['CIFSLIB_GetConnectionsCount'],
    result: ['activeConnections'], fields: () => ({}) },
  { sphere: 'connections', operation: 2, name: 'FetchCIFSConnectionsList', calls: ['CIFSLIB_GetConnectionsList'],
    result: ['connections'], fields: () => ({ ...page }),
    filters: ['connectionType', 'status', 'name', 'totalBytesRead', 'totalBytesWritten', 'loginTime'] },
  { sphere: 'connections', operation: 3, name: 'FetchCIFSConnectionDetails', calls: ['CIFSLIB_GetConnectionDetails'],
    result: ['connection'], fields: () => ({ connectionNumber: 1 }) },
  { sphere: 'connections', operation: 4, name: 'FetchCIFSConnectionMappedShares',
    calls: ['CIFSLIB_GetConnectionMappedShares'], result: ['shares'], fields: () => ({ connectionNumber: 2 }) },
  { sphere: 'connections', operation: 5, name: 'FetchCIFSConnectionOpenFiles', calls: ['CIFSLIB_ListOpenFiles'],
    result: ['openFiles'], filters: ['type', 'search-name'], fields: () => ({ connection: 1, ...page }) },
  { sphere: 'connections', operation: 6, name: 'FetchCIFSCachedInvalidUsersList', calls: ['CIFSLIB_ListInvalidUsers'],
    result: ['invalidUsers'], filters: ['type', 'search-name'], fields: () => ({ ...page }) },
  { sphere: 'connections', operation: 7, name: 'AddPermanentInvalidUser', calls: ['CIFSLIB_AddPermanentInvalidUser'],
    fields: (serial = 0) => ({ name: `intruder${serial}` }) },
  { sphere: 'connections', operation: 8, name: 'MakePermanentInvalidUser', calls: ['CIFSLIB_MakePermanentInvalidUser'],
    batch: true, fields: (serial) => ({ names: serial === undefined ? ['guest', 'jdoe'] : [`nobody${serial}`] }) },
  { sphere: 'connections', operation: 9, name: 'RemoveInvalidUser', calls: ['CIFSLIB_RemoveInvalidUser'], batch: true,
    fields: (serial) => ({ names: serial === undefined ? ['guest'] : [`nobody${serial}`] }) },
  { sphere: 'connections', operation: 10, name: 'AddBlockedUser', calls: ['CIFSLIB_AddPermanentInvalidUser'],
    fields: (serial = 0) => ({ name: `blocked${serial}` }) },
  { sphere: 'connections', operation: 11, name: 'MakeBlockedUser', calls: ['CIFSLIB_MakePermanentInvalidUser'],
    batch: true, fields: (serial) => ({ names: serial === undefined ? ['jdoe'] : [`nobody${serial}`] }) },
  { sphere: 'connections', operation: 12, name: 'UnblockUser', calls: ['CIFSLIB_RemoveInvalidUser'], batch: true,
    fields: (serial) => ({ names: serial === undefined ? ['mallory'] : [`nobody${serial}`] }) },
];

const lastOperation = Object.fromEntries(Object.keys(spheres).map((sphere) => [
  sphere, Math.max(...operations.filter((op) => op.sphere === sphere).map((op) => op.operation)),
]));

// A request to one sphere: operation and dn, then the fields given (which may replace dn).
const ask = (sphere) => (operation, fields) => spheres[sphere]({ operation, dn, ...fields });
const [shares, connections, contexts] = ['shares', 'connections', 'contexts'].map(ask);

// The request of `op` as its sphere expects it.
const request = (op, serial) => ({ operation: op.operation, dn, ...op.fields(serial) });
const send = (op, serial) => spheres[op.sphere](request(op, serial));

module.exports = { dn, spheres, operations, lastOperation, outcomeKeys, request, send, shares, connections, contexts };
