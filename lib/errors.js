'use strict';
// The errors the client throws, kept apart from the client so the paging
// helper that cifs-admin shares can throw them too: CifsError for a failure
// answer, with the category a server maps to an HTTP status, and the errors
// of the client itself, which carry Node's own codes so that a caller's bad
// input (ERR_INVALID_ARG_TYPE, ERR_INVALID_ARG_VALUE, ERR_OUT_OF_RANGE) is
// told apart from everything else.

const coded = (Kind, code, message, extra) => Object.assign(new Kind(message), { code }, extra);
const invalidType = (message) => coded(TypeError, 'ERR_INVALID_ARG_TYPE', message);
const invalidValue = (message) => coded(TypeError, 'ERR_INVALID_ARG_VALUE', message);
const outOfRange = (message) => coded(RangeError, 'ERR_OUT_OF_RANGE', message);

// A listing whose library goes round in circles or hands out fewer records
// than a page's count: neither is an answer the module can flag.
const pagingError = (message, details) => coded(Error, 'ERR_CIFS_PAGING', message, details);

// ---------------------------------------------------------------- categories

// Every failure the module can answer falls in one of these, which a server
// maps to the status it answers (docs/API.md, "Errors that map").
const CATEGORIES = Object.freeze(['unauthorized', 'unavailable', 'invalid', 'too-large', 'library', 'internal']);

const each = (category, keys) => keys.map((key) => [key, category]);

// The module's own codes (src/base/error_codes.h) and -1, the failure of the
// DN reader or of a range pattern; test/88-constants.test.js holds the table
// against the header.
const CODE_CATEGORIES = new Map([
  ...each('invalid', [-1, 40002, 40003, 40004, 40005, 40006, 40011, 40016, 40018, 40022, 40023, 41200, 41456, 41461]),
  ...each('internal', [40000, 40009, 40010, 40017, 40021, 40037]),
  ...each('unauthorized', [40025, 40031]),
  ...each('unavailable', [41451]),
  ...each('too-large', [41455]),
  // Operations on several names whose every name failed: failedList holds each one's status.
  ...each('library', [41452, 41453, 41454, 41457, 41458, 41459, 41460]),
]);

// The tag an answer carries beside a status the module passed through (a
// library's or Node-API's): what the module was doing when it failed.
const TAG_CATEGORIES = new Map([
  ...each('invalid', ['@@failed-to-extract-convert', '@@data-received-does-not-contain', '@@napi-type-check-failed',
    '@@failed-to-get-array-length-of-af', '@@failed-to-get-filter-from-af-list', '@@failed-to-get-array-length-of-patterns',
    '@@failed-to-get-pattern-from-patterns-list', '@@invalid-filter-type', '@@invalid-share-feature-input',
    '@@failed-to-get-array-length-of-shares', '@@failed-to-get-share-from-shares-list', '@@failed-to-get-array-length-of-files',
    '@@failed-to-get-file-from-files-list', '@@invalid-connection-number', '@@invalid-adv-filter-match-type-entered',
    '@@invalid-config-value', '@@invalid-af-pattern-count', '@@failed-to-get-array-length-of-usernames',
    '@@failed-to-get-username-from-names-list']),
  ...each('internal', ['@@memory-allocation-failure', '@@failed-to-get-pagesize']),
  ...each('unauthorized', ['@@failed-to-validate-credentials-or-authorize-user']),
  ...each('unavailable', ['@@failed-to-load-cifsmgmtclient-library']),
  ...each('library', ['@@failed-to-get-cifs-connections-count', '@@failed-to-get-the-list-of-cifs-shares',
    '@@failed-to-create-cifs-share', '@@failed-to-change-cifs-share-configuration',
    '@@failed-to-change-all-cifs-shares-configuration', '@@failed-to-remove-all-cifs-shares', '@@failed-to-list-all-open-files',
    '@@failed-to-close-open-file', '@@failed-to-close-all-open-files', '@@failed-to-get-the-list-of-cifs-connections',
    '@@failed-to-get-cifs-connection-details', '@@failed-to-list-connection-open-files',
    '@@failed-to-get-cifs-connection-mapped-shares', '@@failed-to-list-invalid-users', '@@failed-to-add-blocked-user',
    '@@failed-to-add-invalid-user', '@@failed-to-make-all-invalid-users-blocked', '@@failed-to-make-all-invalid-users-permanent',
    '@@failed-to-unblock-all-invalid-users', '@@failed-to-remove-all-invalid-users', '@@unable-to-list-cifs-user-contexts',
    '@@failed-to-remove-all-cifs-user-contexts', '@@failed-to-add-all-cifs-user-contexts']),
]);

// The category of an answer's `error` ({errorCode, errorID}). The supervisor
// check's tag wins whatever status it carries (the identity library's own,
// or the module's when the DN cannot be looked up); then a module code says
// it; a status passed through is the library's, unless it came with no tag
// (a Node-API failure while the answer was built) or a tag that says the
// module was reading the request. An answer without an error is internal.
function errorCategory(error) {
  if (error === null || typeof error !== 'object') return 'internal';
  const { errorCode, errorID } = error;
  if (errorID === '@@failed-to-validate-credentials-or-authorize-user') return 'unauthorized';
  const byCode = CODE_CATEGORIES.get(errorCode);
  if (byCode !== undefined) return byCode;
  return (typeof errorID === 'string' && TAG_CATEGORIES.get(errorID)) || 'internal';
}

// A failure answer as an Error: its code, tag, key and category, and the
// whole answer; a batch request whose every name failed also carries
// `failedList`. The description comes from the module as it is (it can quote
// request texts); `error` is missing only when Node-API could not make it.
class CifsError extends Error {
  constructor(answer) {
    const error = answer.error || {};
    const what = answer.operation || 'the request';
    super(error.description === undefined
      ? `${what} failed, and the module could not say why (its log may)`
      : `${what} failed: ${error.description} (errorCode ${error.errorCode}${error.errorID ? `, ${error.errorID}` : ''})`);
    this.name = 'CifsError';
    this.code = 'ERR_CIFS_FAILURE';
    this.operation = answer.operation;
    this.errorCode = error.errorCode;
    this.errorID = error.errorID;
    this.args = error.args;
    this.category = errorCategory(answer.error);
    if (answer.failedList !== undefined) this.failedList = answer.failedList;
    this.answer = answer;
  }
}

module.exports = {
  CifsError, CATEGORIES, CODE_CATEGORIES, TAG_CATEGORIES, errorCategory, invalidType, invalidValue, outOfRange, pagingError, coded,
};
