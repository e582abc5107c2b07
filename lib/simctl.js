'use strict';
// Loads the control addon of the simulated platform libraries (simctl.node)
// on first use. It links the simulated identity library, so the process must
// have started with the simulator's directory on the library search path.
// The simulator is CIFS_BUILD_DIR's, a source build's, or the prebuilt one.
const path = require('node:path');
const { simulatorBuildDir, simulatorDir } = require('./locate');

const buildDir = simulatorBuildDir();
const libraryDir = simulatorDir();
const addonPath = path.join(libraryDir, 'simctl.node');

let loaded = null;

function control() {
  if (loaded) return loaded;
  try {
    loaded = require(addonPath);
  } catch (error) {
    const searched = process.env.LD_LIBRARY_PATH || '(not set)';
    throw new Error(
      `cannot load the simulator controls (${addonPath}): ${error.message}\n` +
        `The simulated libraries must be on the library search path when the process starts: run it with ` +
        `bin/cifs-sim-run, or set LD_LIBRARY_PATH=${libraryDir} (it is ${searched}). In a clone, build them with ` +
        'npm run build.',
    );
  }
  return loaded;
}

module.exports = { control, buildDir, libraryDir };
