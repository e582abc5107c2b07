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
const DEFAULT_DIRS = ['/lib/x86_64-linux-gnu', '/usr/lib/x86_64-linux-gnu', '/lib64', '/usr/lib64', '/lib', '/usr/lib'];

// name -> path from `ldconfig -p` (x86-64 entries only); empty when ldconfig cannot run.
function ldconfigCache() {
  const found = new Map();
  for (const ldconfig of ['/sbin/ldconfig', '/usr/sbin/ldconfig', 'ldconfig']) {
    let text;
    try {
      text = execFileSync(ldconfig, ['-p'], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] });
    } catch {
      continue;
    }
    for (const line of text.split('\n')) {
      const match = /^\s*(\S+) \(([^)]*)\) => (\S+)$/.exec(line);
      if (match && match[2].includes('x86-64') && !found.has(match[1])) found.set(match[1], match[3]);
    }
    break;
  }
  return found;
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
function resolve(name, envDirs, cwd, cache) {
  const loaded = mapped(name);
  if (loaded) return { name, found: true, path: loaded, source: 'loaded' };
  for (const dir of envDirs) {
    const candidate = path.resolve(cwd, dir, name);
    if (fs.existsSync(candidate)) return { name, found: true, path: candidate, source: 'LD_LIBRARY_PATH' };
  }
  if (cache.has(name)) return { name, found: true, path: cache.get(name), source: 'ldconfig cache' };
  for (const dir of DEFAULT_DIRS) {
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
  const cache = ldconfigCache();
  const envDirs = searchPath(env.LD_LIBRARY_PATH);
  const libraries = [IDENTITY_LIBRARY, MANAGEMENT_LIBRARY].map((name) => resolve(name, envDirs, cwd, cache));
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
      defaultDirs: DEFAULT_DIRS,
    },
    simulator,
    advice,
  };
}

module.exports = { doctor, MANAGEMENT_LIBRARY, IDENTITY_LIBRARY };
