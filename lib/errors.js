'use strict';
// The errors the client throws for an answer, kept apart from the client so
// the paging helper that cifs-admin shares can throw them too.

// A failure answer as an Error: its code, tag and key, and the whole answer;
// a batch request whose every name failed also carries `failedList`. The
// description comes from the module as it is (it can quote request texts);
// `error` is missing only when Node-API could not make it.
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

module.exports = { CifsError };
