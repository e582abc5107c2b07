'use strict';
// Loads build/Release/cifs.node, turning the loader's bare "cannot open
// shared object file" into an error that names the missing piece and how to
// provide it. Only libtoral.so.0 is linked at load time: the management
// library is opened by the module on its first request, so its absence never
// stops the load.
const fs = require('node:fs');
const path = require('node:path');

const root = path.join(__dirname, '..');
const addonPath = path.join(root, 'build', 'Release', 'cifs.node');
const simulatorDir = path.join(root, 'build', 'Release', 'sim');
const IDENTITY_LIBRARY = 'libtoral.so.0';

function explain(error) {
  if (!fs.existsSync(addonPath)) {
    return Object.assign(
      new Error(`cifs-native: ${addonPath} is not built. In a clone run "npm run build"; ` +
        'an installed package builds it in its install step (it needs cmake >= 3.21 and g++): reinstall it.',
      { cause: error }),
      { code: 'ERR_CIFS_ADDON_NOT_BUILT' });
  }
  if (!String(error && error.message).includes(IDENTITY_LIBRARY)) return error;
  return Object.assign(
    new Error(
      `cifs-native: the identity library ${IDENTITY_LIBRARY}, which cifs.node is linked against, cannot be found ` +
      'by the dynamic loader. Install it in a directory of the loader\'s search path (a directory listed in ' +
      '/etc/ld.so.conf.d/ followed by ldconfig), or list its directory in LD_LIBRARY_PATH before node starts ' +
      `(the loader reads it only then). For development, the bundled simulator is ${simulatorDir}: ` +
      `LD_LIBRARY_PATH=${simulatorDir} node ... ` +
      '"require(\'cifs-native/doctor\').doctor()" tells which libraries resolve and where the loader looked.',
      { cause: error }),
    { code: 'ERR_CIFS_LIBRARY_MISSING', library: IDENTITY_LIBRARY });
}

function load() {
  try {
    return require(addonPath);
  } catch (error) {
    throw explain(error);
  }
}

module.exports = { load, addonPath, simulatorDir, IDENTITY_LIBRARY };
