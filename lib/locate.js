'use strict';
// Where this package's native files are. A source build (build/Release) wins
// over the prebuilt files shipped in the package, the order node-gyp-build
// follows for the addon; the simulator follows the same order, so that the
// addon, the control addon and the libraries they share come from one build.
const fs = require('node:fs');
const path = require('node:path');

const root = path.join(__dirname, '..');
const sourceBuildDir = path.join(root, 'build', 'Release');
const IDENTITY_LIBRARY = 'libtoral.so.0';
// node-gyp-build's folder name for this platform (npm's settings override it
// as they do there); the simulator's prebuilt files sit in a folder of their
// own, which no addon loader looks into.
const platformTuple = `${process.env.npm_config_platform || process.platform}-${process.env.npm_config_arch || process.arch}`;
const prebuiltSimulatorDir = path.join(root, 'prebuilds-sim', platformTuple);

// The addon node-gyp-build picks (a source build, else the prebuild whose
// tags match this platform), or null when there is neither.
function addonPath() {
  const { resolve } = require('node-gyp-build');
  try {
    return resolve(root);
  } catch (error) {
    if (/^No native build was found/.test(error.message)) return null;
    throw error;
  }
}

const isPrebuilt = (file) => file !== null && path.relative(root, file).split(path.sep)[0] === 'prebuilds';

// The build tree whose simulator is used: CIFS_BUILD_DIR's, else the source
// build's when it has one, else null (the prebuilt simulator, when shipped).
function simulatorBuildDir(env = process.env) {
  if (env.CIFS_BUILD_DIR) return path.resolve(env.CIFS_BUILD_DIR);
  if (fs.existsSync(path.join(sourceBuildDir, 'sim', IDENTITY_LIBRARY))) return sourceBuildDir;
  return fs.existsSync(prebuiltSimulatorDir) ? null : sourceBuildDir;
}

function simulatorDir(env = process.env) {
  const buildDir = simulatorBuildDir(env);
  return buildDir === null ? prebuiltSimulatorDir : path.join(buildDir, 'sim');
}

module.exports = {
  root, sourceBuildDir, platformTuple, prebuiltSimulatorDir, IDENTITY_LIBRARY,
  addonPath, isPrebuilt, simulatorBuildDir, simulatorDir,
};
