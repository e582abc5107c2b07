// Types of require('cifs-native/simulator'): the bundled simulator of the two
// platform libraries as a development tool.
// Self-contained: no @types/node needed to compile against it. Its types
// live in the namespace merged with the module's value, since a module that
// is `export =` one value exports nothing beside it.

declare namespace simulator {

/** A share of the simulated server. Setters take any subset but `name`. */
export interface SimShare {
  name: string;
  volumeName?: string;
  relativePath?: string;
  /** Empty or omitted: "/<volumeName>/<relativePath>". */
  absolutePath?: string;
  comment?: string;
  /** 0 disk, 2 system, 3 IPC, 4 custom data, 5 global DFS namespace. */
  type?: number;
  /** 0 dos, 1 mac, 2 unix, 4 long, 0xFFFFFFFF not known. */
  nameSpace?: number;
  encryption?: boolean;
  folderRedirection?: boolean;
  atmBackup?: boolean;
  openFilesCount?: number;
}

/** A file a client holds open; `sessionID` is the number of the connection holding it. */
export interface SimOpenFile {
  shareName: string;
  name: string;
  sessionID?: number;
  ID?: number;
  accessMask?: number;
  lockLevel?: number;
  /** Empty or omitted: "<share's absolutePath>/<name>". */
  fullPath?: string;
  userName?: string;
  clientIPAddress?: string;
}

type U64 = number | bigint;

export interface SimConnection {
  connectionNumber: number;
  userName?: string;
  ipAddress?: string;
  connectionType?: string;
  status?: string;
  privileges?: string;
  channels?: number;
  isEncrypted?: boolean;
  totalRequests?: number;
  totalBytesRead?: U64;
  totalBytesWritten?: U64;
  loginTime?: U64;
  securityEquivalence?: string[];
  /** Names of shares of the simulated server. */
  mappedShares?: string[];
}

/** As read back: every key filled, 64-bit values as BigInts, plus what the library derives. */
export interface SimConnectionState extends Required<Omit<SimConnection, 'totalBytesRead' | 'totalBytesWritten' | 'loginTime'>> {
  totalBytesRead: bigint;
  totalBytesWritten: bigint;
  loginTime: bigint;
  openFiles: number;
  mappedSharesCount: number;
}

export interface SimInvalidUser {
  name: string;
  /** 2: cached after failed logins ("Invalid"); any other: blocked. Default 2. */
  state?: number;
  clientIPAddress?: string;
  lastAuthAttemptTime?: U64;
}

/** How the identity library treats a DN; omitted fields make a supervisor whose lookups succeed. */
export interface SimIdentity {
  /** Absent: the default entry, for every DN without one of its own (in the seed: unknown, userinfoStatus -9104). */
  dn?: string;
  userType?: number;
  supervisor?: boolean;
  userinfoStatus?: number;
  sevStatus?: number;
  neededCapacity?: number;
  alwaysTooSmall?: boolean;
  sidStatus?: number;
}

export type LibraryCall =
  | 'CIFSLIB_GetShareNames' | 'CIFSLIB_ListAllShares' | 'CIFSLIB_CreateShare' | 'CIFSLIB_ChangeShareConfiguration'
  | 'CIFSLIB_ChangeShareFeatureConfiguration' | 'CIFSLIB_RemoveShare' | 'CIFSLIB_ListOpenFiles'
  | 'CIFSLIB_CloseOpenFile' | 'CIFSLIB_CloseAllOpenFiles' | 'CIFSLIB_GetConnectionsCount'
  | 'CIFSLIB_GetConnectionsList' | 'CIFSLIB_GetConnectionDetails' | 'CIFSLIB_GetConnectionMappedShares'
  | 'CIFSLIB_ListInvalidUsers' | 'CIFSLIB_AddPermanentInvalidUser' | 'CIFSLIB_RemoveInvalidUser'
  | 'CIFSLIB_MakePermanentInvalidUser' | 'CIFSLIB_ListUserContexts' | 'CIFSLIB_AddUserContext'
  | 'CIFSLIB_RemoveUserContext';

export interface FailureRule {
  call: LibraryCall;
  status: number;
  /** The share name or text the call must carry; omitted or "": any. */
  name?: string;
  /** How many calls fail; 0 or omitted: every call until reset. */
  times?: number;
}

export interface LoggedCall {
  call: LibraryCall;
  text: string;
  /** A Buffer. */
  record: Uint8Array | null;
}

export type RecordPlace = 'apart' | 'inside';

/** Where the library's contract leaves it a choice. */
export interface SimChoices {
  /** 'apart' (default): each listed share record in memory the library keeps; 'inside': in the list block. */
  shareRecords: RecordPlace;
  /** 'apart' (default): the connection records in memory the library keeps; 'inside': in the list block. */
  connectionRecords: RecordPlace;
  /** Bytes of record-like slack after a listing's records, past the size its header gives; default 4096. */
  objectSlack: number;
}

export interface SimulatorEnvOptions {
  /** Shares the simulated server through this file (CIFS_SIM_STATE). */
  stateFile?: string;
  /** Preloads the shim that copies every syslog line to stderr. */
  mirrorSyslog?: boolean;
  /** The environment to start from; default process.env. */
  base?: Record<string, string | undefined>;
}

export interface Simulator {
  /** The directory of the simulated libraries, for LD_LIBRARY_PATH. */
  readonly libraryDir: string;
  /** The build tree the simulator comes from (CIFS_BUILD_DIR, else a source build); null for the prebuilt one. */
  readonly buildDir: string | null;
  /** "CIFS_SIM_STATE". */
  readonly stateVariable: string;
  /** The environment of a child process that runs against the simulator. */
  env(options?: SimulatorEnvOptions): Record<string, string | undefined>;

  /**
   * The seed server, no failure rules, no delay, empty call logs, the default choices, and the seed identities:
   * "cn=admin,o=example" a supervisor, "cn=guest,o=example" not one, every other DN unknown to the identity library.
   */
  reset(): void;
  volumes(): string[];
  setVolumes(names: string[]): void;
  shares(): Required<SimShare>[];
  setShares(shares: SimShare[]): void;
  openFiles(): Required<SimOpenFile>[];
  setOpenFiles(files: SimOpenFile[]): void;
  connections(): SimConnectionState[];
  setConnections(connections: SimConnection[]): void;
  invalidUsers(): (Required<Omit<SimInvalidUser, 'lastAuthAttemptTime'>> & { lastAuthAttemptTime: bigint })[];
  setInvalidUsers(users: SimInvalidUser[]): void;
  contexts(): string[];
  setContexts(contexts: string[]): void;
  /** Whether the supervisor check passes for dn. */
  isSupervisor(dn: string): boolean;
  /** Makes dn a known user who is a supervisor or not. */
  setSupervisor(dn: string, supervisor?: boolean): void;
  fail(rule: FailureRule): void;
  failures(): Required<FailureRule>[];
  /** Every library call sleeps this long (at most 60000 ms). */
  delay(ms: number): void;
  /** The management library calls this process made, oldest first. */
  calls(): LoggedCall[];
  /** Sets the given choices, the others stay; unknown keys or values throw a TypeError. Reset restores the defaults. */
  setChoices(choices: Partial<SimChoices>): void;
  choices(): SimChoices;
  identity: {
    set(fields?: SimIdentity): void;
    /** The default entry (without dn) first, then one per DN. */
    entries(): Required<Omit<SimIdentity, 'dn'>>[] & SimIdentity[];
    calls(): { call: string; text: string; capacity: number }[];
    reset(): void;
  };
  /** Statuses the simulated management library answers with, by name. */
  readonly status: Readonly<Record<string, number>>;
  readonly identityStatus: Readonly<Record<string, number>>;
}

}

declare const simulator: simulator.Simulator;
export = simulator;
