'use strict';
// The guided tour of `npm start`: the module against the bundled simulator,
// through shares, open files, connections, blocked users, user contexts and
// refused callers, printing each request and its answer.
const cifs = require('..');
const simulator = require('../lib/simulator');

const dn = 'cn=admin,o=example';
const SPHERES = { shares: cifs.cifs_shares_sphere, connections: cifs.cifs_connections_sphere, contexts: cifs.cifs_contexts_sphere };

const say = (text) => console.log(`\n== ${text}`);

async function ask(sphere, request) {
  const shown = JSON.stringify({ ...request, dn: request.dn === dn ? '…' : request.dn });
  console.log(`\n> cifs_${sphere}_sphere(${shown})`);
  const answer = await SPHERES[sphere](request);
  console.log(answer === undefined
    ? '< undefined (this build does not offer the operation yet)'
    : `< ${JSON.stringify(answer, null, 2).replace(/\n/g, '\n  ')}`);
  return answer || {};
}

async function shares() {
  say('Shares: list them, create one, switch a feature on two shares, remove one that exists and one that does not');
  await ask('shares', { operation: 1, dn });
  await ask('shares', { operation: 2, dn, name: 'reports', volumeName: 'DATA', relativePath: 'reports', comment: 'Monthly reports',
    encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'disabled' });
  await ask('shares', { operation: 4, dn, atmBackup: 'enabled', names: ['reports', 'projects'] });
  await ask('shares', { operation: 5, dn, names: ['reports', 'nowhere'] });
}

async function openFiles() {
  say('Open files of the DATA volume, two at a time: the cookie of a page asks for the next');
  const first = await ask('shares', { operation: 6, dn, volumeName: 'DATA', ignoreCount: 0, returnCount: 2 });
  const cookie = first.openFiles ? first.openFiles.cookie : '';
  await ask('shares', { operation: 6, dn, volumeName: 'DATA', ignoreCount: 0, returnCount: 2, cookie });
  say('Only spreadsheets and documents, then close one file by its full path');
  const filtered = await ask('shares', { operation: 6, dn, volumeName: 'DATA', ignoreCount: 0, returnCount: 0,
    advancedFiltersInfo: { matchType: 'any', filters: [{ filterBy: 'type', patterns: ['xlsx', 'docx'] }] } });
  const victim = filtered.openFiles && filtered.openFiles.files[0];
  if (victim) await ask('shares', { operation: 7, dn, openFiles: [victim.fullPath] });
}

async function connections() {
  say('Connections: how many, the active ones, one in detail with its mapped shares and open files');
  await ask('connections', { operation: 1, dn });
  await ask('connections', { operation: 2, dn, ignoreCount: 0, returnCount: 50,
    advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'status', patterns: ['Active'] }] } });
  await ask('connections', { operation: 3, dn, connectionNumber: 1 });
  await ask('connections', { operation: 4, dn, connectionNumber: 1 });
  await ask('connections', { operation: 5, dn, connection: 1, ignoreCount: 0, returnCount: 10 });
}

async function blockedUsers() {
  say('Invalid and blocked users: the cache, block a new name, unblock it again');
  await ask('connections', { operation: 6, dn, ignoreCount: 0, returnCount: 10 });
  await ask('connections', { operation: 10, dn, name: 'mallory' });
  await ask('connections', { operation: 6, dn, ignoreCount: 0, returnCount: 10,
    advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'type', patterns: ['Blocked'] }] } });
  await ask('connections', { operation: 12, dn, names: ['mallory'] });
}

async function contexts() {
  say('User contexts: add two, remove one that exists and one that does not');
  await ask('contexts', { operation: 1, dn });
  await ask('contexts', { operation: 2, dn, userContexts: ['.sales.example', '.hr.example'] });
  await ask('contexts', { operation: 3, dn, userContexts: ['.sales.example', '.nowhere.example'] });
  await ask('contexts', { operation: 1, dn });
}

async function refusedCallers() {
  say('A user who is not a supervisor is refused before the management library is asked');
  await ask('contexts', { operation: 1, dn: 'cn=guest,o=example' });
  say('So is a DN the identity library does not know: its lookup fails');
  await ask('contexts', { operation: 1, dn: 'cn=nobody,o=example' });
}

async function main() {
  simulator.reset();
  console.log('native_config_sphere({logLevel: "error"}) ->', cifs.native_config_sphere({ logLevel: 'error' }));
  for (const step of [shares, openFiles, connections, blockedUsers, contexts, refusedCallers]) await step();
  console.log('\nNext: bin/cifs-admin --help, and the README on running your own program against the simulator.');
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
