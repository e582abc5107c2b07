'use strict';
// The addon's four functions, exported unchanged.
module.exports = require('./build/Release/cifs.node');
