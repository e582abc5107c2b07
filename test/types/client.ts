// The client: answers as the spheres give them, or only successes with
// throwOnFailure; iterators over the paged listings.
import { createClient, CifsError } from 'cifs-native';
import type { OpenFile, Connection } from 'cifs-native';

const dn = 'cn=admin,o=example';

export async function client(): Promise<void> {
  const plain = createClient({ dn });
  const removed = await plain.shares.remove(['a', 'b']);
  // @ts-expect-error a failure is an answer too, without successes
  void removed.successfulList;
  await plain.connections.list({ ignoreCount: 0, returnCount: 5 });
  await plain.connections.openFiles(3, { cookie: 'k' });
  await plain.setLogLevel('debug');

  const strict = createClient({ dn, throwOnFailure: true });
  const listed = await strict.shares.list();
  const names: string[] = listed.shares.map((share) => share.name);
  const status: 'success' = listed.status;

  for await (const file of strict.openFiles('DATA', { pageSize: 50 })) {
    const path: string = file.fullPath;
    void path;
  }
  const files: OpenFile[] = [];
  for await (const file of plain.openFiles('DATA')) files.push(file);
  for await (const connection of plain.allConnections({ advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'status', patterns: ['Active'] }] } })) {
    const kept: Connection = connection;
    void kept;
  }
  for await (const user of plain.invalidUsers()) void user.type;
  for await (const file of plain.connectionOpenFiles(7)) void file.shareName;

  try {
    await strict.contexts.add(['.a']);
  } catch (error) {
    if (error instanceof CifsError) {
      const code: number | undefined = error.errorCode;
      const failed = error.failedList?.[0]?.name;
      void code; void failed;
    }
  }
  void names; void status;
}

export async function wrong(): Promise<void> {
  const plain = createClient({ dn });
  // @ts-expect-error names, not one name
  await plain.shares.remove('a');
  // @ts-expect-error the client has no such operation
  await plain.shares.rename('a');
  // @ts-expect-error createClient needs the dn
  createClient({});
  // @ts-expect-error a misspelt option
  createClient({ dn, throwOnFailures: true });
  // @ts-expect-error the iterators take a page size, not paging keys
  plain.openFiles('DATA', { returnCount: 5 });
  // @ts-expect-error the connections list is not paged by cookie
  plain.allConnections({ pageSize: 5 });
  // @ts-expect-error a level the module does not have
  await plain.setLogLevel('verbose');
}
