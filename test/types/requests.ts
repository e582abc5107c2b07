// Requests: correct ones type-check; each `@ts-expect-error` line must fail
// to compile (tsc reports an unused directive otherwise).
import cifs = require('cifs-native');
import { createClient } from 'cifs-native/client';
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

  const client = createClient({ dn });
  await client.shares.remove(['a', 'b']);
  await client.connections.list({ ignoreCount: 0, returnCount: 5 });
  await client.connections.openFiles(3, { cookie: 'k' });
  client.setLogLevel('debug');
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
  const client = createClient({ dn });
  // @ts-expect-error names, not one name
  await client.shares.remove('a');
  // @ts-expect-error the client has no such operation
  await client.shares.rename('a');
  // @ts-expect-error createClient needs the dn
  createClient({});
}
