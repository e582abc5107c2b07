// Types of cifs-native: the request and answer of every operation of the
// three spheres, the log level call, the operation constants and the client.

// ---------------------------------------------------------------- constants

export declare const SHARES: Readonly<{
  FetchCIFSShares: 1;
  CreateCIFSShare: 2;
  ChangeCIFSShareConfiguration: 3;
  ChangeCIFSShareFeatureConfiguration: 4;
  RemoveCIFSShare: 5;
  ListOpenFilesOfShare: 6;
  CloseOpenFile: 7;
  CloseAllOpenFilesOfShare: 8;
}>;

export declare const CONNECTIONS: Readonly<{
  FetchCIFSConnectionsCount: 1;
  FetchCIFSConnectionsList: 2;
  FetchCIFSConnectionDetails: 3;
  FetchCIFSConnectionMappedShares: 4;
  FetchCIFSConnectionOpenFiles: 5;
  FetchCIFSCachedInvalidUsersList: 6;
  AddPermanentInvalidUser: 7;
  MakePermanentInvalidUser: 8;
  RemoveInvalidUser: 9;
  AddBlockedUser: 10;
  MakeBlockedUser: 11;
  UnblockUser: 12;
}>;

export declare const CONTEXTS: Readonly<{
  FetchCIFSUserContexts: 1;
  AddCIFSUserContext: 2;
  RemoveCIFSUserContexts: 3;
}>;

export type LogLevel = 'debug' | 'info' | 'warn' | 'error';
export declare const LOG_LEVELS: readonly LogLevel[];

export type SharesOperationName = keyof typeof SHARES;
export type ConnectionsOperationName = keyof typeof CONNECTIONS;
export type ContextsOperationName = keyof typeof CONTEXTS;
export type OperationName = SharesOperationName | ConnectionsOperationName | ContextsOperationName;

// ---------------------------------------------------------------- errors

/** Every tag an answer's `error.errorID` can carry. */
export type ErrorTag =
  | '@@failed-to-extract-convert'
  | '@@data-received-does-not-contain'
  | '@@memory-allocation-failure'
  | '@@failed-to-validate-credentials-or-authorize-user'
  | '@@napi-type-check-failed'
  | '@@failed-to-get-pagesize'
  | '@@failed-to-get-array-length-of-af'
  | '@@failed-to-get-filter-from-af-list'
  | '@@failed-to-get-array-length-of-patterns'
  | '@@failed-to-get-pattern-from-patterns-list'
  | '@@invalid-filter-type'
  | '@@failed-to-load-cifsmgmtclient-library'
  | '@@failed-to-get-cifs-connections-count'
  | '@@failed-to-get-the-list-of-cifs-shares'
  | '@@failed-to-create-cifs-share'
  | '@@failed-to-change-cifs-share-configuration'
  | '@@invalid-share-feature-input'
  | '@@failed-to-get-array-length-of-shares'
  | '@@failed-to-get-share-from-shares-list'
  | '@@failed-to-change-all-cifs-shares-configuration'
  | '@@failed-to-remove-all-cifs-shares'
  | '@@failed-to-list-all-open-files'
  | '@@failed-to-get-array-length-of-files'
  | '@@failed-to-get-file-from-files-list'
  | '@@failed-to-close-open-file'
  | '@@failed-to-close-all-open-files'
  | '@@invalid-connection-number'
  | '@@invalid-adv-filter-match-type-entered'
  | '@@failed-to-get-the-list-of-cifs-connections'
  | '@@failed-to-get-cifs-connection-details'
  | '@@failed-to-list-connection-open-files'
  | '@@invalid-config-value'
  | '@@invalid-af-pattern-count'
  | '@@failed-to-get-cifs-connection-mapped-shares'
  | '@@failed-to-list-invalid-users'
  | '@@failed-to-add-blocked-user'
  | '@@failed-to-add-invalid-user'
  | '@@failed-to-get-array-length-of-usernames'
  | '@@failed-to-get-username-from-names-list'
  | '@@failed-to-make-all-invalid-users-blocked'
  | '@@failed-to-make-all-invalid-users-permanent'
  | '@@failed-to-unblock-all-invalid-users'
  | '@@failed-to-remove-all-invalid-users'
  | '@@unable-to-list-cifs-user-contexts'
  | '@@failed-to-remove-all-cifs-user-contexts'
  | '@@failed-to-add-all-cifs-user-contexts';

export interface ErrorInfo {
  /** A module code (40000-41461), a library or Node-API status passed through, or -1. */
  errorCode: number;
  description: string;
  /** Present only when the failure has a tag. */
  errorID?: ErrorTag;
  /** The request key concerned; present only beside `errorID`. */
  args?: string;
}

// ---------------------------------------------------------------- envelopes

export interface SuccessEnvelope<Name extends string> {
  status: 'success';
  operation: Name;
}

/**
 * `operation` is the operation's name, or '' when the request failed before
 * its operation was looked up (management library missing, `operation` or
 * `dn` unreadable). `error` is missing only when Node-API could not make it.
 */
export interface FailureEnvelope<Name extends string> {
  status: 'failure';
  operation: Name | '';
  error?: ErrorInfo;
}

// ---------------------------------------------------------------- requests

export type EnabledDisabled = 'enabled' | 'disabled';

export interface AdvancedFilter<FilterBy extends string> {
  filterBy: FilterBy;
  patterns: string[];
}

export interface AdvancedFiltersInfo<FilterBy extends string> {
  matchType: 'all' | 'any' | 'none';
  filters: AdvancedFilter<FilterBy>[];
}

/** Filters the management library applies (open files, invalid users). */
export type LibraryFilters = AdvancedFiltersInfo<'type' | 'search-name'>;
/** Filters the module applies to the connections list; range filters take [lo, hi] pairs of decimal texts. */
export type ConnectionFilters = AdvancedFiltersInfo<
  'connectionType' | 'totalBytesRead' | 'totalBytesWritten' | 'loginTime' | 'status' | 'name'
>;

export interface ShareConfiguration {
  name: string;
  volumeName: string;
  relativePath: string;
  encryption: EnabledDisabled;
  folderRedirection: EnabledDisabled;
  atmBackup: EnabledDisabled;
  comment?: string;
  newName?: string;
}

export type ShareFeature = 'encryption' | 'folderRedirection' | 'atmBackup';

/** The first of encryption, folderRedirection, atmBackup that is present is the one changed. */
export type ShareFeatureChange = { names: string[] } & (
  | { encryption: EnabledDisabled; folderRedirection?: EnabledDisabled; atmBackup?: EnabledDisabled }
  | { folderRedirection: EnabledDisabled; atmBackup?: EnabledDisabled }
  | { atmBackup: EnabledDisabled }
);

export interface PageRequest {
  ignoreCount: number;
  returnCount: number;
  cookie?: string;
  advancedFiltersInfo?: LibraryFilters;
}

/** The keys of each operation beyond `operation` and `dn`. */
export interface SharesRequestKeys {
  FetchCIFSShares: {};
  CreateCIFSShare: ShareConfiguration;
  ChangeCIFSShareConfiguration: ShareConfiguration;
  ChangeCIFSShareFeatureConfiguration: ShareFeatureChange;
  RemoveCIFSShare: { names: string[] };
  ListOpenFilesOfShare: PageRequest & { volumeName: string };
  CloseOpenFile: { openFiles: string[] };
  CloseAllOpenFilesOfShare: { volumeName: string };
}

export interface ConnectionsRequestKeys {
  FetchCIFSConnectionsCount: {};
  FetchCIFSConnectionsList: { ignoreCount: number; returnCount: number; advancedFiltersInfo?: ConnectionFilters };
  FetchCIFSConnectionDetails: { connectionNumber: number };
  FetchCIFSConnectionMappedShares: { connectionNumber: number };
  FetchCIFSConnectionOpenFiles: Partial<PageRequest> & { connection?: number };
  FetchCIFSCachedInvalidUsersList: Partial<PageRequest>;
  AddPermanentInvalidUser: { name: string };
  MakePermanentInvalidUser: { names: string[] };
  RemoveInvalidUser: { names: string[] };
  AddBlockedUser: { name: string };
  MakeBlockedUser: { names: string[] };
  UnblockUser: { names: string[] };
}

export interface ContextsRequestKeys {
  FetchCIFSUserContexts: {};
  AddCIFSUserContext: { userContexts: string[] };
  RemoveCIFSUserContexts: { userContexts: string[] };
}

type RequestOf<Numbers, Keys> = {
  [N in keyof Numbers & keyof Keys]: { operation: Numbers[N]; dn: string } & Keys[N];
}[keyof Numbers & keyof Keys];

export type SharesRequest = RequestOf<typeof SHARES, SharesRequestKeys>;
export type ConnectionsRequest = RequestOf<typeof CONNECTIONS, ConnectionsRequestKeys>;
export type ContextsRequest = RequestOf<typeof CONTEXTS, ContextsRequestKeys>;

// ---------------------------------------------------------------- answer values

export interface Share {
  name: string;
  type: '' | 'Disk Directory Tree' | 'System' | 'Inter Process Communication' | 'Custom Data Share' | 'Global DFS namespace';
  comment: string;
  volumeName: string;
  relativePath: string;
  /** Left out for a name space without a name. */
  nameSpace?: 'dos' | 'mac' | 'unix' | 'long';
  absolutePath: string;
  encryption: EnabledDisabled;
  folderRedirection: EnabledDisabled;
  atmBackup: EnabledDisabled;
}

export interface MappedShare {
  name: string;
  absolutePath: string;
  encryption: EnabledDisabled;
  folderRedirection: EnabledDisabled;
  atmBackup: EnabledDisabled;
  openFilesCount: number;
}

export type AccessMode = 'RD' | 'WR' | 'DR' | 'DW' | 'DA' | 'DD';
export type LockLevel = 'batch' | 'excl' | 'LII' | 'R' | 'RH' | 'RW' | 'RWH' | 'LNone' | 'none' | 'dummy' | 'lease' | 'unknown';

export interface OpenFile {
  sessionID: number;
  ID: number;
  name: string;
  fullPath: string;
  userName: string;
  clientIPAddress: string;
  accessModes: AccessMode[];
  lockLevel: LockLevel;
  type: string;
}

export interface OpenFilesPage {
  count: number;
  /** Pass it back to get the next page; empty: no more files. */
  cookie: string;
  files: OpenFile[];
}

export interface ConnectionOpenFile {
  ID: number;
  name: string;
  shareName: string;
  fullPath: string;
  accessModes: AccessMode[];
  lockLevel: LockLevel;
  type: string;
}

export interface ConnectionOpenFilesPage {
  /** These three only when at least one file is listed. */
  connectionNumber?: number;
  userName?: string;
  clientIPAddress?: string;
  count: number;
  cookie: string;
  files: ConnectionOpenFile[];
}

export interface Connection {
  connectionNumber: number;
  /** The five texts are left out when empty. */
  connectionType?: string;
  userName?: string;
  status?: string;
  privileges?: string;
  totalRequests: number;
  /** 64-bit counters and the login time as decimal texts. */
  totalBytesRead: string;
  totalBytesWritten: string;
  loginTime: string;
  isEncrypted: boolean;
  channels: number;
  mappedSharesCount: number;
  openFiles: number;
  ipAddress?: string;
}

export interface ConnectionDetails extends Connection {
  securityEquivalence: string[];
}

export interface InvalidUser {
  name: string;
  type: 'Invalid' | 'Blocked';
  clientIPAddress: string;
  lastAuthAttemptTime: number;
}

export interface InvalidUsersPage {
  count: number;
  cookie: string;
  users: InvalidUser[];
}

/** Outcome lists of a request on several names; each pair only when not empty. */
export interface Outcomes {
  /** Decimal text. */
  successfulCount?: string;
  successfulList?: { name: string }[];
  failedCount?: string;
  failedList?: { errorCode: number; name: string }[];
}

/** A failed batch request still lists the names that failed. */
export type FailedOutcomes = Pick<Outcomes, 'failedCount' | 'failedList'>;

// ---------------------------------------------------------------- answers

/**
 * Result keys of a success, per operation. Each key is optional: a value
 * that cannot be built (a Node-API failure, a result the library handed over
 * that is not safe to read) is left out and only logged.
 */
export interface SharesResults {
  FetchCIFSShares: { shares?: Share[] };
  CreateCIFSShare: {};
  ChangeCIFSShareConfiguration: {};
  ChangeCIFSShareFeatureConfiguration: Outcomes;
  RemoveCIFSShare: Outcomes;
  ListOpenFilesOfShare: { openFiles?: OpenFilesPage };
  CloseOpenFile: Outcomes;
  CloseAllOpenFilesOfShare: {};
}

export interface ConnectionsResults {
  FetchCIFSConnectionsCount: { activeConnections?: number };
  FetchCIFSConnectionsList: { connections?: Connection[] };
  FetchCIFSConnectionDetails: { connection?: ConnectionDetails };
  FetchCIFSConnectionMappedShares: { shares?: MappedShare[] };
  FetchCIFSConnectionOpenFiles: { openFiles?: ConnectionOpenFilesPage };
  FetchCIFSCachedInvalidUsersList: { invalidUsers?: InvalidUsersPage };
  AddPermanentInvalidUser: {};
  MakePermanentInvalidUser: Outcomes;
  RemoveInvalidUser: Outcomes;
  AddBlockedUser: {};
  MakeBlockedUser: Outcomes;
  UnblockUser: Outcomes;
}

export interface ContextsResults {
  FetchCIFSUserContexts: { userContexts?: string[] };
  AddCIFSUserContext: Outcomes;
  RemoveCIFSUserContexts: Outcomes;
}

type BatchOperation =
  | 'ChangeCIFSShareFeatureConfiguration'
  | 'RemoveCIFSShare'
  | 'CloseOpenFile'
  | 'MakePermanentInvalidUser'
  | 'RemoveInvalidUser'
  | 'MakeBlockedUser'
  | 'UnblockUser'
  | 'AddCIFSUserContext'
  | 'RemoveCIFSUserContexts';

export type Answer<Name extends OperationName, Results> =
  | (SuccessEnvelope<Name> & (Name extends keyof Results ? Results[Name] : {}))
  | (FailureEnvelope<Name> & (Name extends BatchOperation ? FailedOutcomes : {}));

export type SharesAnswer<Name extends SharesOperationName = SharesOperationName> = {
  [N in Name]: Answer<N, SharesResults>;
}[Name];
export type ConnectionsAnswer<Name extends ConnectionsOperationName = ConnectionsOperationName> = {
  [N in Name]: Answer<N, ConnectionsResults>;
}[Name];
export type ContextsAnswer<Name extends ContextsOperationName = ContextsOperationName> = {
  [N in Name]: Answer<N, ContextsResults>;
}[Name];

type NameOf<Numbers, Operation> = { [N in keyof Numbers]: Numbers[N] extends Operation ? N : never }[keyof Numbers];

// ---------------------------------------------------------------- the four functions

/** Sets the module's syslog level (case ignored); a refused value is only logged. */
export declare function native_config_sphere(config: { logLevel: LogLevel | Uppercase<LogLevel> | string }): undefined;

/**
 * The answer promise is always resolved, never rejected. A number that is not
 * an operation of the sphere makes the call return undefined (only logged),
 * so the types accept only the sphere's operations.
 */
export declare function cifs_shares_sphere<R extends SharesRequest>(
  request: R,
): Promise<SharesAnswer<NameOf<typeof SHARES, R['operation']>>>;
export declare function cifs_connections_sphere<R extends ConnectionsRequest>(
  request: R,
): Promise<ConnectionsAnswer<NameOf<typeof CONNECTIONS, R['operation']>>>;
export declare function cifs_contexts_sphere<R extends ContextsRequest>(
  request: R,
): Promise<ContextsAnswer<NameOf<typeof CONTEXTS, R['operation']>>>;

// ---------------------------------------------------------------- client

export interface PageOptions {
  ignoreCount?: number;
  returnCount?: number;
  cookie?: string;
  advancedFiltersInfo?: LibraryFilters;
}

export interface SharesClient {
  list(): Promise<SharesAnswer<'FetchCIFSShares'>>;
  create(config: ShareConfiguration): Promise<SharesAnswer<'CreateCIFSShare'>>;
  change(config: ShareConfiguration): Promise<SharesAnswer<'ChangeCIFSShareConfiguration'>>;
  setFeature(
    feature: ShareFeature,
    value: EnabledDisabled,
    names: string[],
  ): Promise<SharesAnswer<'ChangeCIFSShareFeatureConfiguration'>>;
  remove(names: string[]): Promise<SharesAnswer<'RemoveCIFSShare'>>;
  listOpenFiles(
    options: { volumeName: string; ignoreCount: number; returnCount: number } & PageOptions,
  ): Promise<SharesAnswer<'ListOpenFilesOfShare'>>;
  /** Full paths of the files to close. */
  closeOpenFiles(paths: string[]): Promise<SharesAnswer<'CloseOpenFile'>>;
  closeAllOpenFiles(volumeName: string): Promise<SharesAnswer<'CloseAllOpenFilesOfShare'>>;
}

export interface ConnectionsClient {
  count(): Promise<ConnectionsAnswer<'FetchCIFSConnectionsCount'>>;
  list(options: {
    ignoreCount: number;
    returnCount: number;
    advancedFiltersInfo?: ConnectionFilters;
  }): Promise<ConnectionsAnswer<'FetchCIFSConnectionsList'>>;
  details(connectionNumber: number): Promise<ConnectionsAnswer<'FetchCIFSConnectionDetails'>>;
  mappedShares(connectionNumber: number): Promise<ConnectionsAnswer<'FetchCIFSConnectionMappedShares'>>;
  openFiles(connection: number, options?: PageOptions): Promise<ConnectionsAnswer<'FetchCIFSConnectionOpenFiles'>>;
  invalidUsers(options?: PageOptions): Promise<ConnectionsAnswer<'FetchCIFSCachedInvalidUsersList'>>;
  addPermanentInvalidUser(name: string): Promise<ConnectionsAnswer<'AddPermanentInvalidUser'>>;
  makePermanentInvalidUsers(names: string[]): Promise<ConnectionsAnswer<'MakePermanentInvalidUser'>>;
  removeInvalidUsers(names: string[]): Promise<ConnectionsAnswer<'RemoveInvalidUser'>>;
  addBlockedUser(name: string): Promise<ConnectionsAnswer<'AddBlockedUser'>>;
  makeBlockedUsers(names: string[]): Promise<ConnectionsAnswer<'MakeBlockedUser'>>;
  unblockUsers(names: string[]): Promise<ConnectionsAnswer<'UnblockUser'>>;
}

export interface ContextsClient {
  list(): Promise<ContextsAnswer<'FetchCIFSUserContexts'>>;
  add(userContexts: string[]): Promise<ContextsAnswer<'AddCIFSUserContext'>>;
  remove(userContexts: string[]): Promise<ContextsAnswer<'RemoveCIFSUserContexts'>>;
}

export interface CifsModule {
  native_config_sphere: typeof native_config_sphere;
  cifs_shares_sphere: typeof cifs_shares_sphere;
  cifs_connections_sphere: typeof cifs_connections_sphere;
  cifs_contexts_sphere: typeof cifs_contexts_sphere;
}

/**
 * Each method's promise rejects with a TypeError, and nothing is sent, when an
 * object it takes carries a key the operation does not read (`dn` and
 * `operation` included) or `setFeature` is given another feature.
 */
export interface Client {
  readonly dn: string;
  readonly shares: SharesClient;
  readonly connections: ConnectionsClient;
  readonly contexts: ContextsClient;
  setLogLevel(level: LogLevel): undefined;
}

export interface ClientOptions {
  /** The logged-in user every request is made for. */
  dn: string;
  /** The object with the four functions; the package's addon when left out. */
  module?: CifsModule;
}

export declare function createClient(options: ClientOptions): Client;
