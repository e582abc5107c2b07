'use strict';
// The module's own lists as its C++ tables hold them (operations, log levels,
// error tags, library calls), printed by the native program cifs_tables_json
// of the build named by CIFS_BUILD_DIR (else build/Release), which every build
// with the native tests makes.
const { execFileSync } = require('node:child_process');
const path = require('node:path');

const root = path.join(__dirname, '..');

function nativeTables(buildDir = process.env.CIFS_BUILD_DIR || path.join(root, 'build', 'Release')) {
  const program = path.join(buildDir, 'test', 'native', 'cifs_tables_json');
  const libraryPath = [path.join(buildDir, 'sim'), process.env.LD_LIBRARY_PATH].filter(Boolean).join(':');
  return JSON.parse(execFileSync(program, { encoding: 'utf8', env: { ...process.env, LD_LIBRARY_PATH: libraryPath } }));
}

module.exports = { nativeTables };
