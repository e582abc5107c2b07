'use strict';
// The addon under test: the package itself, or the build named by the runner
// (the instrumented suites load build/Asan/cifs.node).
const path = require('node:path');

const buildDir = process.env.CIFS_BUILD_DIR;
const addonPath = buildDir ? path.join(buildDir, 'cifs.node') : path.join(__dirname, '../../build/Release/cifs.node');
const cifs = buildDir ? require(addonPath) : require('../..');

module.exports = { cifs, addonPath };
