'use strict';
// Command-line words and option values turned into request values; a value
// that cannot be one is a usage error (exit status 2), never a request.
class UsageError extends Error {}

function required(value, option) {
  if (value === undefined) throw new UsageError(`${option} is required`);
  return value;
}

// A whole number up to `most` (a u32 unless said) written in decimal;
// `fallback` when the option was not given.
function count(text, fallback, what, most = 0xffffffff) {
  if (text === undefined && fallback !== undefined) return fallback;
  if (!/^\d+$/.test(text || '') || Number(text) > most) {
    throw new UsageError(`${what} must be a whole number from 0 to ${most}, not '${text}'`);
  }
  return Number(text);
}

// Words are looked up among a table's own keys only: "constructor" or
// "__proto__" is no word of any table.
const lookUp = (table, word) => (Object.hasOwn(table, word) ? table[word] : undefined);

const SWITCH_WORDS = { enabled: 'enabled', enable: 'enabled', on: 'enabled', disabled: 'disabled', disable: 'disabled', off: 'disabled' };

// "enabled" or "disabled"; disabled when the option was not given.
function feature(text, option) {
  if (text === undefined) return 'disabled';
  const value = lookUp(SWITCH_WORDS, text.toLowerCase());
  if (!value) throw new UsageError(`${option} takes enabled or disabled, not '${text}'`);
  return value;
}

// advancedFiltersInfo from repeated --filter KEY=PATTERN (patterns of one
// key, in the order given, make one filter; KEY one of `known`) and --match;
// nothing when neither was given, so the request is not filtered at all.
// Patterns go as written: the client checks them and turns loginTime's ISO
// 8601 dates into the seconds the module compares.
function filters(given = [], match, known) {
  if (given.length === 0 && match === undefined) return undefined;
  const byKey = new Map();
  for (const text of given) {
    const eq = text.indexOf('=');
    if (eq <= 0) throw new UsageError(`--filter takes KEY=PATTERN, not '${text}'`);
    const key = text.slice(0, eq);
    if (!known.includes(key)) throw new UsageError(`--filter: no filter key '${key}' here; the keys are ${known.join(', ')}`);
    if (!byKey.has(key)) byKey.set(key, []);
    byKey.get(key).push(text.slice(eq + 1));
  }
  const matchType = match === undefined ? 'all' : match;
  if (!['all', 'any', 'none'].includes(matchType)) throw new UsageError(`--match takes all, any or none, not '${match}'`);
  return { matchType, filters: [...byKey].map(([filterBy, patterns]) => ({ filterBy, patterns })) };
}

module.exports = { UsageError, required, count, feature, filters, lookUp };
