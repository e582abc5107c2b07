'use strict';
// The errors the client throws, kept apart from the client so the paging
// helper that cifs-admin shares can throw them too: CifsError for a failure
// answer, and the errors of the client itself, which carry Node's own codes
// so that a caller's bad input (ERR_INVALID_ARG_TYPE, ERR_INVALID_ARG_VALUE,
// ERR_OUT_OF_RANGE) is told apart from everything else.

const coded = (Kind, code, message, extra) => Object.assign(new Kind(message), { code }, extra);
const invalidType = (message) => coded(TypeError, 'ERR_INVALID_ARG_TYPE', message);
const invalidValue = (message) => coded(TypeError, 'ERR_INVALID_ARG_VALUE', message);
const outOfRange = (message) => coded(RangeError, 'ERR_OUT_OF_RANGE', message);

// A listing whose library goes round in circles or hands out fewer records
// than a page's count: neither is an answer the module can flag.
const pagingError = (message, details) => coded(Error, 'ERR_CIFS_PAGING', message, details);

// A failure answer as an Error: its code, tag and key, and the whole answer;
// a batch request whose every name failed also carries `failedList`. The description comes from the module as it is (it can quote
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
    if (answer.failedList !== undefined) this.failedList = answer.failedList;
    this.answer = answer;
  }
}

module.exports = { CifsError, invalidType, invalidValue, outOfRange, pagingError, coded };
