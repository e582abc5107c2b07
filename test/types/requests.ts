// Requests: correct ones type-check; each `@ts-expect-error` line must fail
// to compile (tsc reports an unused directive otherwise).
import cifs = require('cifs-native');
import { doctor } from 'cifs-native/doctor';

const dn = 'cn=admin,o=example';
const { SHARES, CONNECTIONS, CONTEXTS } = cifs;

export async function correct(): Promise<void> {
  await cifs.cifs_shares_sphere({ operation: SHARES.FetchCIFSShares, dn });
  await cifs.cifs_shares_sphere({ operation: 5, dn, names: ['a', 'b'] });
  await cifs.cifs_shares_sphere({
    operation: SHARES.CreateCIFSShare, dn, name: 'n', volumeName: 'V', relativePath: 'p',
    encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'disabled', comment: 'c',
  });
  await cifs.cifs_shares_sphere({ operation: SHARES.ChangeCIFSShareFeatureConfiguration, dn, atmBackup: 'enabled', names: [] });
  await cifs.cifs_shares_sphere({
    operation: SHARES.ListOpenFilesOfShare, dn, volumeName: 'V', ignoreCount: 0, returnCount: 10, cookie: 'c',
    advancedFiltersInfo: { matchType: 'any', filters: [{ filterBy: 'search-name', patterns: ['x'] }] },
  });
  await cifs.cifs_connections_sphere({ operation: CONNECTIONS.FetchCIFSConnectionsList, dn, ignoreCount: 0, returnCount: 50,
    advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'loginTime', patterns: ['0', '1700000000'] }] } });
  await cifs.cifs_connections_sphere({ operation: CONNECTIONS.FetchCIFSConnectionOpenFiles, dn });
  await cifs.cifs_connections_sphere({ operation: CONNECTIONS.UnblockUser, dn, names: ['u'] });
  await cifs.cifs_contexts_sphere({ operation: CONTEXTS.AddCIFSUserContext, dn, userContexts: ['.a'] });
  const none: undefined = cifs.native_config_sphere({ logLevel: 'info' });
  await import('cifs-native/client').then(({ createClient }) => createClient({ dn }).contexts.list());

  // A request of any operation, as a caller that routes requests holds it.
  const routed: cifs.SharesRequest = Math.random() > 0.5 ? { operation: 1, dn } : { operation: 8, dn, volumeName: 'V' };
  await cifs.cifs_shares_sphere(routed);
  const one: cifs.ConnectionsRequest<'FetchCIFSConnectionDetails'> = { operation: 3, dn, connectionNumber: 1 };
  await cifs.cifs_connections_sphere(one);
  const report = doctor();
  const found: boolean = report.libraries[0].found;
  void none; void found;
}

export async function wrong(): Promise<void> {
  // @ts-expect-error an unknown operation
  await cifs.cifs_shares_sphere({ operation: 9, dn });
  // @ts-expect-error an operation of another sphere
  await cifs.cifs_contexts_sphere({ operation: 4, dn });
  // @ts-expect-error dn missing
  await cifs.cifs_shares_sphere({ operation: 1 });
  // @ts-expect-error names missing
  await cifs.cifs_shares_sphere({ operation: SHARES.RemoveCIFSShare, dn });
  // @ts-expect-error names of the wrong type
  await cifs.cifs_shares_sphere({ operation: SHARES.RemoveCIFSShare, dn, names: 'a' });
  // @ts-expect-error a feature value that is not enabled/disabled
  await cifs.cifs_shares_sphere({ operation: 4, dn, encryption: 'on', names: ['a'] });
  // @ts-expect-error no feature key at all
  await cifs.cifs_shares_sphere({ operation: 4, dn, names: ['a'] });
  // @ts-expect-error returnCount missing
  await cifs.cifs_connections_sphere({ operation: CONNECTIONS.FetchCIFSConnectionsList, dn, ignoreCount: 0 });
  // @ts-expect-error a filter the connections list does not have
  await cifs.cifs_connections_sphere({ operation: 2, dn, ignoreCount: 0, returnCount: 1, advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'type', patterns: [] }] } });
  // @ts-expect-error connectionNumber as text
  await cifs.cifs_connections_sphere({ operation: CONNECTIONS.FetchCIFSConnectionDetails, dn, connectionNumber: '3' });
  // @ts-expect-error a match type that does not exist
  await cifs.cifs_shares_sphere({ operation: 6, dn, volumeName: 'V', ignoreCount: 0, returnCount: 1, advancedFiltersInfo: { matchType: 'some', filters: [] } });
  // @ts-expect-error the constants are read-only
  SHARES.FetchCIFSShares = 2;
}

// A misspelt or foreign key is no key of the operation's request.
export async function misspelt(): Promise<void> {
  // @ts-expect-error cookei
  await cifs.cifs_shares_sphere({ operation: 6, dn, volumeName: 'V', ignoreCount: 0, returnCount: 1, cookei: 'k' });
  // @ts-expect-error cookei on a request where every key is optional
  await cifs.cifs_connections_sphere({ operation: CONNECTIONS.FetchCIFSCachedInvalidUsersList, dn, cookei: 'k' });
  // @ts-expect-error connectionNumber is the details' key; the open files take connection
  await cifs.cifs_connections_sphere({ operation: CONNECTIONS.FetchCIFSConnectionOpenFiles, dn, connectionNumber: 3 });
  // @ts-expect-error the connections list has no cookie
  await cifs.cifs_connections_sphere({ operation: 2, dn, ignoreCount: 0, returnCount: 1, cookie: 'k' });
  // @ts-expect-error an operation without keys takes none
  await cifs.cifs_shares_sphere({ operation: SHARES.FetchCIFSShares, dn, names: ['a'] });
  // @ts-expect-error usercontexts
  await cifs.cifs_contexts_sphere({ operation: CONTEXTS.AddCIFSUserContext, dn, usercontexts: ['.a'] });
  await cifs.cifs_shares_sphere({ operation: 3, dn, name: 'n', volumeName: 'V', relativePath: 'p', encryption: 'enabled',
    // @ts-expect-error commnet
    folderRedirection: 'disabled', atmBackup: 'disabled', commnet: 'c' });
  // @ts-expect-error a request typed for one operation is not another's
  const wrong: cifs.ConnectionsRequest<'FetchCIFSConnectionDetails'> = { operation: 4, dn, connectionNumber: 1 };
  void wrong;
}
