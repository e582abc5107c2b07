export interface LibraryResolution {
  name: 'libtoral.so.0' | 'libcifsmgmtclient.so';
  found: boolean;
  path: string | null;
  /** Where it was found: already mapped in this process, or the loader's search step that finds it. */
  source: 'loaded' | 'LD_LIBRARY_PATH' | 'ldconfig cache' | 'default directory' | null;
}

export interface DoctorReport {
  /** The addon is built and both libraries resolve. */
  ok: boolean;
  /** The addon a require would load (a source build first, then the prebuild for this platform); built is false when there is none. */
  addon: { path: string; built: boolean; prebuilt: boolean };
  libraries: LibraryResolution[];
  /** LD_LIBRARY_PATH's folders in the loader's order; an empty entry, the current folder, is ".". */
  searched: { LD_LIBRARY_PATH: string[]; ldconfigCache: boolean; defaultDirs: string[] };
  simulator: { dir: string; built: boolean };
  /** One line per problem found, saying how to fix it. */
  advice: string[];
}

/** Where the dynamic loader would find the platform libraries; loads neither. */
export declare function doctor(options?: {
  env?: Record<string, string | undefined>;
  /** The folder the process would start in, where an empty LD_LIBRARY_PATH entry points; default process.cwd(). */
  cwd?: string;
}): DoctorReport;
/**
 * What the loader of a process of `arch` (default process.arch) searches after LD_LIBRARY_PATH: the entries of
 * `ldconfig -p` output of its ABI, name -> path, and its default folders. `libcPath`, the C library the process runs
 * on, tells the ABI where the architecture is not known.
 */
export declare function loaderSearch(options?: {
  arch?: string;
  ldconfig?: string;
  libcPath?: string | null;
}): { cache: Map<string, string>; defaultDirs: string[] };
export declare const IDENTITY_LIBRARY: 'libtoral.so.0';
export declare const MANAGEMENT_LIBRARY: 'libcifsmgmtclient.so';
