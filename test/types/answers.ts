// Answers narrow on `status` and carry each operation's own keys.
import cifs = require('cifs-native');
import type { ErrorTag, SharesAnswer } from 'cifs-native';

const dn = 'cn=admin,o=example';

export async function narrowing(): Promise<void> {
  const listed = await cifs.cifs_shares_sphere({ operation: cifs.SHARES.FetchCIFSShares, dn });
  if (listed.status === 'success') {
    const names: string[] = listed.shares.map((share) => share.name);
    const op: 'FetchCIFSShares' = listed.operation;
    // @ts-expect-error a key of another operation
    void listed.openFiles;
    void names; void op;
  } else {
    const op: 'FetchCIFSShares' | '' = listed.operation;
    const tag: ErrorTag | undefined = listed.error?.errorID;
    // @ts-expect-error error may be missing
    const code: number = listed.error.errorCode;
    void op; void tag; void code;
  }

  const removed = await cifs.cifs_shares_sphere({ operation: 5, dn, names: ['a'] });
  if (removed.status === 'failure') {
    const failed: string | undefined = removed.failedCount;
    const first = removed.failedList?.[0];
    const code: number | undefined = first?.errorCode;
    // @ts-expect-error a failed batch lists no successes
    void removed.successfulList;
    void failed; void code;
  } else {
    const ok: string | undefined = removed.successfulCount;
    void ok;
  }

  const page = await cifs.cifs_connections_sphere({ operation: cifs.CONNECTIONS.FetchCIFSConnectionsList, dn, ignoreCount: 0, returnCount: 9 });
  if (page.status === 'success') {
    const read: string = page.connections[0].totalBytesRead;
    const encrypted: boolean = page.connections[0].isEncrypted;
    // @ts-expect-error the connection type may be left out
    const type: string = page.connections[0].connectionType;
    void read; void encrypted; void type;
  }

  const users = await cifs.cifs_connections_sphere({ operation: 6, dn });
  if (users.status === 'success') {
    const kind: 'Invalid' | 'Blocked' | undefined = users.invalidUsers?.users[0]?.type;
    // @ts-expect-error a success may come without the page (its shared memory result unreadable)
    const count: number = users.invalidUsers.count;
    void kind; void count;
  }

  const files = await cifs.cifs_shares_sphere({ operation: 6, dn, volumeName: 'V', ignoreCount: 0, returnCount: 5 });
  if (files.status === 'success' && files.openFiles) {
    const next: string = files.openFiles.cookie;
    const first: string | undefined = files.openFiles.files[0]?.fullPath;
    void next; void first;
  }

  const details = await cifs.cifs_connections_sphere({ operation: 3, dn, connectionNumber: 1 });
  if (details.status === 'success') {
    const number: number = details.connection.connectionNumber;
    // @ts-expect-error the security equivalences may be left out
    const sev: string[] = details.connection.securityEquivalence;
    void number; void sev;
  }

  const counted = await cifs.cifs_connections_sphere({ operation: 1, dn });
  const contexts = await cifs.cifs_contexts_sphere({ operation: 1, dn });
  if (counted.status === 'success' && contexts.status === 'success') {
    const total: number = counted.activeConnections;
    const texts: string[] = contexts.userContexts;
    void total; void texts;
  }

  const any: SharesAnswer = await cifs.cifs_shares_sphere({ operation: 8, dn, volumeName: 'V' });
  // @ts-expect-error a tag that does not exist
  const bad: ErrorTag = '@@no-such-tag';
  void any; void bad;
}
