'use strict';
// Loads cifs.node (a source build, else the prebuilt addon for this
// platform), turning the loader's bare "cannot open shared object file" into
// an error that names the missing piece and how to provide it. Only
// libtoral.so.0 is linked at load time: the management library is opened by
// the module on its first request, so its absence never stops the load.
const path = require('node:path');
const { root, sourceBuildDir, platformTuple, IDENTITY_LIBRARY, addonPath, simulatorDir } = require('./locate');

function notBuilt() {
  return Object.assign(
    new Error(`cifs-native: no cifs.node for ${platformTuple}: the package ships no prebuilt addon for this ` +
      `platform and none is built in ${sourceBuildDir}. In a clone run "npm run build"; an installed package ` +
      'compiles it in its install step, which needs cmake >= 3.21 and g++ and must not have been skipped ' +
      '(--ignore-scripts, or install scripts not approved): run "npm rebuild cifs-native".'),
    { code: 'ERR_CIFS_ADDON_NOT_BUILT' });
}

function explain(error) {
  if (!String(error && error.message).includes(IDENTITY_LIBRARY)) return error;
  const simulator = simulatorDir();
  return Object.assign(
    new Error(
      `cifs-native: the identity library ${IDENTITY_LIBRARY}, which cifs.node is linked against, cannot be found ` +
      'by the dynamic loader. Install it in a directory of the loader\'s search path (a directory listed in ' +
      '/etc/ld.so.conf.d/ followed by ldconfig), or list its directory in LD_LIBRARY_PATH before node starts ' +
      `(the loader reads it only then). For development, the bundled simulator is ${simulator}: ` +
      `run node through ${path.join(root, 'bin', 'cifs-sim-run')}, or LD_LIBRARY_PATH=${simulator} node ... ` +
      '"require(\'cifs-native/doctor\').doctor()" tells which libraries resolve and where the loader looked.',
      { cause: error }),
    { code: 'ERR_CIFS_LIBRARY_MISSING', library: IDENTITY_LIBRARY });
}

function load() {
  const file = addonPath();
  if (file === null) throw notBuilt();
  try {
    return require(file);
  } catch (error) {
    throw explain(error);
  }
}

module.exports = { load, IDENTITY_LIBRARY };
