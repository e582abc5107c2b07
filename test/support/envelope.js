'use strict';
// The shape every answer of a CIFS sphere must have, whatever was asked:
// {status: 'success', operation, ...result} or {status: 'failure', operation,
// error: {errorCode, description, errorID?, args?}}, with the outcome lists of
// a batch operation in either case. Throws an AssertionError naming the fault.
const assert = require('node:assert/strict');
const { outcomeKeys } = require('./operations');

const byteLength = (text) => Buffer.byteLength(text);

function checkOutcomeLists(answer) {
  for (const [list, count] of [['successfulList', 'successfulCount'], ['failedList', 'failedCount']]) {
    assert.equal(list in answer, count in answer, `${list} and ${count} come together`);
    if (!(list in answer)) continue;
    assert.ok(Array.isArray(answer[list]) && answer[list].length > 0, `${list} is a non-empty array`);
    assert.equal(answer[count], String(answer[list].length), `${count} counts ${list}`);
    for (const entry of answer[list]) {
      for (const value of Object.values(entry)) assert.ok(['string', 'number'].includes(typeof value));
      if (list === 'failedList') assert.ok(Number.isInteger(entry.errorCode), 'a failed entry has its errorCode');
    }
  }
}

function checkError(error) {
  assert.equal(typeof error, 'object');
  const keys = Object.keys(error);
  assert.deepEqual(keys.slice(0, 2), ['errorCode', 'description'], 'errorCode and description come first');
  assert.ok(keys.every((key) => ['errorCode', 'description', 'errorID', 'args'].includes(key)), `error keys ${keys}`);
  assert.ok(Number.isInteger(error.errorCode) && error.errorCode >= -(2 ** 31) && error.errorCode < 2 ** 31,
    `errorCode ${error.errorCode} is a signed 32-bit integer`);
  assert.ok(error.errorCode !== 0, 'a failure has a non-zero errorCode');
  assert.equal(typeof error.description, 'string');
  assert.ok(byteLength(error.description) <= 128, 'the description fits its 128 bytes');
  if ('errorID' in error) assert.match(error.errorID, /^@@[a-z0-9]+(-[a-z0-9]+)*$/);
  if ('args' in error) {
    assert.ok('errorID' in error, 'args only beside an errorID');
    assert.equal(typeof error.args, 'string');
    assert.ok(error.args.length > 0 && byteLength(error.args) < 64);
  }
}

// op: the operation the answer is for ({name, result, batch}); operation: the
// name the envelope must carry ('' for a failure before the lookup).
function checkEnvelope(answer, { op, operation }) {
  assert.equal(typeof answer, 'object');
  assert.notEqual(answer, null);
  const keys = Object.keys(answer);
  assert.deepEqual(keys.slice(0, 2), ['status', 'operation'], 'status and operation come first');
  assert.equal(answer.operation, operation);
  const allowed = new Set(['status', 'operation', ...(op?.batch ? outcomeKeys : [])]);
  if (answer.status === 'success') {
    for (const key of op?.result ?? []) allowed.add(key);
  } else {
    assert.equal(answer.status, 'failure');
    allowed.add('error');
    checkError(answer.error);
  }
  assert.ok(keys.every((key) => allowed.has(key)), `answer keys ${keys} within ${[...allowed]}`);
  if (op?.batch) checkOutcomeLists(answer);
}

module.exports = { checkEnvelope };
