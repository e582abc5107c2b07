'use strict';
// Runs every operation once on its success path and once on each failure
// path (a refused caller, a failing library call, a failing call that still
// hands out its buffers, a listing whose header lies about its object,
// unreadable request keys, entries too long to copy, an early failure), for scripts/leak-check.sh to run under a leak
// checker. Exits non-zero when an answer is malformed or a shared memory
// object is left behind. Needs the environment of the JavaScript suites
// (CIFS_BUILD_DIR, LD_LIBRARY_PATH holding the simulator).
const sim = require('./sim');
const { connectionRecords, openFileRecords } = sim;
const { dn, spheres, operations, request } = require('./operations');
const { checkEnvelope } = require('./envelope');
const { shareRecord } = require('./records');

const share = shareRecord({ texts: { name: 'raw', volumeName: 'DATA', relativePath: 'raw', absolutePath: '/DATA/raw' } });
// A listing hands out nothing when it fails; this one succeeds with a
// header that claims a record its object does not hold.
const shmResult = (tag) => {
  const name = sim.mgmt.shmName(`leak-${tag}`);
  return { out: [openFileRecords.resultHeader({ count: 1, shmName: name, shmSize: 64 })], shm: { name, bytes: Buffer.alloc(64) } };
};
// Results a failing (or lying) library call hands out all the same.
const rawResults = {
  CIFSLIB_ListAllShares: { status: 6, out: [{ slots: [share, null], count: 9 }] },
  CIFSLIB_GetConnectionMappedShares: { status: 6, out: [{ slots: [share], count: 1 }] },
  CIFSLIB_GetConnectionsList: { status: 6, out: [connectionRecords.connectionList([connectionRecords.connectionRecord({ connectionNumber: 3 })], { count: 40 })] },
  CIFSLIB_GetConnectionDetails: { status: -3, out: [connectionRecords.connectionRecord({ securityEquivalenceCount: 2 }), connectionRecords.securityTexts(['a', 'b'])] },
  CIFSLIB_ListOpenFiles: shmResult('files'),
  CIFSLIB_ListInvalidUsers: shmResult('users'),
  CIFSLIB_ListUserContexts: { status: 6, out: [2, Buffer.from('.a\0.b\0')] },
};

// The same request with every key of the operation's own of a wrong type.
const wrongTypes = (op) => Object.fromEntries(Object.keys(op.fields()).map((key) => [key, 5]));
const sparse = (length) => { const array = []; array.length = length; return array; };
const hostile = {
  advancedFiltersInfo: [
    { matchType: 'all', filters: [{ filterBy: 'type', patterns: ['pdf', 'x'.repeat(900)] }, { filterBy: 'nope', patterns: [] }] },
    { matchType: 'any', filters: [{ filterBy: 'loginTime', patterns: ['1', '2', '3'] }] },
    { matchType: 'none', filters: [{ filterBy: 'totalBytesRead', patterns: ['12kB', '0'] }] },
    { matchType: 'ALL', filters: [] },
    { matchType: 'all', filters: [{ filterBy: 'search-name', patterns: sparse(300) }] },
  ],
};

function scenarios(op) {
  const own = op.fields();
  const list = [
    { what: 'success' },
    { what: 'refused caller', before: () => sim.identity.set({ supervisor: false }) },
    { what: 'library failure', before: () => op.calls.forEach((call) => sim.mgmt.fail({ call, status: 5 })) },
    { what: 'wrong key types', fields: wrongTypes(op) },
    { what: 'no dn', fields: { dn: undefined }, early: true },
  ];
  const raw = rawResults[op.calls[0]];
  if (raw) list.push({ what: 'failing or lying call with results', before: () => sim.mgmt.rawResult(op.calls[0], raw) });
  if (op.batch) {
    const key = Object.keys(own)[Object.keys(own).length - 1];
    list.push({ what: 'partial batch', fields: { [key]: [...own[key], 'no such name'] } });
    list.push({ what: 'list too long', fields: { [key]: sparse(70000) } });
    // Too long for a share's or a path's record (held, never copied), or past
    // the bytes one request copies (refused after the first is copied).
    const big = 'y'.repeat(40 << 20);
    list.push({ what: 'long entries', fields: { [key]: [...own[key], 'x'.repeat(5000), big, big] } });
  }
  if (op.filters) {
    for (const advancedFiltersInfo of hostile.advancedFiltersInfo) list.push({ what: 'hostile filters', fields: { advancedFiltersInfo } });
  }
  return list;
}

async function main() {
  let answered = 0;
  for (const op of operations) {
    for (const { what, before, fields = {}, early } of scenarios(op)) {
      sim.reset();
      before?.();
      const answer = await spheres[op.sphere]({ ...request(op), ...fields });
      try {
        checkEnvelope(answer, { op, operation: early ? '' : op.name });
        if (what === 'success' && answer.status !== 'success') throw new Error('the success path failed');
      } catch (error) {
        throw new Error(`${op.name}, ${what}: ${error.message}\n${JSON.stringify(answer)}`);
      }
      answered += 1;
    }
  }
  // An unknown operation answers nothing, and an early failure no operation.
  for (const call of Object.values(spheres)) {
    if (call({ operation: 99, dn }) !== undefined) throw new Error('operation 99 answered');
    checkEnvelope(await call(), { operation: '' });
  }
  sim.noSharedMemoryLeft();
  console.log(`leak driver: ${answered} answers checked, no shared memory object left`);
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
