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

type LibraryPatternBytes<TypeBytes extends number> = Readonly<{ type: TypeBytes; 'search-name': 767 }>;
/**
 * Most UTF-8 bytes of each text the module reads through a fixed buffer (a
 * longer one would be cut): the client refuses longer ones. `volumeName` only
 * where the open files of a share are listed; `patterns` per listing, per
 * filterBy.
 */
export declare const MAX_TEXT_BYTES: Readonly<{
  dn: 255;
  cookie: 31;
  volumeName: 255;
  matchType: 31;
  filterBy: 31;
  patterns: Readonly<{
    ListOpenFilesOfShare: LibraryPatternBytes<7>;
    FetchCIFSConnectionOpenFiles: LibraryPatternBytes<7>;
    FetchCIFSCachedInvalidUsersList: LibraryPatternBytes<31>;
    FetchCIFSConnectionsList: Readonly<Record<'connectionType' | 'totalBytesRead' | 'totalBytesWritten' | 'loginTime' | 'status' | 'name', 31>>;
  }>;
}>;
/** Most bytes one request's list of names may hold, each name's UTF-8 and its NUL. */
export declare const MAX_LIST_COPY_BYTES: 67108864;

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

/**
 * What a failure means to a server, one category for every failure the
 * module can answer (docs/API.md maps each to an HTTP status): the caller
 * refused or unknown to the supervisor check, the management library not
 * there, a request the module refused as read, one that does not fit, a
 * status of the library, or the module's own trouble.
 */
export type ErrorCategory = 'unauthorized' | 'unavailable' | 'invalid' | 'too-large' | 'library' | 'internal';
export declare const CATEGORIES: readonly ErrorCategory[];
/** The category of an answer's `error` (an answer without one is 'internal'). */
export declare function errorCategory(error: ErrorInfo | undefined): ErrorCategory;

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
/**
 * Filters the module applies to the connections list. "status" and
 * "connectionType" patterns are compared as exact texts, case included
 * (the simulator's statuses are "Active", "Idle", ...); "name" is a
 * substring of the connection number; range filters take [lo, hi] pairs of
 * decimal texts, 0 for an open end.
 */
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

/**
 * The request of one operation (`SharesRequest<'RemoveCIFSShare'>`), or
 * without a name the union of every operation's, discriminated by
 * `operation`.
 */
export type SharesRequest<Name extends SharesOperationName = SharesOperationName> = {
  [N in Name]: { operation: (typeof SHARES)[N]; dn: string } & SharesRequestKeys[N];
}[Name];
export type ConnectionsRequest<Name extends ConnectionsOperationName = ConnectionsOperationName> = {
  [N in Name]: { operation: (typeof CONNECTIONS)[N]; dn: string } & ConnectionsRequestKeys[N];
}[Name];
export type ContextsRequest<Name extends ContextsOperationName = ContextsOperationName> = {
  [N in Name]: { operation: (typeof CONTEXTS)[N]; dn: string } & ContextsRequestKeys[N];
}[Name];

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
  /** Left out when it could not be built; a success may come without it. */
  securityEquivalence?: string[];
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
 * Result keys of a success, per operation. A key that only a Node-API
 * failure can leave out is required (such a failure is rare enough to be no
 * answer to plan for). `openFiles` and `invalidUsers` are optional: the
 * library's shared memory result may be unreadable, and the success then
 * comes without them (logged); so are the outcome lists, each only when not
 * empty.
 */
export interface SharesResults {
  FetchCIFSShares: { shares: Share[] };
  CreateCIFSShare: {};
  ChangeCIFSShareConfiguration: {};
  ChangeCIFSShareFeatureConfiguration: Outcomes;
  RemoveCIFSShare: Outcomes;
  ListOpenFilesOfShare: { openFiles?: OpenFilesPage };
  CloseOpenFile: Outcomes;
  CloseAllOpenFilesOfShare: {};
}

export interface ConnectionsResults {
  FetchCIFSConnectionsCount: { activeConnections: number };
  FetchCIFSConnectionsList: { connections: Connection[] };
  FetchCIFSConnectionDetails: { connection: ConnectionDetails };
  FetchCIFSConnectionMappedShares: { shares: MappedShare[] };
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
  FetchCIFSUserContexts: { userContexts: string[] };
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

type SharesNumber = (typeof SHARES)[SharesOperationName];
type ConnectionsNumber = (typeof CONNECTIONS)[ConnectionsOperationName];
type ContextsNumber = (typeof CONTEXTS)[ContextsOperationName];

/**
 * The answer promise is always resolved, never rejected. A number that is not
 * an operation of the sphere makes the call return undefined (only logged),
 * so the types accept only the sphere's operations. The request must be the
 * operation's: a key it does not read (a misspelt `cookei`) does not compile.
 */
export declare function cifs_shares_sphere<O extends SharesNumber>(
  request: { operation: O; dn: string } & SharesRequestKeys[NameOf<typeof SHARES, O>],
): Promise<SharesAnswer<NameOf<typeof SHARES, O>>>;
export declare function cifs_connections_sphere<O extends ConnectionsNumber>(
  request: { operation: O; dn: string } & ConnectionsRequestKeys[NameOf<typeof CONNECTIONS, O>],
): Promise<ConnectionsAnswer<NameOf<typeof CONNECTIONS, O>>>;
export declare function cifs_contexts_sphere<O extends ContextsNumber>(
  request: { operation: O; dn: string } & ContextsRequestKeys[NameOf<typeof CONTEXTS, O>],
): Promise<ContextsAnswer<NameOf<typeof CONTEXTS, O>>>;

// ---------------------------------------------------------------- client

export interface PageOptions {
  ignoreCount?: number;
  returnCount?: number;
  cookie?: string;
  advancedFiltersInfo?: LibraryFilters;
}

/**
 * The last argument of every client method. An aborted or timed-out call
 * rejects at once with `signal.reason` (an AbortError, or a TimeoutError);
 * one still running holds its thread until its library call returns, and
 * its answer is dropped.
 */
export interface CallOptions {
  signal?: AbortSignal;
  /** Milliseconds, 0 for none; the client's `timeout` when left out. */
  timeout?: number;
}

/** A range bound of the connections list: decimal text, or for loginTime a Date or an ISO 8601 text too. */
export type RangePattern = string | Date;
/** Connection filters as the client takes them: loginTime bounds may be Dates or ISO 8601 texts. */
export type ClientConnectionFilters = {
  matchType: 'all' | 'any' | 'none';
  filters: (
    | AdvancedFilter<'connectionType' | 'totalBytesRead' | 'totalBytesWritten' | 'status' | 'name'>
    | { filterBy: 'loginTime'; patterns: RangePattern[] }
  )[];
};

/** Options of the paged listings' iterators; `signal` and `timeout` bound the whole iteration. */
export interface ListingOptions extends CallOptions {
  /** returnCount of each page, 1 to 4294967295; default 100. */
  pageSize?: number;
  advancedFiltersInfo?: LibraryFilters;
}

/** A failure answer as an Error: with `throwOnFailure`, and from the iterators. */
export declare class CifsError extends Error {
  readonly name: 'CifsError';
  readonly code: 'ERR_CIFS_FAILURE';
  /** The operation's name, or '' when the request failed before it was looked up. */
  readonly operation: OperationName | '';
  /** Undefined only when Node-API could not make the answer's `error`. */
  readonly errorCode: number | undefined;
  readonly errorID: ErrorTag | undefined;
  readonly args: string | undefined;
  /** What the failure means to a server. */
  readonly category: ErrorCategory;
  /** Every name of a batch request, when each of them failed. */
  readonly failedList?: { errorCode: number; name: string }[];
  /** The whole failure answer. */
  readonly answer: FailureEnvelope<OperationName> & FailedOutcomes;
}

/** An answer, or with `throwOnFailure` only its success (a failure rejects with a CifsError). */
export type Settled<A, Throw extends boolean> = Throw extends true ? Extract<A, { status: 'success' }> : A;

/** What shares.update may change; the rest is kept as the share is listed. */
export type ShareChanges = Partial<Pick<ShareConfiguration, 'newName' | 'volumeName' | 'relativePath' | 'comment' | 'encryption' | 'folderRedirection' | 'atmBackup'>>;

export interface SharesClient<Throw extends boolean = false> {
  list(call?: CallOptions): Promise<Settled<SharesAnswer<'FetchCIFSShares'>, Throw>>;
  create(config: ShareConfiguration, call?: CallOptions): Promise<Settled<SharesAnswer<'CreateCIFSShare'>, Throw>>;
  change(config: ShareConfiguration, call?: CallOptions): Promise<Settled<SharesAnswer<'ChangeCIFSShareConfiguration'>, Throw>>;
  /**
   * Lists the shares, applies `changes` to the one named `name` and sends its
   * whole configuration (the comment only when changed). Rejects with an
   * Error (`code` "ERR_CIFS_NO_SUCH_SHARE") when the listing has no such
   * share; a failed listing is its answer (with throwOnFailure, its CifsError).
   */
  update(
    name: string,
    changes: ShareChanges,
    call?: CallOptions,
  ): Promise<Settled<SharesAnswer<'ChangeCIFSShareConfiguration'> | FailureEnvelope<'FetchCIFSShares'>, Throw>>;
  setFeature(
    feature: ShareFeature,
    value: EnabledDisabled,
    names: string[],
    call?: CallOptions,
  ): Promise<Settled<SharesAnswer<'ChangeCIFSShareFeatureConfiguration'>, Throw>>;
  remove(names: string[], call?: CallOptions): Promise<Settled<SharesAnswer<'RemoveCIFSShare'>, Throw>>;
  /** One page; `client.openFiles()` follows them all. `volumeName`: a volume, or a share's name, which the library maps to one. */
  listOpenFiles(
    options: { volumeName: string; ignoreCount: number; returnCount: number } & PageOptions,
    call?: CallOptions,
  ): Promise<Settled<SharesAnswer<'ListOpenFilesOfShare'>, Throw>>;
  /** Full paths of the files to close. */
  closeOpenFiles(paths: string[], call?: CallOptions): Promise<Settled<SharesAnswer<'CloseOpenFile'>, Throw>>;
  closeAllOpenFiles(volumeName: string, call?: CallOptions): Promise<Settled<SharesAnswer<'CloseAllOpenFilesOfShare'>, Throw>>;
}

export interface ConnectionsClient<Throw extends boolean = false> {
  count(call?: CallOptions): Promise<Settled<ConnectionsAnswer<'FetchCIFSConnectionsCount'>, Throw>>;
  /** `returnCount` counts the library's records examined; `client.allConnections()` examines them all. */
  list(
    options: {
      ignoreCount: number;
      returnCount: number;
      advancedFiltersInfo?: ClientConnectionFilters;
    },
    call?: CallOptions,
  ): Promise<Settled<ConnectionsAnswer<'FetchCIFSConnectionsList'>, Throw>>;
  /** A connection number, 0 to 65535. */
  details(connectionNumber: number, call?: CallOptions): Promise<Settled<ConnectionsAnswer<'FetchCIFSConnectionDetails'>, Throw>>;
  mappedShares(connectionNumber: number, call?: CallOptions): Promise<Settled<ConnectionsAnswer<'FetchCIFSConnectionMappedShares'>, Throw>>;
  /** One page; `client.connectionOpenFiles()` follows them all. */
  openFiles(
    connection: number,
    options?: PageOptions,
    call?: CallOptions,
  ): Promise<Settled<ConnectionsAnswer<'FetchCIFSConnectionOpenFiles'>, Throw>>;
  /** One page; `client.invalidUsers()` follows them all. */
  invalidUsers(options?: PageOptions, call?: CallOptions): Promise<Settled<ConnectionsAnswer<'FetchCIFSCachedInvalidUsersList'>, Throw>>;
  addPermanentInvalidUser(name: string, call?: CallOptions): Promise<Settled<ConnectionsAnswer<'AddPermanentInvalidUser'>, Throw>>;
  makePermanentInvalidUsers(names: string[], call?: CallOptions): Promise<Settled<ConnectionsAnswer<'MakePermanentInvalidUser'>, Throw>>;
  removeInvalidUsers(names: string[], call?: CallOptions): Promise<Settled<ConnectionsAnswer<'RemoveInvalidUser'>, Throw>>;
  addBlockedUser(name: string, call?: CallOptions): Promise<Settled<ConnectionsAnswer<'AddBlockedUser'>, Throw>>;
  makeBlockedUsers(names: string[], call?: CallOptions): Promise<Settled<ConnectionsAnswer<'MakeBlockedUser'>, Throw>>;
  unblockUsers(names: string[], call?: CallOptions): Promise<Settled<ConnectionsAnswer<'UnblockUser'>, Throw>>;
}

export interface ContextsClient<Throw extends boolean = false> {
  list(call?: CallOptions): Promise<Settled<ContextsAnswer<'FetchCIFSUserContexts'>, Throw>>;
  add(userContexts: string[], call?: CallOptions): Promise<Settled<ContextsAnswer<'AddCIFSUserContext'>, Throw>>;
  remove(userContexts: string[], call?: CallOptions): Promise<Settled<ContextsAnswer<'RemoveCIFSUserContexts'>, Throw>>;
}

export interface CifsModule {
  native_config_sphere: typeof native_config_sphere;
  cifs_shares_sphere: typeof cifs_shares_sphere;
  cifs_connections_sphere: typeof cifs_connections_sphere;
  cifs_contexts_sphere: typeof cifs_contexts_sphere;
}

/**
 * Each method's promise rejects, and nothing is sent, with a TypeError
 * (`code` "ERR_INVALID_ARG_TYPE" or "ERR_INVALID_ARG_VALUE") or a RangeError
 * ("ERR_OUT_OF_RANGE") when a value is not what its key takes (counts are
 * integers from 0 to 4294967295, connection numbers from 0 to 65535, names
 * and paths non-empty strings, texts within the bytes the module reads
 * them through), an object it takes carries a key the operation does not
 * read (`dn` and `operation` included) or `setFeature` is given another
 * feature. It rejects with an Error (`code` "ERR_CIFS_NO_ANSWER") when the
 * module gives no answer, and "ERR_CIFS_CLIENT_CLOSED" once the client is
 * closed.
 */
export interface Client<Throw extends boolean = false> {
  readonly dn: string;
  /** How many calls run at once; more wait in order. */
  readonly maxInFlight: number;
  /** Calls running: each holds a thread of Node's pool until its library call returns, aborted or not. */
  readonly inFlight: number;
  /** Calls waiting for one of the maxInFlight places. */
  readonly queued: number;
  readonly shares: SharesClient<Throw>;
  readonly connections: ConnectionsClient<Throw>;
  readonly contexts: ContextsClient<Throw>;
  /**
   * Every open file of a share, across pages: each page sends the cookie of
   * the one before, until the library's end signal. Failures throw; so does
   * a cookie that comes round again or a cut page (`code` "ERR_CIFS_PAGING").
   */
  openFiles(volumeName: string, options?: ListingOptions): AsyncGenerator<OpenFile, void, undefined>;
  /** Every open file of a connection (0 to 65535), across pages. */
  connectionOpenFiles(connection: number, options?: ListingOptions): AsyncGenerator<ConnectionOpenFile, void, undefined>;
  /** Every cached invalid or blocked user, across pages. */
  invalidUsers(options?: ListingOptions): AsyncGenerator<InvalidUser, void, undefined>;
  /** Every connection that passes the filters: one request that examines every record. */
  allConnections(options?: { advancedFiltersInfo?: ClientConnectionFilters } & CallOptions): AsyncGenerator<Connection, void, undefined>;
  /** Rejects a level the module would refuse (it would only log it). */
  setLogLevel(level: LogLevel | Uppercase<LogLevel>): Promise<void>;
  /**
   * Refuses new calls; resolves once the queued and running ones are done,
   * or, with `abort`, rejects them at once (an AbortError) and resolves once
   * the library calls still running have returned.
   */
  close(options?: { abort?: boolean }): Promise<void>;
}

export interface ClientOptions<Throw extends boolean = boolean> {
  /** The logged-in user every request is made for; at most 255 bytes of UTF-8. */
  dn: string;
  /** The object with the four functions; the package's addon when left out. */
  module?: CifsModule;
  /** A failure answer rejects with a CifsError instead of resolving. */
  throwOnFailure?: Throw;
  /** Milliseconds every call may take that names no timeout of its own; 0 (the default) for none. */
  timeout?: number;
  /** Calls at once; by default one less than UV_THREADPOOL_SIZE as libuv reads it (4 when unset), at least 1. */
  maxInFlight?: number;
}

export declare function createClient<Throw extends boolean = false>(options: ClientOptions<Throw>): Client<Throw>;
