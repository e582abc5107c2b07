'use strict';
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const { cifs } = require('./support/addon');
const sim = require('./support/sim');
const logs = require('./support/logs');
const { dn, contexts } = require('./support/operations');

beforeEach(() => sim.reset());

describe('FetchCIFSUserContexts', () => {
  it('lists the contexts in the library order', async () => {
    sim.mgmt.setContexts(['.c.example', '.a.example', '.b.example']);
    assert.deepEqual(await contexts(1), {
      status: 'success',
      operation: 'FetchCIFSUserContexts',
      userContexts: ['.c.example', '.a.example', '.b.example'],
    });
    sim.mgmt.setContexts([]);
    assert.deepEqual((await contexts(1)).userContexts, []);
  });

  it('answers a library failure with its status', async () => {
    sim.mgmt.fail({ call: 'CIFSLIB_ListUserContexts', status: 9 });
    const mark = logs.mark();
    assert.deepEqual(await contexts(1), {
      status: 'failure',
      operation: 'FetchCIFSUserContexts',
      error: { errorCode: 9, description: 'Unable to list CIFS user contexts', errorID: '@@unable-to-list-cifs-user-contexts' },
    });
    assert.ok(logs.since(mark).map(logs.message).includes('Unable to list CIFS user contexts due to error code 9'));
  });

  it('reads no further than the block the library returned', async () => {
    const block = Buffer.from('.one\0.two\0');
    sim.mgmt.rawContexts({ count: 5, block });
    const mark = logs.mark();
    assert.deepEqual((await contexts(1)).userContexts, ['.one', '.two'], 'a count larger than the block');
    assert.deepEqual(logs.since(mark).map(logs.message), ['User context list holds 2 of the 5 texts its count gives']);
    sim.mgmt.rawContexts({ count: 2, block: Buffer.from('.one\0.unterminated') });
    assert.deepEqual((await contexts(1)).userContexts, ['.one']);
    sim.mgmt.rawContexts({ count: null, block });
    assert.deepEqual((await contexts(1)).userContexts, []);
    const quiet = logs.mark();
    sim.mgmt.rawContexts({ count: 3, block: null });
    assert.deepEqual((await contexts(1)).userContexts, [], 'a count without a list is an empty list');
    assert.deepEqual(logs.messagesSince(quiet), []);
  });
});

describe('AddCIFSUserContext and RemoveCIFSUserContexts', () => {
  it('adds every context, one library call each in request order', async () => {
    const answer = await contexts(2, { userContexts: ['.x.example', '.y.example'] });
    assert.deepEqual(answer, {
      status: 'success',
      operation: 'AddCIFSUserContext',
      successfulCount: '2',
      successfulList: [{ name: '.x.example' }, { name: '.y.example' }],
    });
    assert.deepEqual(
      sim.mgmt.calls().map((c) => [c.call, c.text]),
      [['CIFSLIB_AddUserContext', '.x.example'], ['CIFSLIB_AddUserContext', '.y.example']],
    );
    assert.ok(sim.mgmt.contexts().includes('.y.example'));
  });

  it('reports a partly failed request as a success with both lists', async () => {
    sim.mgmt.setContexts(['.keep.example', '.drop.example']);
    sim.mgmt.fail({ call: 'CIFSLIB_RemoveUserContext', status: 7, name: '.keep.example' });
    const mark = logs.mark();
    const answer = await contexts(3, { userContexts: ['.keep.example', '.drop.example'] });
    assert.deepEqual(answer, {
      status: 'success',
      operation: 'RemoveCIFSUserContexts',
      successfulCount: '1',
      successfulList: [{ name: '.drop.example' }],
      failedCount: '1',
      failedList: [{ errorCode: 7, name: '.keep.example' }],
    });
    assert.deepEqual(Object.keys(answer.failedList[0]), ['errorCode', 'name']);
    assert.ok(logs.since(mark).map(logs.message).includes('Failed to remove user context: .keep.example, error: 7'));
  });

  it('fails as a whole when every context fails, and still lists them; an empty list fails too', async () => {
    sim.mgmt.setContexts(['.a.example']);
    const answer = await contexts(2, { userContexts: ['.a.example', '.a.example'] });
    assert.deepEqual(answer, {
      status: 'failure',
      operation: 'AddCIFSUserContext',
      error: {
        errorCode: 41460,
        description: 'Failed to add all the specified user contexts',
        errorID: '@@failed-to-add-all-cifs-user-contexts',
      },
      failedCount: '2',
      failedList: [
        { errorCode: sim.status.CONTEXT_EXISTS, name: '.a.example' },
        { errorCode: sim.status.CONTEXT_EXISTS, name: '.a.example' },
      ],
    });
    sim.reset();
    assert.deepEqual(await contexts(2, { userContexts: [] }), {
      status: 'failure',
      operation: 'AddCIFSUserContext',
      error: { errorCode: 41460, description: 'Failed to add all the specified user contexts', errorID: '@@failed-to-add-all-cifs-user-contexts' },
    });
    const removal = await contexts(3, { userContexts: [] });
    assert.equal(removal.error.errorCode, 41459);
    assert.equal(removal.error.errorID, '@@failed-to-remove-all-cifs-user-contexts');
    assert.deepEqual(sim.mgmt.calls(), []);
  });
});

describe('contexts list parser', () => {
  const arrayLengthFailure = (operation) => ({
    status: 'failure',
    operation,
    error: {
      errorCode: 40022,
      description: 'Failed to get array length of userContexts list',
      errorID: '@@failed-to-get-array-length-of-shares',
    },
  });

  it('needs an array', async () => {
    assert.deepEqual(await contexts(2, { userContexts: '.a.example' }), arrayLengthFailure('AddCIFSUserContext'));
    assert.deepEqual(await contexts(3), arrayLengthFailure('RemoveCIFSUserContexts'));
    assert.deepEqual(await contexts(2, { userContexts: { length: 2 } }), arrayLengthFailure('AddCIFSUserContext'));
  });

  it('needs every element to be a string, and then calls nothing', async () => {
    for (const bad of [5, null, undefined, {}]) {
      const mark = logs.mark();
      const answer = await contexts(3, { userContexts: ['.a.example', bad] });
      assert.deepEqual(answer, {
        status: 'failure',
        operation: 'RemoveCIFSUserContexts',
        error: {
          errorCode: 40004,
          description: "Failed to extract/convert: 'userContexts'",
          errorID: '@@failed-to-extract-convert',
          args: 'userContexts',
        },
      });
      assert.ok(logs.since(mark).map(logs.message).includes('Failed to get data for removing cifs user contexts, error: -1'));
    }
    assert.deepEqual(sim.mgmt.calls(), []);
  });

  it('answers a throwing list or element as an error, never by throwing', async () => {
    const request = { operation: 2, dn };
    Object.defineProperty(request, 'userContexts', { get() { throw new Error('boom'); } });
    const answer = await cifs.cifs_contexts_sphere(request);
    assert.equal(answer.error.errorCode, 40002);
    assert.equal(answer.error.args, 'userContexts');

    const list = ['.a.example'];
    Object.defineProperty(list, 1, { get() { throw new Error('boom'); } });
    const element = await contexts(2, { userContexts: list });
    assert.equal(element.error.errorCode, 40023);
    assert.equal(element.error.description, 'Failed to get an element from userContexts list');
    assert.equal(element.error.errorID, '@@failed-to-get-share-from-shares-list');
  });
});
