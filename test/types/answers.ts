// Answers narrow on `status` and carry each operation's own keys: required
// where only a Node-API failure could leave a key out, optional where a
// success may come without it.
import cifs = require('cifs-native');
import type { ErrorTag, SharesAnswer } from 'cifs-native';

const dn = 'cn=admin,o=example';
// Compiles only when the value has type T.
declare function is<T>(value: T): void;

export async function narrowing(): Promise<void> {
  const listed = await cifs.cifs_shares_sphere({ operation: cifs.SHARES.FetchCIFSShares, dn });
  if (listed.status === 'success') {
    is<string[]>(listed.shares.map((share) => share.name));
    is<'FetchCIFSShares'>(listed.operation);
    // @ts-expect-error a key of another operation
    is(listed.openFiles);
  } else {
    is<'FetchCIFSShares' | ''>(listed.operation);
    is<ErrorTag | undefined>(listed.error?.errorID);
    // @ts-expect-error error may be missing
    is<number>(listed.error.errorCode);
  }

  const removed = await cifs.cifs_shares_sphere({ operation: 5, dn, names: ['a'] });
  if (removed.status === 'failure') {
    is<string | undefined>(removed.failedCount);
    is<number | undefined>(removed.failedList?.[0]?.errorCode);
    // @ts-expect-error a failed batch lists no successes
    is(removed.successfulList);
  } else {
    is<string | undefined>(removed.successfulCount);
  }

  const page = await cifs.cifs_connections_sphere({ operation: cifs.CONNECTIONS.FetchCIFSConnectionsList, dn, ignoreCount: 0, returnCount: 9 });
  if (page.status === 'success') {
    is<string>(page.connections[0].totalBytesRead);
    is<boolean>(page.connections[0].isEncrypted);
    // @ts-expect-error the connection type may be left out
    is<string>(page.connections[0].connectionType);
  }

  const users = await cifs.cifs_connections_sphere({ operation: 6, dn });
  if (users.status === 'success') {
    is<'Invalid' | 'Blocked' | undefined>(users.invalidUsers?.users[0]?.type);
    // @ts-expect-error a success may come without the page (its shared memory result unreadable)
    is<number>(users.invalidUsers.count);
  }

  const files = await cifs.cifs_shares_sphere({ operation: 6, dn, volumeName: 'V', ignoreCount: 0, returnCount: 5 });
  if (files.status === 'success' && files.openFiles) is<[string, string | undefined]>([files.openFiles.cookie, files.openFiles.files[0]?.fullPath]);

  const details = await cifs.cifs_connections_sphere({ operation: 3, dn, connectionNumber: 1 });
  if (details.status === 'success') {
    is<number>(details.connection.connectionNumber);
    // @ts-expect-error the security equivalences may be left out
    is<string[]>(details.connection.securityEquivalence);
  }

  const counted = await cifs.cifs_connections_sphere({ operation: 1, dn });
  const contexts = await cifs.cifs_contexts_sphere({ operation: 1, dn });
  if (counted.status === 'success' && contexts.status === 'success') is<[number, string[]]>([counted.activeConnections, contexts.userContexts]);

  is<SharesAnswer>(await cifs.cifs_shares_sphere({ operation: 8, dn, volumeName: 'V' }));
  // @ts-expect-error a tag that does not exist
  is<ErrorTag>('@@no-such-tag');
}
