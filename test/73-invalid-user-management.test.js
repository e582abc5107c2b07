'use strict';
const { describe, it, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const sim = require('./support/sim');
const logs = require('./support/logs');
const { connections: users } = require('./support/operations');

const states = () => Object.fromEntries(sim.mgmt.invalidUsers().map((u) => [u.name, u.state]));
const { NO_SUCH_USER, ALREADY_BLOCKED, BAD_USER_NAME } = sim.status;

beforeEach(() => sim.reset());

describe('AddPermanentInvalidUser and AddBlockedUser', () => {
  it('answer with the envelope alone and block the user', async () => {
    assert.deepEqual(await users(7, { name: 'eve' }), { status: 'success', operation: 'AddPermanentInvalidUser' });
    assert.deepEqual(await users(10, { name: 'guest' }), { status: 'success', operation: 'AddBlockedUser' });
    assert.deepEqual(states(), { guest: 1, mallory: 1, jdoe: 2, root: 3, tester: 0, eve: 1 });
  });

  it('word a refusal by the operation number, with the library status and no args', async () => {
    const mark = logs.mark();
    assert.deepEqual(await users(10, { name: 'mallory' }), {
      status: 'failure',
      operation: 'AddBlockedUser',
      error: { errorCode: ALREADY_BLOCKED, description: 'Failed to add the user as a blocked user', errorID: '@@failed-to-add-blocked-user' },
    });
    assert.deepEqual((await users(7, { name: 'mallory' })).error, {
      errorCode: ALREADY_BLOCKED,
      description: 'Failed to add the user as a permanent invalid user',
      errorID: '@@failed-to-add-invalid-user',
    });
    assert.deepEqual(logs.messagesSince(mark).filter((m) => m.startsWith('Failed to add')), [
      `Failed to add the user as a blocked user, error: ${ALREADY_BLOCKED}`,
      `Failed to add the user as a permanent invalid user, error: ${ALREADY_BLOCKED}`,
    ]);
  });

  it('hand the name over whole, and refuse one that is not a clean string', async () => {
    const long = 'u'.repeat(300);
    assert.equal((await users(7, { name: long })).error.errorCode, BAD_USER_NAME);
    assert.equal(sim.mgmt.calls()[0].text, long);
    sim.reset();
    const extractFailure = (errorCode) => ({
      status: 'failure',
      operation: 'AddBlockedUser',
      error: { errorCode, description: "Failed to extract/convert: 'name'", errorID: '@@failed-to-extract-convert', args: 'name' },
    });
    for (const name of [5, null, undefined, ['eve']]) assert.deepEqual(await users(10, { name }), extractFailure(40011));
    assert.deepEqual(await users(10, { name: 'eve\0guest' }), extractFailure(40004));
    assert.deepEqual(sim.mgmt.calls(), []);
  });
});

describe('MakePermanentInvalidUser and MakeBlockedUser', () => {
  it('make every cached user blocked, in request order', async () => {
    assert.deepEqual(await users(8, { names: ['jdoe', 'guest'] }), {
      status: 'success',
      operation: 'MakePermanentInvalidUser',
      successfulCount: '2',
      successfulList: [{ name: 'jdoe' }, { name: 'guest' }],
    });
    assert.deepEqual(sim.mgmt.calls().map((c) => c.text), ['jdoe', 'guest']);
    assert.equal(states().jdoe, 1);
  });

  it('succeed with both lists when one name is refused', async () => {
    const mark = logs.mark();
    assert.deepEqual(await users(11, { names: ['mallory', 'guest'] }), {
      status: 'success',
      operation: 'MakeBlockedUser',
      successfulCount: '1',
      successfulList: [{ name: 'guest' }],
      failedCount: '1',
      failedList: [{ errorCode: ALREADY_BLOCKED, name: 'mallory' }],
    });
    assert.ok(logs.messagesSince(mark).includes(`Failed to make invalid user "mallory" to permanent invalid user, error: ${ALREADY_BLOCKED}`));
  });

  it('fail as a whole, unlogged, when every name is refused, worded by the operation', async () => {
    const mark = logs.mark();
    const failedList = [{ errorCode: NO_SUCH_USER, name: 'nobody' }, { errorCode: ALREADY_BLOCKED, name: 'root' }];
    assert.deepEqual(await users(8, { names: ['nobody', 'root'] }), {
      status: 'failure',
      operation: 'MakePermanentInvalidUser',
      error: {
        errorCode: 41457,
        description: 'Failed to make all the specified invalid users to permanent invalid users',
        errorID: '@@failed-to-make-all-invalid-users-permanent',
      },
      failedCount: '2',
      failedList,
    });
    const blocked = await users(11, { names: ['nobody', 'root'] });
    assert.deepEqual(blocked.error, {
      errorCode: 41457,
      description: 'Failed to make all the specified invalid users to blocked users',
      errorID: '@@failed-to-make-all-invalid-users-blocked',
    });
    assert.deepEqual(blocked.failedList, failedList);
    assert.ok(!logs.messagesSince(mark).some((m) => m.startsWith('Failed to make all')));
  });
});

describe('RemoveInvalidUser and UnblockUser', () => {
  it('remove cached and blocked users alike', async () => {
    assert.deepEqual(await users(12, { names: ['mallory', 'guest'] }), {
      status: 'success',
      operation: 'UnblockUser',
      successfulCount: '2',
      successfulList: [{ name: 'mallory' }, { name: 'guest' }],
    });
    assert.deepEqual(Object.keys(states()), ['jdoe', 'root', 'tester']);
  });

  it('fail as a whole with a log line carrying the last status', async () => {
    sim.mgmt.fail({ call: 'CIFSLIB_RemoveInvalidUser', status: 9, name: 'guest' });
    const mark = logs.mark();
    const answer = await users(9, { names: ['nobody', 'guest'] });
    assert.equal(answer.error.errorCode, 41458);
    assert.deepEqual(answer.failedList, [{ errorCode: NO_SUCH_USER, name: 'nobody' }, { errorCode: 9, name: 'guest' }]);
    assert.deepEqual(logs.messagesSince(mark).filter((m) => m.startsWith('Failed to remove')), [
      `Failed to remove invalid user: nobody, error: ${NO_SUCH_USER}`,
      'Failed to remove invalid user: guest, error: 9',
      'Failed to remove all the specified invalid users, error: 9',
    ]);
  });

  it('fail an empty list without calling the library', async () => {
    for (const [operation, name, description, errorID] of [
      [9, 'RemoveInvalidUser', 'Failed to remove all the specified invalid users', '@@failed-to-remove-all-invalid-users'],
      [12, 'UnblockUser', 'Failed to unblock all the specified invalid/blocked users', '@@failed-to-unblock-all-invalid-users'],
    ]) {
      const mark = logs.mark();
      assert.deepEqual(await users(operation, { names: [] }), {
        status: 'failure',
        operation: name,
        error: { errorCode: 41458, description, errorID },
      });
      assert.ok(logs.messagesSince(mark).includes(`${description}, error: 1`));
    }
    assert.deepEqual(sim.mgmt.calls(), []);
    assert.equal(sim.mgmt.invalidUsers().length, 5);
  });
});

describe('user names list parser', () => {
  it('refuses a missing list and a bad element before any library call', async () => {
    assert.deepEqual((await users(8, {})).error, {
      errorCode: 40022,
      description: 'Failed to get array length of names list',
      errorID: '@@failed-to-get-array-length-of-usernames',
    });
    for (const bad of [7, {}, 'jdoe\0root']) {
      assert.deepEqual((await users(12, { names: ['guest', bad] })).error, {
        errorCode: 40004,
        description: "Failed to extract/convert: 'names'",
        errorID: '@@failed-to-extract-convert',
        args: 'names',
      });
    }
    const list = ['guest'];
    Object.defineProperty(list, 1, { get() { throw new Error('boom'); } });
    assert.equal((await users(9, { names: list })).error.errorID, '@@failed-to-get-username-from-names-list');
    assert.deepEqual(sim.mgmt.calls(), []);
  });
});
