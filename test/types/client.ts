// The client: answers as the spheres give them, or only successes with
// throwOnFailure; iterators over the paged listings.
import { createClient, CifsError, errorCategory } from 'cifs-native';
import type { OpenFile, Connection, InvalidUser, ConnectionOpenFile, ErrorCategory } from 'cifs-native';

const dn = 'cn=admin,o=example';
declare function is<T>(value: T): void;

export async function client(): Promise<void> {
  const plain = createClient({ dn });
  // @ts-expect-error a failure is an answer too, without successes
  is((await plain.shares.remove(['a', 'b'])).successfulList);
  await plain.connections.list({ ignoreCount: 0, returnCount: 5 });
  await plain.connections.openFiles(3, { cookie: 'k' });
  is<Promise<void>>(plain.setLogLevel('debug'));

  const strict = createClient({ dn, throwOnFailure: true });
  const listed = await strict.shares.list();
  is<['success', string[]]>([listed.status, listed.shares.map((share) => share.name)]);

  for await (const file of strict.openFiles('DATA', { pageSize: 50 })) is<OpenFile>(file);
  for await (const connection of plain.allConnections({ advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'status', patterns: ['Active'] }] } })) {
    is<Connection>(connection);
  }
  for await (const user of plain.invalidUsers()) is<InvalidUser>(user);
  for await (const file of plain.connectionOpenFiles(7)) is<ConnectionOpenFile>(file);

  const error: unknown = await strict.contexts.add(['.a']).catch((e: unknown) => e);
  if (error instanceof CifsError) is<[number | undefined, string | undefined, ErrorCategory]>([error.errorCode, error.failedList?.[0]?.name, error.category]);

  // Call options after each method's own arguments; a server's bounds, counts and drain.
  const bounded = createClient({ dn, timeout: 5000, maxInFlight: 8 });
  const signal = new AbortController().signal;
  await bounded.connections.openFiles(7, undefined, { signal, timeout: 0 });
  for await (const file of bounded.openFiles('DATA', { pageSize: 5, signal, timeout: 30000 })) is<OpenFile>(file);
  is<'ChangeCIFSShareConfiguration'>((await strict.shares.update('projects', { comment: 'c' }, { timeout: 5000 })).operation);
  plain.allConnections({ advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'loginTime', patterns: [new Date(), '2024-05-01'] }] } });
  is<[number, number, number, ErrorCategory]>([bounded.inFlight, bounded.queued, bounded.maxInFlight, errorCategory(undefined)]);
  await bounded.close({ abort: true });
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
  // @ts-expect-error update takes only what a share's configuration may change
  await plain.shares.update('projects', { type: 'Disk Directory Tree' });
  // @ts-expect-error a Date bounds loginTime only
  plain.allConnections({ advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'status', patterns: [new Date()] }] } });
}
