'use strict';
// Where the dynamic loader would find the two platform libraries, without
// loading them: the directories of LD_LIBRARY_PATH, the loader's cache
// (ldconfig -p), then the system's default directories, in that order.
const fs = require('node:fs');
const path = require('node:path');
const { spawnSync } = require('node:child_process');

const LIBRARIES = [
  { name: 'libtoral.so.0', role: 'identity library, needed to load cifs.node at all' },
  { name: 'libcifsmgmtclient.so', role: 'management library, opened on the first request' },
];
const DEFAULT_DIRS = ['/lib/x86_64-linux-gnu', '/usr/lib/x86_64-linux-gnu', '/lib64', '/usr/lib64', '/lib', '/usr/lib'];

function cached(name) {
  const listing = spawnSync('ldconfig', ['-p'], { encoding: 'utf8' });
  const line = (listing.stdout || '').split('\n').find((l) => l.trim().startsWith(`${name} `));
  return line ? line.split('=> ').pop().trim() : null;
}

function check(env = process.env) {
  const searchPath = (env.LD_LIBRARY_PATH || '').split(':').filter(Boolean);
  return LIBRARIES.map(({ name, role }) => {
    const inSearchPath = searchPath.map((dir) => path.join(dir, name)).find((file) => fs.existsSync(file));
    const found = inSearchPath || cached(name) || DEFAULT_DIRS.map((d) => path.join(d, name)).find(fs.existsSync);
    return {
      library: name,
      role,
      found: found || null,
      searched: [...searchPath.map((d) => `${d} (LD_LIBRARY_PATH)`), 'the loader cache (ldconfig -p)', ...DEFAULT_DIRS],
    };
  });
}

module.exports = { check };
