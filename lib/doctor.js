'use strict';
// doctor(): where the dynamic loader would find the two platform libraries,
// without loading either (opening them runs their code). It follows the
// loader's order for a library without RPATH/RUNPATH: LD_LIBRARY_PATH, the
// ldconfig cache, then the default directories. A library this process has
// already mapped is reported from /proc/self/maps, which is the final word.
const fs = require('node:fs');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const { addonPath, isPrebuilt, sourceBuildDir, simulatorDir, IDENTITY_LIBRARY } = require('./locate');

const MANAGEMENT_LIBRARY = 'libcifsmgmtclient.so';

// By Node's process.arch: the Debian multiarch folder, the mark ldconfig gives
// the libraries of that ABI ("libc6,x86-64", plain "libc6" on 32-bit x86),
// and whether its default folders include lib64.
const PLATFORMS = {
  x64: { triplet: 'x86_64-linux-gnu', abi: 'libc6,x86-64', lib64: true },
  arm64: { triplet: 'aarch64-linux-gnu', abi: 'libc6,AArch64', lib64: true },
  arm: { triplet: 'arm-linux-gnueabihf', abi: 'libc6,hard-float', lib64: false },
  ia32: { triplet: 'i386-linux-gnu', abi: 'libc6', lib64: false },
  ppc64: { triplet: 'powerpc64le-linux-gnu', abi: 'libc6,64bit', lib64: true },
  s390x: { triplet: 's390x-linux-gnu', abi: 'libc6,64bit', lib64: true },
  riscv64: { triplet: 'riscv64-linux-gnu', abi: 'libc6,double-float', lib64: true },
  loong64: { triplet: 'loongarch64-linux-gnu', abi: 'libc6,double-float', lib64: true },
};

function ldconfigOutput() {
  for (const ldconfig of ['/sbin/ldconfig', '/usr/sbin/ldconfig', 'ldconfig']) {
    try {
      return execFileSync(ldconfig, ['-p'], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] });
    } catch {
      // the next one
    }
  }
  return '';
}

function realPath(file) {
  try {
    return fs.realpathSync(file);
  } catch {
    return file;
  }
}

// What the loader of a process of architecture `arch` searches after
// LD_LIBRARY_PATH: the entries of the ldconfig cache (`ldconfig -p` output)
// of its own ABI, name -> path, and its default folders. The C library the
// process runs on (`libcPath`) tells the ABI as ldconfig marks it, and one
// default folder, on an architecture the table lacks too; with neither, every
// entry is taken.
function loaderSearch({ arch = process.arch, ldconfig = '', libcPath = null } = {}) {
  const platform = PLATFORMS[arch] || {};
  const entries = [];
  for (const line of ldconfig.split('\n')) {
    const match = /^\s*(\S+) \(([^)]*)\) => (\S+)$/.exec(line);
    if (!match) continue;
    const marks = match[2].split(',').map((m) => m.trim()).filter((m) => !/^(hwcap|OS ABI):/.test(m));
    entries.push({ name: match[1], abi: marks.join(','), path: match[3] });
  }
  const ownLibc = libcPath && entries.find((e) => e.name === 'libc.so.6' && realPath(e.path) === realPath(libcPath));
  const abi = ownLibc ? ownLibc.abi : platform.abi;
  const cache = new Map();
  for (const entry of entries) {
    if ((abi === undefined || entry.abi === abi) && !cache.has(entry.name)) cache.set(entry.name, entry.path);
  }
  const defaultDirs = [...new Set([
    ...(platform.triplet ? [`/lib/${platform.triplet}`, `/usr/lib/${platform.triplet}`] : []),
    ...(libcPath ? [path.dirname(libcPath)] : []),
    ...(platform.lib64 ? ['/lib64', '/usr/lib64'] : []),
    '/lib', '/usr/lib',
  ])];
  return { cache, defaultDirs };
}

function mapped(name) {
  try {
    const line = fs.readFileSync('/proc/self/maps', 'utf8').split('\n').find((l) => l.endsWith(`/${name}`));
    return line ? line.slice(line.indexOf('/')) : null;
  } catch {
    return null;
  }
}

// The folders LD_LIBRARY_PATH names, as the loader reads it: split at ':'
// and ';', an empty entry (a leading, trailing or doubled separator) being
// the current folder, listed as "."; an empty variable names none.
function searchPath(value) {
  return value ? value.split(/[:;]/).map((dir) => dir || '.') : [];
}

// resolve(name, dirs, cwd, cache) -> {name, found, path, source}, source one of
// "loaded", "LD_LIBRARY_PATH", "ldconfig cache", "default directory".
function resolve(name, envDirs, cwd, cache, defaultDirs) {
  const loaded = mapped(name);
  if (loaded) return { name, found: true, path: loaded, source: 'loaded' };
  for (const dir of envDirs) {
    const candidate = path.resolve(cwd, dir, name);
    if (fs.existsSync(candidate)) return { name, found: true, path: candidate, source: 'LD_LIBRARY_PATH' };
  }
  if (cache.has(name)) return { name, found: true, path: cache.get(name), source: 'ldconfig cache' };
  for (const dir of defaultDirs) {
    const candidate = path.join(dir, name);
    if (fs.existsSync(candidate)) return { name, found: true, path: candidate, source: 'default directory' };
  }
  return { name, found: false, path: null, source: null };
}

// doctor({env, cwd}) -> {ok, addon, libraries, searched, simulator, advice}.
// `env` defaults to process.env; LD_LIBRARY_PATH there is the value a node
// started with it would use (this process's loader read its own at start),
// from the folder `cwd` (default this process's).
function doctor({ env = process.env, cwd = process.cwd() } = {}) {
  const { cache, defaultDirs } = loaderSearch({ ldconfig: ldconfigOutput(), libcPath: mapped('libc.so.6') });
  const envDirs = searchPath(env.LD_LIBRARY_PATH);
  const libraries = [IDENTITY_LIBRARY, MANAGEMENT_LIBRARY].map((name) => resolve(name, envDirs, cwd, cache, defaultDirs));
  const found = addonPath();
  const addon = { path: found || path.join(sourceBuildDir, 'cifs.node'), built: found !== null, prebuilt: isPrebuilt(found) };
  const simulatorFolder = simulatorDir(env);
  const simulator = { dir: simulatorFolder, built: fs.existsSync(path.join(simulatorFolder, IDENTITY_LIBRARY)) };
  const advice = [];
  if (!addon.built) {
    advice.push('cifs.node is neither built nor prebuilt for this platform: run "npm run build" in a clone, or ' +
      '"npm rebuild cifs-native" where the package is installed');
  }
  if (env.LD_LIBRARY_PATH && env.LD_LIBRARY_PATH.split(/[:;]/).includes('')) {
    advice.push(`LD_LIBRARY_PATH has an empty entry, which the loader reads as the current folder (${cwd} here): ` +
      'any library there is loaded, from wherever the process starts; remove the leading, trailing or doubled separator');
  }
  for (const library of libraries.filter((l) => !l.found)) {
    advice.push(`${library.name} not found: install it where the loader looks (ldconfig) or add its directory to ` +
      `LD_LIBRARY_PATH${simulator.built ? `; the bundled simulator is in ${simulatorFolder}` : ''}`);
  }
  return {
    ok: addon.built && libraries.every((l) => l.found),
    addon,
    libraries,
    searched: {
      LD_LIBRARY_PATH: envDirs,
      ldconfigCache: cache.size > 0,
      defaultDirs,
    },
    simulator,
    advice,
  };
}

module.exports = { doctor, loaderSearch, mapped, MANAGEMENT_LIBRARY, IDENTITY_LIBRARY };
