// The package as an ES module: the very instance require('cifs-native')
// gives (one addon, one client module), its exports named.
import cifs from './index.js';

export const {
  native_config_sphere, cifs_shares_sphere, cifs_connections_sphere, cifs_contexts_sphere, SHARES, CONNECTIONS, CONTEXTS,
  LOG_LEVELS, MAX_TEXT_BYTES, MAX_LIST_COPY_BYTES, createClient, CifsError, errorCategory, CATEGORIES,
} = cifs;
export default cifs;
