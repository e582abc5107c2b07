'use strict';
// The package's entry: the addon's four functions exactly as the addon
// exports them, the frozen operation numbers of each sphere and the bounds of
// request texts, and the typed client that builds requests for them, with
// the error it throws for a failure answer and the categories of failures.
// index.mjs names the same exports for ES modules.
const { load } = require('./lib/addon');
const { SHARES, CONNECTIONS, CONTEXTS, LOG_LEVELS, MAX_TEXT_BYTES, MAX_LIST_COPY_BYTES } = require('./lib/operations');
const { CifsError, errorCategory, CATEGORIES } = require('./lib/errors');

const addon = load();

module.exports = {
  native_config_sphere: addon.native_config_sphere,
  cifs_shares_sphere: addon.cifs_shares_sphere,
  cifs_connections_sphere: addon.cifs_connections_sphere,
  cifs_contexts_sphere: addon.cifs_contexts_sphere,
  SHARES,
  CONNECTIONS,
  CONTEXTS,
  LOG_LEVELS,
  MAX_TEXT_BYTES,
  MAX_LIST_COPY_BYTES,
  createClient: (options) => require('./lib/client').createClient(options, addon),
  CifsError,
  errorCategory,
  CATEGORIES,
};
